#pragma once
#include <array>
#include <string_view>

namespace pq {

// Bytes 0x80-0xFF of a one-byte set, as code points; 0 for a byte the set leaves undefined
// (read as U+FFFD, never written).
using HighHalfTable = std::array<char16_t, 128>;

// The Windows sets that glibc's iconv reads with composition (Vietnamese windows-1258, Hebrew
// windows-1255: a letter and the combining mark after it become one character, which browsers
// never do, so one byte would no longer be one character). These are read and written with the
// Encoding Standard's tables instead. Null for every other set.
const HighHalfTable* NonComposingTable(std::string_view charset);

}  // namespace pq
