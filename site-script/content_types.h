#pragma once
#include <string>
#include <string_view>

namespace pq::site {

// The Content-Type for a served file, by its extension. Pages get the character set
// they declare in a META tag (or a UTF-8 byte-order mark); a page that declares none
// is sent without one, so the client applies its own default as it would for a file.
std::string ContentTypeFor(std::string_view fileName, std::string_view content);

// The charset named by the first META tag that names one within the first bytes of a
// page ("<meta charset=...>" or "<meta http-equiv=... content="...; charset=...">"),
// lower-cased; empty when there is none or the name is not a plain label.
std::string SniffMetaCharset(std::string_view page);

}  // namespace pq::site
