#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq::site {

// %XX decoding into exact bytes (NUL included). Strict: a "%" without two hex digits
// makes the text invalid, so that a malformed name never reaches the file checks.
// cpp-httplib's decoder also turns %uXXXX into UTF-8 and lets bad escapes through.
std::optional<std::string> PercentDecode(std::string_view text, bool plusIsSpace);

struct FormField {
  std::string name;
  std::string value;
};

// An application/x-www-form-urlencoded body, fields in order; nullopt when malformed.
std::optional<std::vector<FormField>> ParseUrlEncodedForm(std::string_view body);

}  // namespace pq::site
