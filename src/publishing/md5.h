#pragma once
#include <string>
#include <string_view>

namespace pq {

// Lower-case hex MD5 of a text, one byte per character: the low 8 bits of each
// UTF-16 code unit of the UTF-8 input (so U+00E9 hashes as 0xE9 and U+20AC as 0xAC).
// The site script computes the same digest, so this byte mapping is part of the protocol.
std::string MD5Hex(std::string_view utf8Text);

// Lower-case hex MD5 of bytes as they are: the "base" a publication was edited on.
std::string MD5HexOfBytes(std::string_view bytes);

// The bytes MD5Hex hashes for a text (exposed for the site script and tests).
std::string ProtocolBytes(std::string_view utf8Text);

}  // namespace pq
