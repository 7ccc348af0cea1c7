#pragma once
#include <string>
#include <string_view>

namespace pq {

// ASCII-only lower and upper case: every marker and tag the scans look for is ASCII, and
// byte positions must stay aligned with the original text.
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);
// Removes leading and trailing space, tab, CR and LF.
std::string_view TrimWhitespace(std::string_view s);
// Replaces every occurrence of from (non-empty) with to, left to right.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// The ">" that ends the start or end tag at `from`, before `limit` (npos when none), as the
// tokenizer reads it: a ">" inside a quoted attribute value does not end it, and a quote opens
// a value only after an attribute's name and "=" (TagStates). A value still open at the limit
// gives npos. Linear.
std::size_t QuotedTagEnd(std::string_view text, std::size_t from, std::size_t limit);

}  // namespace pq
