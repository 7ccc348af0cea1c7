#pragma once
#include <string>
#include <string_view>

namespace pq {

// The clipboard's "HTML Format" block: a header giving the byte offsets of the HTML and of
// the fragment, then prefix, "<!--StartFragment -->", fragment, "<!--EndFragment -->",
// suffix. Text is UTF-8 and offsets count its bytes, as readers of the format expect.
std::string HtmlFormatBlock(std::string_view fragment, std::string_view prefix,
                            std::string_view suffix);

// The HTML without the header and without the fragment comments (the clipboard's text/html):
// readers of text/html paste comments into the page, where they would be published.
std::string HtmlFormatMarkup(std::string_view fragment, std::string_view prefix,
                             std::string_view suffix);

inline constexpr std::string_view kHtmlFormatTarget = "HTML Format";
inline constexpr std::string_view kPastePrefix = "<HTML><BODY>";
inline constexpr std::string_view kPasteSuffix = "</BODY></HTML>";

}  // namespace pq
