#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Character sets by their WHATWG names in lower case ("utf-8", "windows-1252", "shift_jis",
// "koi8-r", ...), as the page record keeps them (charset_labels.h); any label of a set is
// taken for it, and "" for windows-1252.
std::string CanonicalCharset(std::string_view name);
bool IsUtf16Charset(std::string_view name);
// Read as UTF-16, or starting with a UTF-16 byte-order mark whatever it was read as.
bool IsUtf16Page(std::string_view charset, std::string_view bytes);
// The wide encoding a page's bytes are in ("UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE"), from
// its byte-order mark or, without one, from the NUL bytes beside its first "<" or white space
// (WideCharsetOf); "" for a page in a byte-oriented set.
std::string WideEncodingOf(std::string_view bytes);

// The name glibc's iconv knows the set by ("shift_jis" is CP932, "euc-kr" CP949); "" when
// the set is unknown. UTF-8 and the Windows-1252 family are converted without iconv.
std::string IconvCharsetName(std::string_view name);

// UTF-8 text as bytes of the character set; a character the set cannot hold is written as a
// decimal numeric character reference ("&#8364;"). nullopt when the set cannot be written
// (UTF-16, or unknown). "iso-8859-1" is strict Latin-1: the Windows-1252 characters 0x80 to
// 0x9F are written as references too, so that a page that declares Latin-1 stays Latin-1.
std::optional<std::string> EncodeText(std::string_view utf8, std::string_view charset);

// Bytes of the character set as UTF-8 text, character by character the way the page decoder
// reads them (every bad sequence one U+FFFD); nullopt for a set it cannot read.
std::optional<std::string> DecodeText(std::string_view bytes, std::string_view charset);

// EncodeText, then read back as a browser reads the page (in `readAs`): a character that does
// not come back as itself (an encoder's lookalike, such as Shift_JIS writing "\" for the yen
// sign) is written as a numeric character reference instead. nullopt as for EncodeText.
std::optional<std::string> EncodeTextReadingBack(std::string_view utf8, std::string_view charset,
                                                 std::string_view readAs);

// The set new text is written in: a page read as Windows-1252 that does not declare
// Windows-1252 itself (ISO-8859-1, US-ASCII, or nothing) gets strict Latin-1, so a typed "€"
// becomes a reference instead of a byte its declaration says is a control character.
std::string PostingCharset(std::string_view charset, std::string_view sourceBytes);

// The offsets in `bytes` (a page in `charset`) of the given positions of its decoded text
// (`text`, UTF-8), which must be ascending. A position inside a character counts as that
// character's start. nullopt when decoding the bytes does not give exactly `text`.
std::optional<std::vector<std::size_t>> ByteOffsetsOf(std::string_view bytes,
                                                      std::string_view charset,
                                                      std::string_view text,
                                                      const std::vector<std::size_t>& positions);

}  // namespace pq
