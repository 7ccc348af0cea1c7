#include "publishing/md5.h"

#include <glib.h>

#include <memory>

#include "text/utf8.h"

namespace pq {

std::string ProtocolBytes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = NextCodePoint(text, pos);
    if (cp < 0x10000) {
      bytes += static_cast<char>(cp & 0xFF);
    } else {  // a surrogate pair: two code units, two bytes
      const char32_t v = cp - 0x10000;
      bytes += static_cast<char>((0xD800 + (v >> 10)) & 0xFF);
      bytes += static_cast<char>((0xDC00 + (v & 0x3FF)) & 0xFF);
    }
  }
  return bytes;
}

std::string MD5Hex(std::string_view text) { return MD5HexOfBytes(ProtocolBytes(text)); }

std::string MD5HexOfBytes(std::string_view bytes) {
  std::unique_ptr<gchar, decltype(&g_free)> hex(
      g_compute_checksum_for_data(G_CHECKSUM_MD5, reinterpret_cast<const guchar*>(bytes.data()),
                                  bytes.size()),
      &g_free);
  return hex ? std::string(hex.get()) : std::string();
}

}  // namespace pq
