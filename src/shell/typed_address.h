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

// The scheme an address starts with ("mailto" of "mailto:a@b"), lower case; "" when it has
// none, and for a host with a port ("localhost:8080/a.htm").
std::string SchemeOf(std::string_view address);

}  // namespace pq
