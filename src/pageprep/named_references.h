#pragma once
#include <optional>
#include <string_view>

namespace pq {

// The character a named character reference stands for ("eacute" gives U+00E9), for the
// references of HTML 4 (case matters, as in HTML); nullopt for any other name.
std::optional<char32_t> NamedReference(std::string_view name);

}  // namespace pq
