#pragma once
#include <string>
#include <string_view>

namespace pq {

// Ten typographic characters written as their Windows-1252 numeric references (U+2022 -> &#149;).
std::string EncodeSpecialChars(std::string_view text);
// Drops control characters other than tab, line feed and carriage return; keeps all others.
// Each byte that is not part of valid UTF-8 becomes one U+FFFD.
std::string StripUnsafeChars(std::string_view text);
// The same filter for a page's own HTML: a run of dropped characters between two ASCII
// characters becomes one U+FFFD instead, so that dropping never joins its neighbours into
// markup the page did not have ("<" and a letter into a tag, "-" and "->" into the end of a
// comment, "</a" and ">" into a link's end tag). The tokenizer reads U+FFFD where it read the
// control character.
std::string StripUnsafeCharsInMarkup(std::string_view html);

}  // namespace pq
