#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/percent_decoding.h"

namespace pq::site {

// Strict %XX decoding (text/percent_decoding.h): cpp-httplib's decoder also turns %uXXXX into
// UTF-8 and lets bad escapes through.
using ::pq::PercentDecode;

struct FormField {
  std::string name;
  std::string value;
};

// An application/x-www-form-urlencoded body, fields in order; nullopt when malformed.
std::optional<std::vector<FormField>> ParseUrlEncodedForm(std::string_view body);

}  // namespace pq::site
