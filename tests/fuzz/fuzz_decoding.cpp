// Page decoding of any bytes in every character set: valid UTF-8, the same twice, the same as
// iconv wherever iconv reads the bytes without a fault, a byte-order mark always wins, the
// publishing splice can place every character, and typed text is encoded so it reads back.
#include <iconv.h>

#include <array>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "fuzz_support_text.h"
#include "text/charset_labels.h"
#include "text/iconv_handle.h"
#include "text/page_decoding.h"
#include "text/page_encoding.h"

namespace {

using namespace pq::fuzz;

constexpr std::array<const char*, 40> kCharsets = {
    "utf-8",        "windows-1252", "iso-8859-2",   "iso-8859-3",     "iso-8859-4",
    "iso-8859-5",   "iso-8859-6",   "iso-8859-7",   "iso-8859-8",     "iso-8859-8-i",
    "iso-8859-10",  "iso-8859-13",  "iso-8859-14",  "iso-8859-15",    "iso-8859-16",
    "koi8-r",       "koi8-u",       "ibm866",       "macintosh",      "windows-874",
    "windows-1250", "windows-1251", "windows-1253", "windows-1254",   "windows-1255",
    "windows-1256", "windows-1257", "windows-1258", "x-mac-cyrillic", "gbk",
    "gb18030",      "big5",         "euc-jp",       "iso-2022-jp",    "shift_jis",
    "euc-kr",       "utf-16le",     "utf-16be",     "x-user-defined", "replacement"};

// The whole input through iconv at once; nullopt when iconv finds any fault in it.
std::optional<std::string> IconvWhole(std::string_view bytes, const std::string& from) {
  pq::IconvHandle h = pq::OpenIconv("UTF-8", from);
  if (!h) return std::nullopt;
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const auto cd = static_cast<iconv_t>(h.get());
  if (iconv(cd, &in, &inLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
  if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

std::size_t CodePoints(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::string charset = kCharsets[in.Below(kCharsets.size())];
  const int bomChoice = in.Below(4);
  const std::string bytes(in.Rest());

  const std::string text = pq::DecodeBytes(bytes, charset);
  Require(ValidUtf8(text), "decoding gives valid UTF-8", text);
  RequireEqual(pq::DecodeBytes(bytes, charset), text, "decoding is deterministic");

  const bool utf16 = charset.rfind("utf-16", 0) == 0;
  const bool quirks = charset == "windows-1252" || charset == "gbk" || charset == "gb18030" ||
                      charset == "x-user-defined" || charset == "replacement" ||
                      charset == "windows-1255" || charset == "windows-1258" ||
                      charset == "iso-2022-jp";
  if (!quirks) {
    // Where iconv reads every byte, both read the same; the quirks are sets read by our own
    // tables, GBK's euro byte (which iconv lacks) and ISO-2022-JP's stray escapes (which
    // iconv passes through).
    if (const auto reference = IconvWhole(bytes, pq::IconvName(charset)))
      RequireEqual(text, *reference, "decoding agrees with iconv");
  }
  if (charset == "windows-1252" || charset == "windows-1255" || charset == "windows-1258" ||
      charset == "x-user-defined")
    Require(CodePoints(text) == bytes.size(), "a one-byte set reads one character a byte", text);

  // ISO-2022-JP's stray escapes: the page decoder reads them as errors, the publishing decoder
  // (which never meets them in typed text) passes the bytes after them through.
  const bool strayEscape = charset == "iso-2022-jp" && bytes.find('\x1B') != std::string_view::npos;
  if (!utf16 && charset != "replacement" && charset != "x-user-defined" && !strayEscape) {
    const auto again = pq::DecodeText(bytes, charset);
    Require(again.has_value(), "the publishing decoder reads every set the page decoder reads");
    RequireEqual(*again, text, "the publishing decoder reads as the page decoder");
    const auto offsets = pq::ByteOffsetsOf(bytes, charset, text, {0, text.size()});
    Require(offsets && (*offsets)[0] == 0 && (*offsets)[1] == bytes.size(),
            "every page's text can be placed in its bytes", bytes);

    // Typed text (no "&" of its own) reads back after encoding, references resolved.
    std::string typed;
    for (const char c : text)
      if (c != '&') typed += c;
    if (const auto encoded = pq::EncodeTextReadingBack(typed, charset, charset)) {
      const auto read = pq::DecodeText(*encoded, charset);
      Require(read.has_value(), "encoded text decodes");
      RequireEqual(ResolveNumericReferences(*read), typed, "typed text reads back as typed");
    }
  }

  // A byte-order mark decides, whatever the header and the META say.
  if (bomChoice < 3) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 3> kBoms = {
        {{"\xEF\xBB\xBF", "utf-8"}, {"\xFE\xFF", "utf-16be"}, {"\xFF\xFE", "utf-16le"}}};
    const auto& [bom, bomCharset] = kBoms[bomChoice];
    // FF FE then two NULs is UTF-32LE's mark, which the decoder reads as such.
    if (bomChoice == 2 && bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] == '\0') return 0;
    const pq::DecodedPage page = pq::DecodePage(std::string(bom) + bytes, "text/html; charset=" + charset);
    RequireEqual(page.charset, bomCharset, "the byte-order mark wins");
    RequireEqual(page.text, pq::DecodeBytes(bytes, bomCharset), "the mark is not part of the text");
  } else if (pq::CharsetFromByteOrderMark(bytes).empty()) {
    const pq::DecodedPage page = pq::DecodePage(bytes, "text/html; charset=" + charset);
    // Bytes that can only be wide text outrank the header, which could not read them either.
    const std::string wide = pq::WideCharsetOf(bytes);
    RequireEqual(page.charset, wide.empty() ? pq::CharsetForLabel(charset) : wide,
                 "the header's charset is taken");
    RequireEqual(page.text, pq::DecodeBytes(bytes, page.charset), "the page reads in its charset");
  }
  return 0;
}
