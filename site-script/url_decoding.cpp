#include "site-script/url_decoding.h"

namespace pq::site {

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
