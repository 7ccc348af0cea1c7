#pragma once
#include <string>
#include <string_view>

namespace pq {

// The text without the blanks around it: spaces, tabs, line breaks, and the no-break and
// ideographic spaces that come along when an address is copied from a page.
std::string TrimBlanks(std::string_view text);

// The address to navigate to for what the user typed: first the blanks around it go, then a
// bare host ("127.0.0.1:8080/a.htm") becomes a web address. "" when only blanks were typed.
std::string TypedAddress(std::string_view typed);

}  // namespace pq
