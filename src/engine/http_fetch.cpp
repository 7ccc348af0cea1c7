#include "engine/http_fetch.h"

#include <glib.h>
#include <libsoup/soup.h>

#include <memory>

#include "engine/gobject_ptr.h"
#include "engine/wait_until.h"
#include "pageprep/page_decoding.h"
#include "pageprep/text_util.h"

namespace pq::engine {

namespace {

// Pages larger than this are not ours to edit; a server streaming without end cannot fill memory.
constexpr std::size_t kMaxBody = 64u * 1024 * 1024;
constexpr gsize kChunk = 64 * 1024;

// One request in flight. Shared by the caller and the callbacks' chain, so a request abandoned at
// its deadline finishes safely after the caller has gone.
struct Transfer {
  GObjectPtr<SoupMessage> message;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  GObjectPtr<GInputStream> stream;
  std::string body;
  bool done = false;
  bool failed = false;
};
using TransferRef = std::shared_ptr<Transfer>;

// The chain's own reference travels as the callbacks' data: taken back by each callback, and
// handed on to the next step or dropped.
gpointer Hold(const TransferRef& t) { return std::make_unique<TransferRef>(t).release(); }
TransferRef Take(gpointer data) { return std::move(*std::unique_ptr<TransferRef>(static_cast<TransferRef*>(data))); }

SoupSession* Session() {
  // No cache feature is added, so every fetch goes to the server.
  static SoupSession* session = soup_session_new_with_options(
      "user-agent", "Pagequill/1.0", "timeout", 30u, "idle-timeout", 30u, nullptr);
  return session;
}

void Finish(Transfer& t, bool failed) {
  t.failed = failed;
  t.done = true;
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  if (!bytes) {
    g_clear_error(&error);
    return Finish(*t, true);
  }
  std::unique_ptr<GBytes, decltype(&g_bytes_unref)> owned(bytes, g_bytes_unref);
  gsize size = 0;
  const auto* p = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  if (size == 0) return Finish(*t, false);
  t->body.append(p, size);
  if (t->body.size() > kMaxBody) return Finish(*t, true);
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  t->stream = GObjectPtr<GInputStream>(soup_session_send_finish(SOUP_SESSION(source), result, &error));
  if (!t->stream) {
    g_clear_error(&error);
    return Finish(*t, true);
  }
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

}  // namespace

FetchResult FetchURL(const std::string& url, std::chrono::milliseconds timeout) {
  FetchResult r;
  // Only web addresses are fetched; libsoup has nothing to say about file: or data: ones.
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return r;
  auto t = std::make_shared<Transfer>();
  t->message = GObjectPtr<SoupMessage>(soup_message_new("GET", url.c_str()));
  if (!t->message) return r;  // not a URL libsoup can fetch
  SoupMessage* message = t->message.get();
  SoupMessageHeaders* headers = soup_message_get_request_headers(message);
  soup_message_headers_replace(headers, "Cache-Control", "no-cache");
  soup_message_headers_replace(headers, "Pragma", "no-cache");
  soup_session_send_async(Session(), message, G_PRIORITY_DEFAULT, t->cancellable.get(), OnSent, Hold(t));

  if (!WaitUntil([&t] { return t->done; }, timeout)) {
    // The chain finishes its own cancellation and lets go of the request.
    g_cancellable_cancel(t->cancellable.get());
    return r;
  }
  if (t->failed) return r;
  r.ok = true;
  r.status = soup_message_get_status(message);
  const char* type =
      soup_message_headers_get_one(soup_message_get_response_headers(message), "Content-Type");
  DecodedPage page = DecodePage(t->body, type ? type : "");
  r.text = std::move(page.text);
  r.charset = std::move(page.charset);
  r.bytes = std::move(t->body);
  return r;
}

std::string GetURLText(const std::string& url) { return FetchURL(url).text; }

FetchedPage FetchPage(const std::string& url) {
  FetchResult r = FetchURL(url);
  FetchedPage page;
  page.status = r.status;
  if (!r.ok) {
    page.failed = true;
    return page;
  }
  page.text = std::move(r.text);
  page.bytes = std::move(r.bytes);
  page.charset = std::move(r.charset);
  return page;
}

}  // namespace pq::engine
