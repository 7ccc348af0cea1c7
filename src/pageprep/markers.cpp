#include "pageprep/markers.h"

#include "pageprep/text_util.h"

namespace pq {

std::string AddMarker(std::string_view html, std::string_view name, std::string_view value) {
  const std::string marker = "<!--" + std::string(name) + "=\"" + std::string(value) + "\"-->";
  const std::string lower = AsciiLower(html);
  const auto tag = lower.find("<html");
  if (tag != std::string::npos) {
    const auto end = lower.find('>', tag);
    if (end != std::string::npos)
      return std::string(html.substr(0, end + 1)) + marker + std::string(html.substr(end + 1));
  }
  return "<html>" + marker + std::string(html);
}

std::string GetMarker(std::string_view html, std::string_view name) {
  const auto at = html.find("<!--" + std::string(name));
  if (at == std::string_view::npos) return "";
  const auto open = html.find('"', at);
  if (open == std::string_view::npos) return "";
  const auto close = html.find('"', open + 1);
  if (close == std::string_view::npos) return "";
  return std::string(html.substr(open + 1, close - open - 1));
}

}  // namespace pq
