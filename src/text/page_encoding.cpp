#include "text/page_encoding.h"

#include <cerrno>
#include <iconv.h>

#include <array>
#include <cctype>
#include <memory>
#include <utility>

#include "text/charset_labels.h"
#include "text/iconv_handle.h"
#include "text/page_decoding.h"
#include "text/single_byte_tables.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace pq {

namespace {

// Bytes 0x80-0x9F of Windows-1252 as the pages are read; the five unassigned bytes stand for
// themselves so that every byte decodes.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kEuro = "\xE2\x82\xAC";

// How many bytes one bad sequence takes, as the page decoder counts them: a double-byte
// lead with a non-ASCII second byte is one error; an ASCII second byte is read on its own.
std::size_t InvalidLength(std::string_view charset, std::string_view rest) {
  if (rest.size() < 2 || static_cast<unsigned char>(rest[1]) < 0x80) return 1;
  const auto b = static_cast<unsigned char>(rest[0]);
  if (charset == "shift_jis") return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
  if (charset == "gbk" || charset == "gb18030" || charset == "big5" || charset == "euc-kr" ||
      charset == "euc-jp")
    return (b >= 0x81 && b <= 0xFE) ? 2 : 1;
  return 1;
}

bool IsWindows1252Family(std::string_view canonical) {
  return canonical == "windows-1252" || canonical == "iso-8859-1";
}

void AppendReference(std::string& out, char32_t cp) {
  out += "&#";
  out += std::to_string(static_cast<unsigned long>(cp));
  out += ';';
}

std::optional<unsigned char> Windows1252Byte(char32_t cp, bool strictLatin1) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  if (strictLatin1) return std::nullopt;
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
    if (kWindows1252High[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

std::string EncodeWindows1252(std::string_view utf8, bool strictLatin1) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (auto b = Windows1252Byte(cp, strictLatin1))
      out += static_cast<char>(*b);
    else
      AppendReference(out, cp);
  }
  return out;
}

// A set read by its own table: a character is written only as the byte that reads back as it,
// so a precomposed letter the table lacks becomes a reference, never a letter and a mark.
std::string EncodeHighHalf(std::string_view utf8, const HighHalfTable& table) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    int byte = cp < 0x80 ? static_cast<int>(cp) : -1;
    for (std::size_t i = 0; byte < 0 && cp != 0 && i < table.size(); ++i)
      if (table[i] == cp) byte = static_cast<int>(0x80 + i);
    if (byte >= 0)
      out += static_cast<char>(byte);
    else
      AppendReference(out, cp);
  }
  return out;
}

void AppendWindows1252Char(std::string& out, unsigned char c) {
  AppendUtf8(out, (c >= 0x80 && c <= 0x9F) ? kWindows1252High[c - 0x80] : c);
}

// One call of iconv over [in, in + inLeft) into out, growing out as needed. Returns the errno
// that stopped it (0 when all the input was taken).
int Convert(iconv_t cd, const char*& in, std::size_t& inLeft, std::string& out) {
  for (;;) {
    const std::size_t start = out.size();
    const std::size_t room = inLeft * 4 + 16;
    out.resize(start + room);
    char* dst = out.data() + start;
    std::size_t dstLeft = room;
    char* src = const_cast<char*>(in);
    const std::size_t r = iconv(cd, in ? &src : nullptr, in ? &inLeft : nullptr, &dst, &dstLeft);
    const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
    if (in) in = src;
    out.resize(start + (room - dstLeft));
    if (error != E2BIG) return error;
  }
}

std::optional<std::string> EncodeWithIconv(std::string_view utf8, const std::string& name) {
  IconvHandle cd = OpenIconv(name, "UTF-8");
  if (!cd) return std::nullopt;
  const auto h = static_cast<iconv_t>(cd.get());
  std::string out;
  out.reserve(utf8.size() + 16);
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  while (left > 0) {
    const int error = Convert(h, in, left, out);
    if (error == 0) break;
    if (error != EILSEQ && error != EINVAL) return std::nullopt;
    // A character the set cannot hold: close any shift state first, so the reference is
    // read as plain ASCII, then step over the character.
    const char* none = nullptr;
    std::size_t zero = 0;
    Convert(h, none, zero, out);
    std::size_t pos = static_cast<std::size_t>(in - utf8.data());
    AppendReference(out, NextCodePoint(utf8, pos));
    in = utf8.data() + pos;
    left = utf8.size() - pos;
  }
  const char* none = nullptr;
  std::size_t zero = 0;
  Convert(h, none, zero, out);  // return to the initial shift state at the end
  return out;
}

// Decodes bytes in steps of one character, telling `step` each byte range and its text.
// Returns false when the bytes do not decode.
template <typename Step>
bool DecodeInSteps(std::string_view bytes, std::string_view canonical, Step&& step) {
  if (canonical == "utf-8") {
    // The Encoding Standard's decoder: each maximal invalid subpart reads as one U+FFFD.
    for (std::size_t i = 0; i < bytes.size();) {
      const Utf8Step next = NextUtf8Step(bytes, i);
      if (!step(i, next.end, next.valid ? bytes.substr(i, next.end - i) : kReplacement))
        return true;
      i = next.end;
    }
    return true;
  }
  if (IsWindows1252Family(canonical)) {
    std::string ch;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      ch.clear();
      AppendWindows1252Char(ch, static_cast<unsigned char>(bytes[i]));
      if (!step(i, i + 1, std::string_view(ch))) return true;
    }
    return true;
  }
  if (const HighHalfTable* table = NonComposingTable(canonical)) {
    std::string ch;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto c = static_cast<unsigned char>(bytes[i]);
      const char32_t cp = c < 0x80 ? c : (*table)[c - 0x80];
      ch.clear();
      if (cp == 0)
        ch = kReplacement;
      else
        AppendUtf8(ch, cp);
      if (!step(i, i + 1, std::string_view(ch))) return true;
    }
    return true;
  }
  const std::string name = IconvCharsetName(canonical);
  if (name.empty()) return false;
  IconvHandle cd = OpenIconv("UTF-8", name);
  if (!cd) return false;
  const auto h = static_cast<iconv_t>(cd.get());
  std::string ch;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t len = 1;
    bool invalid = false, euro = false;
    for (;; ++len) {
      ch.clear();
      const char* in = bytes.data() + pos;
      std::size_t left = len;
      const int error = Convert(h, in, left, ch);
      if (error == 0) break;
      if (error == EINVAL && pos + len < bytes.size() && len < 8) continue;  // not complete yet
      // Read as the page decoder reads it: one U+FFFD, then on after the bad sequence.
      invalid = true;
      // GBK's one byte that iconv lacks is the euro sign for browsers.
      euro = error == EILSEQ && static_cast<unsigned char>(bytes[pos]) == 0x80 &&
             (canonical == "gbk" || canonical == "gb18030");
      len = error == EINVAL ? bytes.size() - pos : InvalidLength(canonical, bytes.substr(pos));
      iconv(h, nullptr, nullptr, nullptr, nullptr);
      break;
    }
    // An escape that starts no known sequence is an error, as the page decoder reads it.
    if (canonical == "iso-2022-jp")
      for (std::size_t at = ch.find('\x1B'); at != std::string::npos; at = ch.find('\x1B', at + 1))
        ch.replace(at, 1, kReplacement);
    const std::string_view read = euro ? kEuro : invalid ? kReplacement : std::string_view(ch);
    if (!step(pos, pos + len, read)) return true;
    pos += len;
  }
  return true;
}

}  // namespace

std::string CanonicalCharset(std::string_view name) {
  const std::string known = CharsetForLabel(name);
  if (!known.empty()) return known;
  const std::string lower = AsciiLower(TrimWhitespace(name));
  return lower.empty() ? "windows-1252" : lower;
}

bool IsUtf16Charset(std::string_view name) {
  return CanonicalCharset(name).rfind("utf-16", 0) == 0;
}

bool IsUtf16Page(std::string_view charset, std::string_view bytes) {
  return IsUtf16Charset(charset) || bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

std::string WideEncodingOf(std::string_view bytes) { return AsciiUpper(WideCharsetOf(bytes)); }

std::string IconvCharsetName(std::string_view name) {
  const std::string canonical = CanonicalCharset(name);
  if (canonical == "windows-1252") return "CP1252";
  return IconvName(canonical);
}

std::optional<std::string> EncodeText(std::string_view utf8, std::string_view charset) {
  const std::string canonical = AsciiLower(charset) == "iso-8859-1" ? std::string("iso-8859-1")
                                                                     : CanonicalCharset(charset);
  if (canonical == "utf-8") return std::string(utf8);  // bytes kept as they are, invalid ones too
  if (canonical.rfind("utf-16", 0) == 0) return std::nullopt;
  if (IsWindows1252Family(canonical)) return EncodeWindows1252(utf8, canonical == "iso-8859-1");
  if (const HighHalfTable* table = NonComposingTable(canonical)) return EncodeHighHalf(utf8, *table);
  const std::string name = IconvCharsetName(canonical);
  if (name.empty()) return std::nullopt;
  return EncodeWithIconv(utf8, name);
}

std::optional<std::string> DecodeText(std::string_view bytes, std::string_view charset) {
  const std::string canonical = CanonicalCharset(charset);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  const bool ok = DecodeInSteps(bytes, canonical, [&](std::size_t, std::size_t, std::string_view ch) {
    out += ch;
    return true;
  });
  if (!ok) return std::nullopt;
  return out;
}

std::optional<std::string> EncodeTextReadingBack(std::string_view utf8, std::string_view charset,
                                                 std::string_view readAs) {
  auto whole = EncodeText(utf8, charset);
  if (!whole || DecodeText(*whole, readAs) == std::optional<std::string>(std::string(utf8)))
    return whole;
  // Character by character: each keeps its encoding only where it reads back as itself.
  std::string out;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t begin = pos;
    const char32_t cp = NextCodePoint(utf8, pos);
    const std::string_view ch = utf8.substr(begin, pos - begin);
    const auto bytes = EncodeText(ch, charset);
    if (bytes && DecodeText(*bytes, readAs) == std::optional<std::string>(std::string(ch)))
      out += *bytes;
    else
      out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
  }
  return out;
}

std::string PostingCharset(std::string_view charset, std::string_view sourceBytes) {
  const std::string canonical = CanonicalCharset(charset);
  if (canonical != "windows-1252") return canonical;
  // The declaration in the page's META tags decides; the header the server sent was made from it.
  const std::string head = AsciiLower(sourceBytes.substr(0, 8192));
  for (std::size_t at = head.find("charset"); at != std::string::npos;
       at = head.find("charset", at + 7)) {
    std::size_t p = at + 7;
    while (p < head.size() && (head[p] == ' ' || head[p] == '=' || head[p] == '"' || head[p] == '\''))
      ++p;
    std::size_t end = p;
    while (end < head.size() && (std::isalnum(static_cast<unsigned char>(head[end])) ||
                                 head[end] == '-' || head[end] == '_'))
      ++end;
    const std::string declared = head.substr(p, end - p);
    if (declared == "windows-1252" || declared == "cp1252" || declared == "x-cp1252")
      return "windows-1252";
    if (!declared.empty()) break;
  }
  return "iso-8859-1";
}

namespace {

bool IsSingleByte(std::string_view canonical) {
  for (std::string_view prefix : {"windows-12", "iso-8859-", "koi8-", "ibm866", "macintosh",
                                  "windows-874", "x-mac-", "x-user-defined"})
    if (canonical.substr(0, prefix.size()) == prefix) return true;
  return false;
}

// In a one-byte set every character is one byte, whichever table the text was read with.
std::optional<std::vector<std::size_t>> SingleByteOffsets(std::string_view bytes,
                                                          std::string_view text,
                                                          const std::vector<std::size_t>& positions) {
  std::vector<std::size_t> offsets;
  offsets.reserve(positions.size());
  std::size_t pos = 0, chars = 0, next = 0;
  for (;;) {
    while (next < positions.size() && positions[next] == pos) offsets.push_back(chars), ++next;
    if (next < positions.size() && positions[next] < pos) return std::nullopt;
    if (pos >= text.size()) break;
    NextCodePoint(text, pos);
    ++chars;
  }
  if (chars != bytes.size() || offsets.size() != positions.size()) return std::nullopt;
  return offsets;
}

}  // namespace

std::optional<std::vector<std::size_t>> ByteOffsetsOf(std::string_view bytes,
                                                      std::string_view charset,
                                                      std::string_view text,
                                                      const std::vector<std::size_t>& positions) {
  if (IsSingleByte(CanonicalCharset(charset))) return SingleByteOffsets(bytes, text, positions);
  std::vector<std::size_t> offsets;
  offsets.reserve(positions.size());
  std::size_t textPos = 0;
  std::size_t next = 0;  // index into positions
  bool mismatch = false;
  auto settle = [&](std::size_t byteOffset) {
    while (next < positions.size() && positions[next] == textPos) {
      offsets.push_back(byteOffset);
      ++next;
    }
  };
  const auto step = [&](std::size_t from, std::size_t, std::string_view ch) {
    settle(from);
    // Positions must ascend, and none may fall inside the text of one character.
    const bool pending = next < positions.size();
    if ((pending && positions[next] < textPos + ch.size()) ||
        text.compare(textPos, ch.size(), ch) != 0) {
      mismatch = true;
      return false;
    }
    textPos += ch.size();
    return true;
  };
  const bool ok = DecodeInSteps(bytes, CanonicalCharset(charset), step);
  if (!ok || mismatch || textPos != text.size()) return std::nullopt;
  settle(bytes.size());
  if (offsets.size() != positions.size()) return std::nullopt;
  return offsets;
}

}  // namespace pq
