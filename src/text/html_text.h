#pragma once
#include <string>
#include <string_view>

namespace pq {

// The text an HTML fragment shows, as plain text (what a paste of HTML alone puts into a span):
// tags and comments dropped, with the contents of script, style, title, template, head and
// select; character references decoded; white space collapsed as a browser collapses it
// (kept inside pre and textarea); one line break for each <br> and between block elements.
// Never fails: whatever is not markup is text.
std::string HtmlTextContent(std::string_view html);

}  // namespace pq
