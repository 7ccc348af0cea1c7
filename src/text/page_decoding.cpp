#include "text/page_decoding.h"

#include <iconv.h>

#include <cerrno>

#include "text/charset_labels.h"
#include "text/iconv_handle.h"
#include "text/single_byte_tables.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace pq {

namespace {

constexpr std::size_t kPrescanBytes = 1024;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string Windows1252ToUtf8(std::string_view bytes) {
  // 0x80-0x9F; the five codes Windows leaves unassigned read as the C1 controls, as browsers do.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    AppendUtf8(out, (c >= 0x80 && c <= 0x9F) ? kHigh[c - 0x80] : c);
  }
  return out;
}

std::string HighHalfToUtf8(std::string_view bytes, const HighHalfTable& table) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    const char32_t cp = c < 0x80 ? c : table[c - 0x80];
    if (cp == 0)
      out += kReplacement;
    else
      AppendUtf8(out, cp);
  }
  return out;
}

std::string UserDefinedToUtf8(std::string_view bytes) {
  std::string out;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    AppendUtf8(out, c < 0x80 ? c : 0xF780 + c - 0x80);
  }
  return out;
}

// The Encoding Standard's UTF-8 decoder: each maximal invalid subpart becomes one U+FFFD.
std::string Utf8ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Step step = NextUtf8Step(bytes, i);
    if (step.valid)
      out.append(bytes.substr(i, step.end - i));
    else
      out += kReplacement;
    i = step.end;
  }
  return out;
}

// Lead bytes of the double-byte sets: a bad pair whose second byte is not ASCII is one error,
// as the standard's decoders count it; an ASCII second byte is read again on its own.
bool IsDoubleByteLead(std::string_view charset, unsigned char b) {
  if (charset == "shift_jis") return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  if (charset == "gbk" || charset == "gb18030" || charset == "big5" || charset == "euc-kr" ||
      charset == "euc-jp")
    return b >= 0x81 && b <= 0xFE;
  return false;
}

bool IsUtf32(std::string_view charset) { return charset == "utf-32le" || charset == "utf-32be"; }

std::size_t InvalidLength(std::string_view charset, std::string_view rest) {
  if (charset == "utf-16le" || charset == "utf-16be") return rest.size() >= 2 ? 2 : rest.size();
  if (IsUtf32(charset)) return rest.size() >= 4 ? 4 : rest.size();
  if (rest.size() >= 2 && IsDoubleByteLead(charset, static_cast<unsigned char>(rest[0])) &&
      static_cast<unsigned char>(rest[1]) >= 0x80)
    return 2;
  return 1;
}

// Decodes through iconv in chunks: an invalid sequence gives one U+FFFD and decoding resumes
// after it, so one bad byte never costs the rest of the page.
std::string DecodeWithIconv(std::string_view bytes, std::string_view charset,
                            const std::string& iconvName) {
  const IconvHandle handle = OpenIconv("UTF-8", iconvName);
  if (!handle) return Windows1252ToUtf8(bytes);
  const auto cd = static_cast<iconv_t>(handle.get());
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[16384];
  auto* in = const_cast<char*>(bytes.data());  // iconv's signature; the input is only read
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut off by the end of the page. GBK's one byte that
    // iconv lacks is the euro sign for browsers.
    const bool euro = errno == EILSEQ && static_cast<unsigned char>(*in) == 0x80 &&
                      (charset == "gbk" || charset == "gb18030");
    out += euro ? std::string_view("\xE2\x82\xAC") : kReplacement;
    const std::size_t skip =
        errno == EINVAL ? inLeft : InvalidLength(charset, std::string_view(in, inLeft));
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
  }
  // A stateful set (ISO-2022-JP) may owe its return to the initial state.
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  return out;
}

// The prescan reads bytes through a cursor that stops the whole scan at the end.
struct Cursor {
  std::string_view s;
  std::size_t pos = 0;
  bool End() const { return pos >= s.size(); }
  char Byte() const { return s[pos]; }
  bool StartsNoCase(std::string_view what) const {
    return s.size() - pos >= what.size() && StartsWithNoCase(s.substr(pos), what);
  }
};

struct Attribute {
  std::string name, value;
};

// The standard's "get an attribute"; false when there is none (or the bytes ran out).
bool GetAttribute(Cursor& c, Attribute& a) {
  a = {};
  while (!c.End() && (IsBlank(c.Byte()) || c.Byte() == '/')) ++c.pos;
  if (c.End() || c.Byte() == '>') return false;
  for (;; ++c.pos) {
    if (c.End()) return false;
    const char b = c.Byte();
    if (b == '=' && !a.name.empty()) {
      ++c.pos;
      break;
    }
    if (IsBlank(b)) {
      while (!c.End() && IsBlank(c.Byte())) ++c.pos;
      if (c.End()) return false;
      if (c.Byte() != '=') return true;
      ++c.pos;
      break;
    }
    if (b == '/' || b == '>') return true;
    a.name += Lower(b);
  }
  while (!c.End() && IsBlank(c.Byte())) ++c.pos;
  if (c.End()) return false;
  const char first = c.Byte();
  if (first == '"' || first == '\'') {
    for (++c.pos; !c.End(); ++c.pos) {
      if (c.Byte() == first) {
        ++c.pos;
        return true;
      }
      a.value += Lower(c.Byte());
    }
    return false;
  }
  if (first == '>') return true;
  for (; !c.End(); ++c.pos) {
    if (IsBlank(c.Byte()) || c.Byte() == '>') return true;
    a.value += Lower(c.Byte());
  }
  return false;
}

// The standard's "extract a character encoding from a meta element" (content="...; charset=x").
std::string CharsetFromMetaContent(std::string_view content) {
  std::size_t pos = 0;
  for (;;) {
    const auto at = AsciiLower(content).find("charset", pos);
    if (at == std::string::npos) return "";
    pos = at + 7;
    while (pos < content.size() && IsBlank(content[pos])) ++pos;
    if (pos >= content.size() || content[pos] != '=') continue;
    ++pos;
    while (pos < content.size() && IsBlank(content[pos])) ++pos;
    if (pos >= content.size()) return "";
    const char q = content[pos];
    if (q == '"' || q == '\'') {
      const auto close = content.find(q, pos + 1);
      if (close == std::string_view::npos) return "";
      return std::string(content.substr(pos + 1, close - pos - 1));
    }
    std::size_t end = pos;
    while (end < content.size() && !IsBlank(content[end]) && content[end] != ';') ++end;
    return std::string(content.substr(pos, end - pos));
  }
}

// After "<meta": the attributes decide; "" when this META declares nothing usable.
std::string CharsetOfMeta(Cursor& c) {
  std::string seen = "\n";  // attribute names met so far, each between line feeds
  bool gotPragma = false;
  int needPragma = -1;  // -1 unset, 0 false, 1 true
  std::string charset;
  Attribute a;
  while (GetAttribute(c, a)) {
    if (seen.find("\n" + a.name + "\n") != std::string::npos) continue;
    seen += a.name + "\n";
    if (a.name == "http-equiv") {
      if (a.value == "content-type") gotPragma = true;
    } else if (a.name == "content") {
      if (charset.empty()) {
        const std::string found = CharsetForLabel(CharsetFromMetaContent(a.value));
        if (!found.empty()) {
          charset = found;
          needPragma = 1;
        }
      }
    } else if (a.name == "charset") {
      charset = CharsetForLabel(a.value);
      needPragma = 0;
    }
  }
  if (needPragma == -1 || (needPragma == 1 && !gotPragma) || charset.empty()) return "";
  if (charset == "utf-16le" || charset == "utf-16be") return "utf-8";
  if (charset == "x-user-defined") return "windows-1252";
  return charset;
}

}  // namespace

std::string CharsetFromByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return "utf-8";
  // UTF-32's marks first: the little-endian one begins with UTF-16's.
  if (bytes.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4)) return "utf-32le";
  if (bytes.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)) return "utf-32be";
  if (bytes.substr(0, 2) == "\xFE\xFF") return "utf-16be";
  if (bytes.substr(0, 2) == "\xFF\xFE") return "utf-16le";
  return "";
}

std::string WideCharsetOf(std::string_view bytes) {
  if (const std::string bom = CharsetFromByteOrderMark(bytes); bom != "" && bom != "utf-8") return bom;
  static constexpr struct {
    const char* charset;
    std::size_t size;
    bool bigEndian;
  } kLayouts[] = {{"utf-32le", 4, false}, {"utf-32be", 4, true}, {"utf-16le", 2, false}, {"utf-16be", 2, true}};
  for (const auto& layout : kLayouts) {
    if (bytes.size() < 2 * layout.size) continue;
    const auto unit = [&](std::size_t n) {
      char32_t value = 0;
      for (std::size_t k = 0; k < layout.size; ++k) {
        const std::size_t at = n * layout.size + (layout.bigEndian ? k : layout.size - 1 - k);
        value = value << 8 | static_cast<unsigned char>(bytes[at]);
      }
      return value;
    };
    const char32_t first = unit(0), second = unit(1);
    if ((first == '<' || (first < 0x80 && IsBlank(static_cast<char>(first)))) && second > 0 && second < 0x80)
      return layout.charset;
  }
  return "";
}

std::string CharsetFromContentType(std::string_view contentType) {
  const std::string lower = AsciiLower(contentType);
  for (std::size_t semi = lower.find(';'); semi != std::string::npos;
       semi = lower.find(';', semi + 1)) {
    std::size_t p = semi + 1;
    while (p < lower.size() && IsBlank(lower[p])) ++p;
    if (lower.compare(p, 8, "charset=") != 0) continue;
    p += 8;
    std::string_view value = std::string_view(contentType).substr(p);
    if (!value.empty() && value.front() == '"') {
      const auto close = value.find('"', 1);
      value = value.substr(1, close == std::string_view::npos ? value.npos : close - 1);
    } else {
      value = value.substr(0, value.find(';'));
    }
    return CharsetForLabel(value);
  }
  return "";
}

std::string CharsetFromMetaPrescan(std::string_view bytes) {
  Cursor c{bytes.substr(0, kPrescanBytes)};
  while (!c.End()) {
    if (c.StartsNoCase("<!--")) {
      const auto close = c.s.find("-->", c.pos + 2);
      if (close == std::string_view::npos) return "";
      c.pos = close + 3;
      continue;
    }
    if (c.StartsNoCase("<meta") && c.pos + 5 < c.s.size() &&
        (IsBlank(c.s[c.pos + 5]) || c.s[c.pos + 5] == '/')) {
      c.pos += 6;
      const std::string charset = CharsetOfMeta(c);
      if (!charset.empty()) return charset;
      continue;
    }
    const bool endTag = c.StartsNoCase("</");
    const std::size_t nameAt = c.pos + (endTag ? 2 : 1);
    if (c.Byte() == '<' && nameAt < c.s.size() && IsAlpha(c.s[nameAt])) {
      c.pos = nameAt;
      while (!c.End() && !IsBlank(c.Byte()) && c.Byte() != '>') ++c.pos;
      Attribute ignored;
      while (GetAttribute(c, ignored)) {
      }
      ++c.pos;
      continue;
    }
    if (c.StartsNoCase("<!") || c.StartsNoCase("</") || c.StartsNoCase("<?")) {
      const auto close = c.s.find('>', c.pos + 2);
      if (close == std::string_view::npos) return "";
      c.pos = close + 1;
      continue;
    }
    ++c.pos;
  }
  return "";
}

std::string DecodeBytes(std::string_view bytes, std::string_view charset) {
  if (charset == "utf-8") return Utf8ToUtf8(bytes);
  if (charset == "x-user-defined") return UserDefinedToUtf8(bytes);
  if (charset == "replacement") return bytes.empty() ? "" : std::string(kReplacement);
  if (IsUtf32(charset)) return DecodeWithIconv(bytes, charset, AsciiUpper(charset));
  if (const HighHalfTable* table = NonComposingTable(charset)) return HighHalfToUtf8(bytes, *table);
  const std::string iconvName = IconvName(charset);
  if (iconvName.empty()) return Windows1252ToUtf8(bytes);
  std::string text = DecodeWithIconv(bytes, charset, iconvName);
  // glibc passes an escape that starts no known sequence through; browsers read it as an error
  // and then read the bytes after it again, as glibc goes on to do.
  if (charset == "iso-2022-jp") {
    for (std::size_t at = text.find('\x1B'); at != std::string::npos; at = text.find('\x1B', at + 1))
      text.replace(at, 1, kReplacement);
  }
  return text;
}

DecodedPage DecodePage(std::string_view bytes, std::string_view contentType) {
  DecodedPage page;
  page.charset = CharsetFromByteOrderMark(bytes);
  if (!page.charset.empty()) {
    bytes.remove_prefix(page.charset == "utf-8" ? 3 : IsUtf32(page.charset) ? 4 : 2);
  } else {
    // NUL bytes beside the first "<" are no text of a byte-oriented set, whatever the header
    // says (the server cannot read a META written in a wide encoding either).
    page.charset = WideCharsetOf(bytes);
    if (page.charset.empty()) page.charset = CharsetFromContentType(contentType);
    if (page.charset.empty()) page.charset = CharsetFromMetaPrescan(bytes);
    if (page.charset.empty()) page.charset = "windows-1252";
  }
  page.text = DecodeBytes(bytes, page.charset);
  return page;
}

}  // namespace pq
