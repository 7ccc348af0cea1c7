#pragma once
#include <string>
#include <string_view>

namespace pq {

// A page's text and the character set it was read in (a name of charset_labels.h).
struct DecodedPage {
  std::string text;     // UTF-8, without the byte-order mark
  std::string charset;
};

// Decodes a page as browsers do: a byte-order mark first (removed from the text), then a wide
// encoding recognised from the bytes (WideCharsetOf), then the charset of the Content-Type
// header, then the META prescan of the first 1024 bytes, else windows-1252. A label nobody
// knows is passed over.
DecodedPage DecodePage(std::string_view bytes, std::string_view contentType);

// The charset parameter of a Content-Type value, as a name, or "" when absent or unknown.
std::string CharsetFromContentType(std::string_view contentType);
// The HTML standard's prescan for a META declaration in the first 1024 bytes, or "".
std::string CharsetFromMetaPrescan(std::string_view bytes);
// "utf-8", "utf-16le", "utf-16be", "utf-32le" or "utf-32be" for a byte-order mark at the
// start, or "".
std::string CharsetFromByteOrderMark(std::string_view bytes);
// The wide encoding ("utf-16le", "utf-16be", "utf-32le", "utf-32be") a page is stored in: from
// its byte-order mark, or without one from its first two characters, a "<" or white space and
// one more ASCII character, written with the NUL bytes of one of the four layouts. "" for a page
// in a byte-oriented set (a stray NUL elsewhere makes no page wide).
std::string WideCharsetOf(std::string_view bytes);

// Decodes bytes (no byte-order mark handling) in a character set named as above (or one of the
// UTF-32 names of WideCharsetOf); an unknown name reads as windows-1252. Every invalid sequence becomes one U+FFFD and decoding goes on.
std::string DecodeBytes(std::string_view bytes, std::string_view charset);

}  // namespace pq
