#include "text/utf8.h"

namespace pq {

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  auto cont = [&](std::size_t i) {
    return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
  };
  int len = 0;
  char32_t cp = 0;
  if (b0 < 0x80) {
    ++pos;
    return b0;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07;
  }
  bool ok = len > 0;
  for (int i = 1; ok && i < len; ++i) {
    if (!cont(pos + i)) {
      ok = false;
      break;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
  if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
             (cp >= 0xD800 && cp <= 0xDFFF)))
    ok = false;
  if (!ok) {
    ++pos;
    return b0;
  }
  pos += static_cast<std::size_t>(len);
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

Utf8Step NextUtf8Step(std::string_view bytes, std::size_t i) {
  const std::size_t n = bytes.size();
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char b = at(i);
  if (b < 0x80) return {i + 1, true};
  std::size_t need = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    need = 1;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 2;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 3;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return {i + 1, false};
  }
  std::size_t k = i + 1;
  for (std::size_t seen = 0; seen < need; ++seen, ++k) {
    if (k >= n || at(k) < lo || at(k) > hi) return {k, false};
    lo = 0x80, hi = 0xBF;
  }
  return {k, true};
}

}  // namespace pq
