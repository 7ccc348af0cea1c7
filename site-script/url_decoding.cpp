#include "site-script/url_decoding.h"

namespace pq::site {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::optional<std::string> PercentDecode(std::string_view text, bool plusIsSpace) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && plusIsSpace) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::vector<FormField>> ParseUrlEncodedForm(std::string_view body) {
  std::vector<FormField> fields;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view pair = body.substr(start, end - start);
    if (!pair.empty()) {
      const std::size_t eq = pair.find('=');
      auto name = PercentDecode(pair.substr(0, eq), true);
      auto value = eq == std::string_view::npos ? std::optional<std::string>("")
                                                : PercentDecode(pair.substr(eq + 1), true);
      if (!name || !value) return std::nullopt;
      fields.push_back({std::move(*name), std::move(*value)});
    }
    start = end + 1;
  }
  return fields;
}

}  // namespace pq::site
