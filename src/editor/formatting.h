#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The text without leading and trailing blanks, tabs, line breaks and "<br>" tags (any letter
// case). Only that exact tag counts: "<br/>" or a BR with attributes stays.
std::string TrimBRs(std::string_view text);

// The text without leading and trailing white space (non-breaking spaces included).
std::string_view TrimBlanks(std::string_view text);

// Plain text as HTML that shows exactly that text: "&", quotation marks, "<" and ">" escaped
// once each, and every line break (CR LF, CR or LF) one "<br>".
std::string PlainTextToHtml(std::string_view text);

// StripBRs for a span the caret left: the HTML to write back, or nullopt to leave it alone.
// A span the user did not change keeps its HTML byte for byte, white space included.
struct SpanTidy {
  std::optional<std::string> html;
  bool empty = false;  // nothing visible left: it becomes the initial control
};
SpanTidy TidySpan(std::string_view liveHtml, std::string_view liveText,
                  std::string_view htmlOnEntry);

}  // namespace pq
