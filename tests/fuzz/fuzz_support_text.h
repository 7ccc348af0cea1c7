#pragma once
// Text helpers of the fuzz targets that read what publishing wrote.
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace pq::fuzz {

// Decimal numeric character references ("&#8364;") as the characters they stand for; the
// encoder writes these for what a character set cannot hold.
inline std::string ResolveNumericReferences(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "&#") == 0) {
      std::size_t p = i + 2;
      unsigned long cp = 0;
      while (p < s.size() && s[p] >= '0' && s[p] <= '9' && p - i < 10) cp = cp * 10 + (s[p++] - '0');
      if (p > i + 2 && p < s.size() && s[p] == ';' && cp <= 0x10FFFF) {
        pq::AppendUtf8(out, static_cast<char32_t>(cp));
        i = p + 1;
        continue;
      }
    }
    out += s[i++];
  }
  return out;
}

}  // namespace pq::fuzz
