#include "site-script/content_types.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/page_decoding.h"

namespace pq::site {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

}  // namespace

std::string PageCharset(std::string_view page) {
  // A byte-order mark outranks any META tag, as it does in browsers. UTF-32 is no encoding
  // of the web: a page in it is sent without a charset rather than with a name nobody reads.
  const std::string fromMark = CharsetFromByteOrderMark(page);
  if (fromMark.rfind("utf-32", 0) == 0) return "";
  return fromMark.empty() ? CharsetFromMetaPrescan(page) : fromMark;
}

std::string ContentTypeFor(std::string_view fileName, std::string_view content) {
  static const std::array<std::pair<const char*, const char*>, 14> kTypes = {{
      {".htm", "text/html"},
      {".html", "text/html"},
      {".css", "text/css"},
      {".js", "text/javascript"},
      {".png", "image/png"},
      {".svg", "image/svg+xml"},
      {".gif", "image/gif"},
      {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain"},
      {".webp", "image/webp"},
      {".json", "application/json"},
      {".pdf", "application/pdf"},
  }};
  const std::string name = Lower(fileName);
  const std::size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (const auto& [suffix, type] : kTypes) {
    if (ext != suffix) continue;
    if (std::string_view(type) != "text/html") return type;
    const std::string charset = PageCharset(content);
    return charset.empty() ? "text/html" : "text/html; charset=" + charset;
  }
  return "application/octet-stream";
}

}  // namespace pq::site
