#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace pq {

// Decodes one code point at pos and advances pos. A byte that does not start a valid
// UTF-8 sequence is taken as the Latin-1 character of that byte, so no input fails.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t cp);

// One step of the Encoding Standard's UTF-8 decoder from byte i: the end of the character or
// of the maximal invalid subpart (which reads as one U+FFFD), and whether it was valid. The
// byte that broke a sequence is not included, so it is read again on its own.
struct Utf8Step {
  std::size_t end = 0;
  bool valid = false;
};
Utf8Step NextUtf8Step(std::string_view bytes, std::size_t i);

}  // namespace pq
