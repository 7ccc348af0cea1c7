#include "editor/formatting.h"

#include <cctype>

namespace pq {

namespace {

bool IsBreakBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

bool IsBrTag(std::string_view s) {
  return s.size() == 4 && s[0] == '<' && (s[1] == 'b' || s[1] == 'B') &&
         (s[2] == 'r' || s[2] == 'R') && s[3] == '>';
}

}  // namespace

std::string TrimBRs(std::string_view t) {
  bool changed = true;
  while (changed) {
    changed = false;
    if (!t.empty() && IsBreakBlank(t.front())) t.remove_prefix(1), changed = true;
    if (t.size() >= 4 && IsBrTag(t.substr(0, 4))) t.remove_prefix(4), changed = true;
    if (!t.empty() && IsBreakBlank(t.back())) t.remove_suffix(1), changed = true;
    if (t.size() >= 4 && IsBrTag(t.substr(t.size() - 4))) t.remove_suffix(4), changed = true;
  }
  return std::string(t);
}

std::string_view TrimBlanks(std::string_view t) {
  constexpr std::string_view kNbsp = "\xC2\xA0";
  for (bool changed = true; changed;) {
    changed = false;
    if (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1), changed = true;
    if (t.starts_with(kNbsp)) t.remove_prefix(kNbsp.size()), changed = true;
    if (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1), changed = true;
    if (t.ends_with(kNbsp)) t.remove_suffix(kNbsp.size()), changed = true;
  }
  return t;
}

std::string PlainTextToHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (const char c = text[i]) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "<br>";
        break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

SpanTidy TidySpan(std::string_view liveHtml, std::string_view liveText, std::string_view htmlOnEntry) {
  SpanTidy tidy;
  if (liveHtml == htmlOnEntry) return tidy;
  std::string trimmed = TrimBRs(liveHtml);
  // Line breaks and blanks at the ends are all the trimming takes from the text, so the text
  // left is the live text without its outer white space.
  tidy.empty = TrimBlanks(liveText).empty();
  if (trimmed != liveHtml) tidy.html = std::move(trimmed);
  return tidy;
}

}  // namespace pq
