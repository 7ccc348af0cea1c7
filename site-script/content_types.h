#pragma once
#include <string>
#include <string_view>

namespace pq::site {

// The Content-Type for a served file, by its extension. Pages get the character set
// they declare in a META tag (or a UTF-8 byte-order mark); a page that declares none
// is sent without one, so the client applies its own default as it would for a file.
std::string ContentTypeFor(std::string_view fileName, std::string_view content);

// The character set a browser reads a page in when the server names none: its byte-order
// mark, else the HTML standard's prescan of its first 1024 bytes (comments skipped, a
// declared UTF-16 read as UTF-8), as a canonical name; "" when neither says.
std::string PageCharset(std::string_view page);

}  // namespace pq::site
