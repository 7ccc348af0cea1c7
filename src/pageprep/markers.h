#pragma once
#include <string>
#include <string_view>

namespace pq {

// Inserts <!--name="value"--> right after the opening HTML tag (creating "<html>" in front
// when the page has none).
std::string AddMarker(std::string_view html, std::string_view name, std::string_view value);
// The value of the first <!--name="..."--> marker (exact case), or "".
std::string GetMarker(std::string_view html, std::string_view name);

}  // namespace pq
