#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// %XX decoding into exact bytes (NUL included). Strict: a "%" without two hex digits makes the
// text invalid, so that a malformed name never reaches a file check. "+" is a space only in
// form fields (plusIsSpace).
std::optional<std::string> PercentDecode(std::string_view text, bool plusIsSpace);

}  // namespace pq
