#include "site-script/content_types.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pq::site {

namespace {

constexpr std::size_t kSniffBytes = 4096;

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

bool IsLabelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

}  // namespace

std::string SniffMetaCharset(std::string_view page) {
  const std::string head = Lower(page.substr(0, kSniffBytes));
  std::size_t pos = 0;
  while ((pos = head.find("<meta", pos)) != std::string::npos) {
    const std::size_t close = head.find('>', pos);
    const std::string_view tag = std::string_view(head).substr(
        pos, close == std::string::npos ? std::string::npos : close - pos);
    pos += 5;
    std::size_t at = tag.find("charset");
    if (at == std::string_view::npos) continue;
    at += 7;
    while (at < tag.size() && (tag[at] == ' ' || tag[at] == '\t' || tag[at] == '\n' || tag[at] == '\r')) ++at;
    if (at >= tag.size() || tag[at] != '=') continue;
    ++at;
    while (at < tag.size() && (tag[at] == ' ' || tag[at] == '"' || tag[at] == '\'')) ++at;
    std::size_t end = at;
    while (end < tag.size() && IsLabelChar(tag[end])) ++end;
    if (end > at && end - at <= 40) return std::string(tag.substr(at, end - at));
  }
  return "";
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
    // A byte-order mark outranks any META tag, as it does in browsers.
    const std::string charset =
        content.substr(0, 3) == "\xEF\xBB\xBF" ? "utf-8" : SniffMetaCharset(content);
    return charset.empty() ? "text/html" : "text/html; charset=" + charset;
  }
  return "application/octet-stream";
}

}  // namespace pq::site
