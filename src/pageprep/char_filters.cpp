#include "pageprep/char_filters.h"

#include "text/utf8.h"

namespace pq {

namespace {

// Typographic characters and their Windows-1252 codes, applied in this order.
constexpr struct {
  char32_t cp;
  const char* ref;
} kSpecial[] = {
    {0x0192, "&#131;"}, {0x0152, "&#140;"}, {0x0153, "&#156;"}, {0x0160, "&#138;"},
    {0x0161, "&#154;"}, {0x0178, "&#159;"}, {0x2020, "&#134;"}, {0x2021, "&#135;"},
    {0x2022, "&#149;"}, {0x2122, "&#153;"},
};

bool IsUnsafeControl(char32_t cp) {
  if (cp == '\t' || cp == '\n' || cp == '\r') return false;
  return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F);
}

std::string Filter(std::string_view text, bool keepMarkup) {
  std::string out;
  out.reserve(text.size());
  bool dropping = false;    // the last character was dropped
  bool afterAscii = false;  // and the run of dropped ones follows an ASCII character
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t cp = NextCodePoint(text, pos);
    // A byte that starts no valid character becomes U+FFFD on its own: kept raw, a stray
    // lead byte would join the bytes after a dropped control into a character of its own.
    const bool stray = pos - start == 1 && cp >= 0x80;
    if (!stray && IsUnsafeControl(cp)) {
      if (!dropping) afterAscii = !out.empty() && static_cast<unsigned char>(out.back()) < 0x80;
      dropping = true;
      continue;
    }
    if (keepMarkup && dropping && afterAscii && !stray && cp < 0x80) out += "\xEF\xBF\xBD";
    dropping = false;
    if (stray)
      out += "\xEF\xBF\xBD";
    else
      out.append(text, start, pos - start);
  }
  return out;
}

}  // namespace

std::string EncodeSpecialChars(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t cp = NextCodePoint(text, pos);
    const char* ref = nullptr;
    for (const auto& s : kSpecial)
      if (s.cp == cp && pos - start > 1) ref = s.ref;
    if (ref)
      out += ref;
    else
      out.append(text, start, pos - start);
  }
  return out;
}

std::string StripUnsafeChars(std::string_view text) { return Filter(text, false); }

std::string StripUnsafeCharsInMarkup(std::string_view html) { return Filter(html, true); }

}  // namespace pq
