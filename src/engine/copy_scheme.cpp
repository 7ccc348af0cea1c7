#include "engine/copy_scheme.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine/gobject_ptr.h"
#include "pageprep/copy_address.h"
#include "pageprep/temp_files.h"

namespace pq::engine {

namespace {

void Refuse(WebKitURISchemeRequest* request, const char* why) {
  GErrorPtr error(g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, why));
  webkit_uri_scheme_request_finish_error(request, error.get());
}

void OnCopyRequest(WebKitURISchemeRequest* request, gpointer) {
  const char* uri = webkit_uri_scheme_request_get_uri(request);
  const auto path = CopyPathOf(uri ? uri : "", TempFolder());
  if (!path) return Refuse(request, "Pagequill shows only its own copies of pages here.");
  std::ifstream in(*path, std::ios::binary);
  if (!in) return Refuse(request, "The copy of the page is no longer there.");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto size = static_cast<gint64>(bytes.size());
  // The stream owns its copy of the bytes.
  GObjectPtr<GInputStream> stream(
      g_memory_input_stream_new_from_data(g_memdup2(bytes.data(), bytes.size()), size, g_free));
  GObjectPtr<WebKitURISchemeResponse> response(webkit_uri_scheme_response_new(stream.get(), size));
  // Every copy is written as UTF-8 HTML; nothing about its first bytes may make it XML.
  webkit_uri_scheme_response_set_content_type(response.get(), "text/html; charset=utf-8");
  webkit_uri_scheme_request_finish_with_response(request, response.get());
}

}  // namespace

void RegisterCopyScheme(WebKitWebContext* context) {
  const std::string scheme(kCopyScheme);
  webkit_web_context_register_uri_scheme(context, scheme.c_str(), OnCopyRequest, nullptr, nullptr);
  webkit_security_manager_register_uri_scheme_as_local(webkit_web_context_get_security_manager(context),
                                                       scheme.c_str());
}

}  // namespace pq::engine
