#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace pq {

// Decodes one code point at pos and advances pos. A byte that does not start a valid
// UTF-8 sequence is taken as the Latin-1 character of that byte, so no input fails.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t cp);

}  // namespace pq
