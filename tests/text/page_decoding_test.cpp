#include "text/page_decoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "text/charset_labels.h"
#include "text/utf8.h"

namespace {

using namespace std::string_literals;
using pq::DecodePage;

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string contentType;
  std::string charset;  // expected
  std::string text;     // expected, UTF-8
};

class PageDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PageDecoding, ReadsThePageAsBrowsersDo) {
  const DecodeCase& c = GetParam();
  const auto page = DecodePage(c.bytes, c.contentType);
  EXPECT_EQ(page.charset, c.charset) << c.what;
  EXPECT_EQ(page.text, c.text) << c.what;
}

const std::string kPad(1100, ' ');  // pushes a META past the prescan's 1024 bytes

INSTANTIATE_TEST_SUITE_P(
    Cases, PageDecoding,
    ::testing::Values(
        // Labels read the way the Encoding Standard maps them.
        DecodeCase{"ISO-8859-1 is windows-1252: typographic quotes stay quotes",
                   "\x93quoted\x94 caf\xE9", "text/html; charset=ISO-8859-1", "windows-1252",
                   "\xE2\x80\x9Cquoted\xE2\x80\x9D caf\xC3\xA9"},
        DecodeCase{"latin1 is windows-1252", "\x96 \x85", "text/html; charset=latin1",
                   "windows-1252", "\xE2\x80\x93 \xE2\x80\xA6"},
        DecodeCase{"US-ASCII is windows-1252", "\xE9\x80", "text/html;charset=US-ASCII",
                   "windows-1252", "\xC3\xA9\xE2\x82\xAC"},
        DecodeCase{"bytes 0x80-0x9F of ISO-8859-1, the unassigned ones as C1 controls",
                   "\x80\x81\x8A\x8D\x93\x94\x99\x9F", "text/html; charset=iso-8859-1",
                   "windows-1252",
                   "\xE2\x82\xAC\xC2\x81\xC5\xA0\xC2\x8D\xE2\x80\x9C\xE2\x80\x9D\xE2\x84\xA2\xC5\xB8"},
        DecodeCase{"Shift_JIS is Windows-31J (NEC circled digit)", "\x82\xA0\x87\x40",
                   "text/html; charset=Shift_JIS", "shift_jis", "\xE3\x81\x82\xE2\x91\xA0"},
        DecodeCase{"x-sjis is Shift_JIS", "\x82\xA0", "text/html; charset=x-sjis", "shift_jis",
                   "\xE3\x81\x82"},
        DecodeCase{"Shift_JIS keeps ~ and \\ as ASCII", "~\\\x82\xA0", "text/html; charset=shift_jis",
                   "shift_jis", "~\\\xE3\x81\x82"},
        DecodeCase{"EUC-KR is windows-949 (an extended Hangul syllable)", "\xB0\xA1\x81\x41",
                   "text/html; charset=EUC-KR", "euc-kr", "\xEA\xB0\x80\xEA\xB0\x82"},
        DecodeCase{"ks_c_5601-1987 is EUC-KR", "\xB0\xA1", "text/html; charset=ks_c_5601-1987",
                   "euc-kr", "\xEA\xB0\x80"},
        DecodeCase{"GB2312 is GBK (a GBK-only character)", "\xC4\xE3\x81\x40",
                   "text/html; charset=GB2312", "gbk", "\xE4\xBD\xA0\xE4\xB8\x82"},
        DecodeCase{"GBK's euro sign", "\x80", "text/html; charset=gbk", "gbk", "\xE2\x82\xAC"},
        DecodeCase{"Big5", "\xA4\x40", "text/html; charset=big5", "big5", "\xE4\xB8\x80"},
        DecodeCase{"EUC-JP", "\xA4\xA2", "text/html; charset=euc-jp", "euc-jp", "\xE3\x81\x82"},
        DecodeCase{"KOI8-R", "\xF0\xD2", "text/html; charset=koi8-r", "koi8-r", "\xD0\x9F\xD1\x80"},
        DecodeCase{"windows-1251", "\xCF\xF0", "text/html; charset=cp1251", "windows-1251",
                   "\xD0\x9F\xD1\x80"},
        DecodeCase{"ISO-8859-15 (euro sign)", "\xA4", "text/html; charset=ISO-8859-15",
                   "iso-8859-15", "\xE2\x82\xAC"},
        DecodeCase{"ISO-8859-2", "\xB1", "text/html; charset=latin2", "iso-8859-2", "\xC4\x85"},
        DecodeCase{"ISO-8859-9 is windows-1254", "\xFD\x80", "text/html; charset=iso-8859-9",
                   "windows-1254", "\xC4\xB1\xE2\x82\xAC"},
        DecodeCase{"UTF-16LE from the header", std::string("A\0\xAC\x20", 4),
                   "text/html; charset=utf-16le", "utf-16le", "A\xE2\x82\xAC"},
        DecodeCase{"a quoted header charset", "caf\xC3\xA9", "text/html; charset=\"utf-8\"",
                   "utf-8", "caf\xC3\xA9"},
        DecodeCase{"an unknown header label is passed over for the META", 
                   "<meta charset=koi8-r>\xF0", "text/html; charset=x-nonsense", "koi8-r",
                   "<meta charset=koi8-r>\xD0\x9F"},
        // The byte-order mark decides first and is removed from the text.
        DecodeCase{"a UTF-8 BOM beats a contradicting header", "\xEF\xBB\xBF" "caf\xC3\xA9",
                   "text/html; charset=iso-8859-1", "utf-8", "caf\xC3\xA9"},
        DecodeCase{"a UTF-16LE BOM beats a contradicting header", std::string("\xFF\xFEh\0i\0", 6),
                   "text/html; charset=utf-8", "utf-16le", "hi"},
        DecodeCase{"a UTF-16BE BOM beats a contradicting META", std::string("\xFE\xFF\0h", 4),
                   "text/html", "utf-16be", "h"},
        DecodeCase{"a UTF-32LE BOM is not read as UTF-16's", "\xFF\xFE\0\0<\0\0\0\xAC\x20\0\0"s,
                   "text/html", "utf-32le", "<\xE2\x82\xAC"},
        DecodeCase{"a UTF-32BE BOM", "\0\0\xFE\xFF\0\0\0<\0\x01\xF6\x00"s, "text/html",
                   "utf-32be", "<\xF0\x9F\x98\x80"},
        // Without a mark, a wide page shows itself by the NUL bytes beside its first "<".
        DecodeCase{"UTF-16LE without BOM", "<\0p\0>\0\xE9\0"s, "text/html", "utf-16le",
                   "<p>\xC3\xA9"},
        DecodeCase{"UTF-16BE without BOM beats a header that cannot be right",
                   "\0\n\0<\0p\0>\x20\xAC"s, "text/html; charset=utf-8", "utf-16be",
                   "\n<p>\xE2\x82\xAC"},
        DecodeCase{"UTF-32LE without BOM", "<\0\0\0p\0\0\0"s, "", "utf-32le", "<p"},
        DecodeCase{"UTF-32BE without BOM, white space first", "\0\0\0 \0\0\0<"s, "",
                   "utf-32be", " <"},
        DecodeCase{"a single-byte page with a NUL stays single-byte", "<p>a\0b</p>"s, "text/html",
                   "windows-1252", "<p>a\0b</p>"s},
        // The header beats the META.
        DecodeCase{"the header beats the META", "<meta charset=shift_jis>\xE9",
                   "text/html; charset=windows-1252", "windows-1252",
                   "<meta charset=shift_jis>\xC3\xA9"},
        // The META prescan of the HTML standard.
        DecodeCase{"META charset with spaces and quotes", "<META CharSet = \"Shift_JIS\" >\x82\xA0",
                   "text/html", "shift_jis", "<META CharSet = \"Shift_JIS\" >\xE3\x81\x82"},
        DecodeCase{"META charset in single quotes after other attributes",
                   "<head><meta name='x' charset='euc-kr'/>\xB0\xA1", "", "euc-kr",
                   "<head><meta name='x' charset='euc-kr'/>\xEA\xB0\x80"},
        DecodeCase{"http-equiv with content, spaces around = and a quoted charset",
                   "<meta http-equiv = \"Content-Type\" content = \"text/html; charset = 'koi8-r'\">\xF0",
                   "text/html", "koi8-r",
                   "<meta http-equiv = \"Content-Type\" content = \"text/html; charset = 'koi8-r'\">\xD0\x9F"},
        DecodeCase{"content after http-equiv in either order, unquoted charset",
                   "<meta content=\"text/html;charset=iso-8859-1\" http-equiv=content-type>\x93",
                   "", "windows-1252",
                   "<meta content=\"text/html;charset=iso-8859-1\" http-equiv=content-type>\xE2\x80\x9C"},
        DecodeCase{"content without http-equiv declares nothing",
                   "<meta content=\"text/html; charset=koi8-r\">\xF0", "", "windows-1252",
                   "<meta content=\"text/html; charset=koi8-r\">\xC3\xB0"},
        DecodeCase{"a META inside a comment does not count",
                   "<!-- <meta charset=koi8-r> -->\xF0", "", "windows-1252",
                   "<!-- <meta charset=koi8-r> -->\xC3\xB0"},
        DecodeCase{"a META inside another tag's attribute does not count",
                   "<div title=\"<meta charset=koi8-r>\">\xF0", "", "windows-1252",
                   "<div title=\"<meta charset=koi8-r>\">\xC3\xB0"},
        DecodeCase{"the first usable META wins", "<meta charset=nonsense><meta charset=koi8-r>\xF0",
                   "", "koi8-r", "<meta charset=nonsense><meta charset=koi8-r>\xD0\x9F"},
        DecodeCase{"a META past the first 1024 bytes is not seen", kPad + "<meta charset=koi8-r>",
                   "", "windows-1252", kPad + "<meta charset=koi8-r>"},
        DecodeCase{"a META naming UTF-16 means UTF-8", "<meta charset=utf-16>\xC3\xA9", "",
                   "utf-8", "<meta charset=utf-16>\xC3\xA9"},
        DecodeCase{"nothing declared: windows-1252", "\x93\x94", "text/html", "windows-1252",
                   "\xE2\x80\x9C\xE2\x80\x9D"},
        // One bad sequence gives one U+FFFD; the rest of the page is read as declared.
        DecodeCase{"UTF-8: a stray byte", "a\xFF" "b\xC3\xA9", "text/html; charset=utf-8", "utf-8",
                   "a\xEF\xBF\xBD" "b\xC3\xA9"},
        DecodeCase{"UTF-8: a sequence cut short", "a\xE2\x82" "b\xC3\xA9", "text/html; charset=utf-8",
                   "utf-8", "a\xEF\xBF\xBD" "b\xC3\xA9"},
        DecodeCase{"UTF-8: a surrogate and an overlong form", "\xED\xA0\x80|\xC0\xAF", 
                   "text/html; charset=utf-8", "utf-8",
                   "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD"},
        DecodeCase{"Shift_JIS: a lead byte with a bad trail byte", "\x82\xA0\x82\xFF\x82\xA0",
                   "text/html; charset=shift_jis", "shift_jis",
                   "\xE3\x81\x82\xEF\xBF\xBD\xE3\x81\x82"},
        DecodeCase{"Shift_JIS: an ASCII byte after a lead byte is kept", "\x82" "A\x82\xA0",
                   "text/html; charset=shift_jis", "shift_jis", "\xEF\xBF\xBD" "A\xE3\x81\x82"},
        DecodeCase{"Shift_JIS: a lead byte at the end", "\x82\xA0\x82",
                   "text/html; charset=shift_jis", "shift_jis", "\xE3\x81\x82\xEF\xBF\xBD"}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) {
      return "case" + std::to_string(info.index);
    });

TEST(WideCharsetOf, RecognisesTheFourLayoutsWithAndWithoutMark) {
  const struct {
    std::string bytes;
    const char* charset;
  } cases[] = {
      {"\xFF\xFE<\0"s, "utf-16le"},
      {"\xFE\xFF\0<"s, "utf-16be"},
      {"\xFF\xFE\0\0<\0\0\0"s, "utf-32le"},
      {"\0\0\xFE\xFF\0\0\0<"s, "utf-32be"},
      {"<\0h\0t\0"s, "utf-16le"},
      {"\0<\0h\0t"s, "utf-16be"},
      {"<\0\0\0h\0\0\0"s, "utf-32le"},
      {"\0\0\0<\0\0\0h"s, "utf-32be"},
      {"\r\0\n\0<\0"s, "utf-16le"},
      {"\0\t\0 \0<"s, "utf-16be"},
      {" \0\0\0<\0\0\0"s, "utf-32le"},
      {"\0\0\0\n\0\0\0\n"s, "utf-32be"},
      // Byte-oriented pages, with and without stray NULs.
      {"<html>"s, ""},
      {"\xEF\xBB\xBF<\0p\0"s, ""},
      {"<p>a\0b</p>"s, ""},
      {"\0<p>"s, ""},
      {"a\0b\0"s, ""},
      {"<\0"s, ""},
      {"<\0\0\0"s, ""},
      {"<\0\0\0\0\0\0\0"s, ""},
      {""s, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pq::WideCharsetOf(c.bytes), c.charset) << testing::PrintToString(c.bytes);
  }
}

TEST(PageDecodingTable, Iso88591Bytes0x80To0x9FAreWindows1252) {
  // As browsers show them: the typographic characters, and the five unassigned codes as C1.
  const char32_t kExpected[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int b = 0x80; b <= 0x9F; ++b) {
    const auto page = DecodePage(std::string(1, static_cast<char>(b)), "text/html; charset=iso-8859-1");
    std::string want;
    pq::AppendUtf8(want, kExpected[b - 0x80]);
    EXPECT_EQ(page.text, want) << std::hex << b;
  }
}

TEST(CharsetLabels, EveryLabelIsTrimmedAndCaseFree) {
  EXPECT_EQ(pq::CharsetForLabel("  Windows-31J\t"), "shift_jis");
  EXPECT_EQ(pq::CharsetForLabel("UNICODE-1-1-UTF-8"), "utf-8");
  EXPECT_EQ(pq::CharsetForLabel("utf-16"), "utf-16le");
  EXPECT_EQ(pq::CharsetForLabel("iso-2022-kr"), "replacement");
  EXPECT_EQ(pq::CharsetForLabel("utf-7"), "");
  EXPECT_EQ(pq::CharsetForLabel(""), "");
}

TEST(CharsetLabels, EveryNameHasADecoder) {
  // Each name that iconv reads must be one this glibc holds.
  for (const char* name : {"ibm866", "iso-8859-2", "iso-8859-3", "iso-8859-4", "iso-8859-5",
                           "iso-8859-6", "iso-8859-7", "iso-8859-8", "iso-8859-8-i",
                           "iso-8859-10", "iso-8859-13", "iso-8859-14", "iso-8859-15",
                           "iso-8859-16", "koi8-r", "koi8-u", "macintosh", "windows-874",
                           "windows-1250", "windows-1251", "windows-1253", "windows-1254",
                           "windows-1255", "windows-1256", "windows-1257", "windows-1258",
                           "x-mac-cyrillic", "gbk", "gb18030", "big5", "euc-jp", "iso-2022-jp",
                           "shift_jis", "euc-kr", "utf-16be", "utf-16le"}) {
    const std::string iconvName = pq::IconvName(name);
    ASSERT_FALSE(iconvName.empty()) << name;
    const iconv_t cd = iconv_open("UTF-8", iconvName.c_str());
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << name << " as " << iconvName;
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    const std::string n = name;
    const std::string a = n == "utf-16le" ? std::string("a\0", 2)
                          : n == "utf-16be" ? std::string("\0a", 2) : std::string("a");
    const std::string text = pq::DecodeBytes(a, n);
    EXPECT_EQ(text, "a") << name;
  }
}

TEST(CharsetLabels, SpecialSets) {
  EXPECT_EQ(pq::DecodeBytes("ab", "replacement"), "\xEF\xBF\xBD");
  EXPECT_EQ(pq::DecodeBytes("a\x80", "x-user-defined"), "a\xEF\x9E\x80");
  EXPECT_EQ(pq::DecodeBytes("\xE9", "no-such-set"), "\xC3\xA9");
}

TEST(PageDecodingLarge, AnInvalidSequenceDeepInALongPageCostsOneCharacter) {
  // Decoding runs in chunks: the bad pair sits past the first chunk and the rest still reads.
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "\x82\xA0";
  bytes += "\x82\xFF";
  for (int i = 0; i < 20000; ++i) bytes += "\x82\xA0";
  const auto page = DecodePage(bytes, "text/html; charset=shift_jis");
  std::string expected;
  for (int i = 0; i < 20000; ++i) expected += "\xE3\x81\x82";
  expected += "\xEF\xBF\xBD";
  for (int i = 0; i < 20000; ++i) expected += "\xE3\x81\x82";
  EXPECT_EQ(page.text, expected);
}

}  // namespace

// Vietnamese and Hebrew pages are read one byte a character, as browsers read them: glibc's
// decoders would join a letter and the combining mark after it into one character.
TEST(NonComposingSets, EveryByteIsOneCharacter) {
  const struct {
    const char* charset;
    std::string bytes;
    std::string text;
  } cases[] = {
      // a + combining dot below, E + combining acute: four characters, not two
      {"windows-1258", "a\xF2" "E\xEC", "a\xCC\xA3" "E\xCC\x81"},
      {"windows-1258", "Vi\xEA\xF2t", "Vi\xC3\xAA\xCC\xA3t"},
      // shin + shin dot + qamats; 0xCA is the holam haser for vav; 0xD9 is undefined
      {"windows-1255", "\xF9\xD1\xC8 \xE5\xCA \xD9", "\xD7\xA9\xD7\x81\xD6\xB8 \xD7\x95\xD6\xBA \xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pq::DecodeBytes(c.bytes, c.charset), c.text) << c.charset;
    EXPECT_EQ(DecodePage(c.bytes, std::string("text/html; charset=") + c.charset).text, c.text);
  }
}

// The tables agree byte for byte with glibc's (a byte read alone is never composed) except
// where the Encoding Standard differs: the C1 controls glibc leaves undefined, and windows-1255's
// 0xCA (U+05BA), which glibc lacks.
TEST(NonComposingSets, TablesAgreeWithGlibcByteByByte) {
  for (const char* charset : {"windows-1258", "windows-1255"}) {
    const iconv_t cd = iconv_open("UTF-8", pq::IconvName(charset).c_str());
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << charset;
    int c1Controls = 0, undefinedBytes = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
      char in[1] = {static_cast<char>(b)};
      char out[8];
      char* inPtr = in;
      char* outPtr = out;
      std::size_t inLeft = 1, outLeft = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool glibcReads = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                              iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
      const std::string ours = pq::DecodeBytes(std::string(1, static_cast<char>(b)), charset);
      if (glibcReads) {
        EXPECT_EQ(ours, std::string(out, outPtr)) << charset << " byte " << b;
      } else if (std::string(charset) == "windows-1255" && b == 0xCA) {
        EXPECT_EQ(ours, "\xD6\xBA");
      } else if (ours == "\xEF\xBF\xBD") {
        ++undefinedBytes;
      } else {
        std::string control;
        pq::AppendUtf8(control, static_cast<char32_t>(b));
        EXPECT_EQ(ours, control) << charset << " byte " << b;
        ++c1Controls;
      }
    }
    iconv_close(cd);
    const bool hebrew = std::string(charset) == "windows-1255";
    EXPECT_EQ(c1Controls, hebrew ? 12 : 9) << charset;
    EXPECT_EQ(undefinedBytes, hebrew ? 10 : 0) << charset;
  }
}
