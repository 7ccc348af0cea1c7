#pragma once
#include <string>
#include <string_view>

namespace pq {

// Ten typographic characters written as their Windows-1252 numeric references (U+2022 -> &#149;).
std::string EncodeSpecialChars(std::string_view text);
// Drops control characters other than tab, line feed and carriage return; keeps all others.
// Each byte that is not part of valid UTF-8 becomes one U+FFFD.
std::string StripUnsafeChars(std::string_view text);

}  // namespace pq
