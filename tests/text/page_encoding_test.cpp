#include "text/page_encoding.h"

#include <gtest/gtest.h>

namespace {

using pq::EncodeText;

TEST(PageEncoding, EncodesIntoThePagesOwnSet) {
  const struct {
    const char* charset;
    std::string text;
    std::string bytes;
  } cases[] = {
      {"utf-8", "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xC3\xA9 \xE2\x82\xAC"},
      // invalid UTF-8 in a UTF-8 page goes back exactly as it came
      {"utf-8", "a\xFF\xC3", "a\xFF\xC3"},
      {"windows-1252", "\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C", "\xE9 \x80 \x93"},
      // strict Latin-1: the euro sign and curly quotes are references
      {"iso-8859-1", "\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C", "\xE9 &#8364; &#8220;"},
      {"windows-1252", "\xF0\x9F\x98\x80", "&#128512;"},
      {"shift_jis", "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9", "\x93\xFA\x96\x7B &#233;"},
      {"euc-jp", "\xE6\x97\xA5\xE6\x9C\xAC", "\xC6\xFC\xCB\xDC"},
      {"koi8-r", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC",
       "\xF0\xD2\xC9\xD7\xC5\xD4 &#8364;"},
      {"windows-1251", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
       "\xCF\xF0\xE8\xE2\xE5\xF2"},
      // a reference inside a shifted run is written after the shift back to ASCII
      {"iso-2022-jp", "\xE6\x97\xA5\xE2\x82\xAC", "\x1B$BF|\x1B(B&#8364;"},
  };
  for (const auto& c : cases) {
    const auto got = EncodeText(c.text, c.charset);
    ASSERT_TRUE(got.has_value()) << c.charset;
    EXPECT_EQ(*got, c.bytes) << c.charset << ": " << c.text;
  }
}

TEST(PageEncoding, Utf16AndUnknownSetsCannotBeWritten) {
  EXPECT_FALSE(EncodeText("a", "utf-16le"));
  EXPECT_FALSE(EncodeText("a", "UTF-16BE"));
  EXPECT_FALSE(EncodeText("a", "x-no-such-set"));
  EXPECT_TRUE(pq::IsUtf16Charset("utf-16"));
  EXPECT_FALSE(pq::IsUtf16Charset("utf-8"));
}

TEST(PageEncoding, NamesForIconv) {
  const std::pair<const char*, const char*> cases[] = {
      {"shift_jis", "CP932"}, {"euc-kr", "CP949"}, {"gbk", "GBK"}, {"windows-1252", "CP1252"},
      {"ISO-8859-1", "CP1252"}, {"windows-1251", "CP1251"}, {"koi8-r", "KOI8-R"},
      {"iso-8859-2", "ISO-8859-2"}, {"Shift-JIS", "CP932"}, {"no-such", ""}};
  for (const auto& [name, want] : cases) EXPECT_EQ(pq::IconvCharsetName(name), want) << name;
}

TEST(PageEncoding, DecodesAsPagesAreRead) {
  EXPECT_EQ(pq::DecodeText("\xE9\x80\x81", "iso-8859-1"), "\xC3\xA9\xE2\x82\xAC\xC2\x81");
  EXPECT_EQ(pq::DecodeText("\x93\xFA\x96\x7B", "shift_jis"), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(pq::DecodeText("\xF0\xD2", "koi8-r"), "\xD0\x9F\xD1\x80");
  // Bad sequences read as the page decoder reads them: one U+FFFD each.
  EXPECT_EQ(pq::DecodeText("a\x93", "shift_jis"), "a\xEF\xBF\xBD");
  EXPECT_EQ(pq::DecodeText("a\xE2\x82" "b\xFF", "utf-8"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  // GBK's byte 0x80, which iconv lacks, is the euro sign for browsers and the page decoder: a
  // page holding one must still be placed byte for byte.
  EXPECT_EQ(pq::DecodeText("a\x80" "b", "gbk"), "a\xE2\x82\xAC" "b");
  EXPECT_EQ(pq::ByteOffsetsOf("a\x80" "b", "gbk", "a\xE2\x82\xAC" "b", {4}), (std::vector<std::size_t>{2}));
}

TEST(PageEncoding, PostingCharsetFollowsTheDeclaration) {
  const struct {
    const char* charset;
    const char* bytes;
    const char* want;
  } cases[] = {
      {"windows-1252", "<meta charset=\"ISO-8859-1\">", "iso-8859-1"},
      {"windows-1252", "<meta http-equiv=Content-Type content='text/html; charset=windows-1252'>",
       "windows-1252"},
      {"windows-1252", "<p>nothing declared</p>", "iso-8859-1"},
      {"windows-1252", "<meta charset=us-ascii>", "iso-8859-1"},
      {"utf-8", "<meta charset=utf-8>", "utf-8"},
      {"koi8-r", "", "koi8-r"},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::PostingCharset(c.charset, c.bytes), c.want) << c.bytes;
}

TEST(PageEncoding, ByteOffsetsOfTextPositions) {
  // "a日b" in Shift_JIS: a=0, 日=1..2, b=3; in UTF-8 日 takes three bytes.
  const std::string bytes = "a\x93\xFA" "b";
  const std::string text = "a\xE6\x97\xA5" "b";
  EXPECT_EQ(pq::ByteOffsetsOf(bytes, "shift_jis", text, {0, 1, 1, 4, 5}),
            (std::vector<std::size_t>{0, 1, 1, 3, 4}));
  EXPECT_FALSE(pq::ByteOffsetsOf(bytes, "shift_jis", text, {2}));       // inside a character
  EXPECT_FALSE(pq::ByteOffsetsOf(bytes, "shift_jis", text, {4, 1}));    // not ascending
  EXPECT_FALSE(pq::ByteOffsetsOf(bytes, "shift_jis", "a\xE6\x97\xA5" "c", {0}));  // other text
  EXPECT_EQ(pq::ByteOffsetsOf("\xE9t\xE9", "windows-1252", "\xC3\xA9t\xC3\xA9", {2, 3}),
            (std::vector<std::size_t>{1, 2}));
  // One-byte sets count characters, whichever table the text was read with (0x93 as U+0093).
  EXPECT_EQ(pq::ByteOffsetsOf("\x93x", "windows-1252", "\xC2\x93x", {2, 3}),
            (std::vector<std::size_t>{1, 2}));
  EXPECT_FALSE(pq::ByteOffsetsOf("\x93x", "koi8-r", "\xC2\x93x", {1}));
  // A letter and its combining mark are two bytes and two characters in windows-1258 and
  // windows-1255, so a position between them has a byte offset of its own.
  const std::string vietnamese = "Vi\xEA\xF2t";  // "Viê" + combining dot below + "t"
  const auto read = pq::DecodeText(vietnamese, "windows-1258");
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, "Vi\xC3\xAA\xCC\xA3t");
  EXPECT_EQ(pq::ByteOffsetsOf(vietnamese, "windows-1258", *read, {2, 4, 6, 7}),
            (std::vector<std::size_t>{2, 3, 4, 5}));
  const std::string hebrew = "\xF9\xD1\xC8";  // shin, shin dot, qamats
  EXPECT_EQ(pq::ByteOffsetsOf(hebrew, "windows-1255", *pq::DecodeText(hebrew, "windows-1255"), {2, 4}),
            (std::vector<std::size_t>{1, 2}));
}

}  // namespace

// An encoder's lookalike is never published for a typed character: what does not read back as
// itself becomes a numeric reference, and everything that does keeps its bytes. Shift_JIS and
// EUC-JP are read as browsers read them (the Windows-31J symbols: 0x8191 and EUC-JP's 0xA1F1
// are the fullwidth cent sign), so neither set holds the yen, cent, pound and not signs, the
// em dash, the double vertical line, the overline or the minus sign.
TEST(EncodeTextReadingBack, LookalikesBecomeReferences) {
  const std::string known =  // ¥ ¢ £ ¬ — ‖ ‾ −
      "\xC2\xA5\xC2\xA2\xC2\xA3\xC2\xAC\xE2\x80\x94\xE2\x80\x96\xE2\x80\xBE\xE2\x88\x92";
  const std::string knownAsReferences = "&#165;&#162;&#163;&#172;&#8212;&#8214;&#8254;&#8722;";
  const struct {
    const char* charset;
    std::string typed;
    std::string sent;
  } cases[] = {
      {"shift_jis", "\xC2\xA5" "500 \xE2\x80\x94 2\xE2\x88\x92" "1 \xE6\x97\xA5",
       "&#165;500 &#8212; 2&#8722;1 \x93\xFA"},
      {"shift_jis", known, knownAsReferences},
      {"euc-jp", known, knownAsReferences},
      // What the sets do hold keeps its bytes: the fullwidth forms, the bar, ASCII's ~ and \.
      {"shift_jis", "\xEF\xBF\xA0\xE2\x80\x95\xE2\x88\xA5~\\", "\x81\x91\x81\x5C\x81\x61~\\"},
      {"euc-jp", "\xEF\xBF\xA0\xE2\x80\x95\xE2\x88\xA5~\\ \xE6\x97\xA5",
       "\xA1\xF1\xA1\xBD\xA1\xC2~\\ \xC6\xFC"},
      {"utf-8", "\xC2\xA5" "500", "\xC2\xA5" "500"},
      {"windows-1252", "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},
      // Vietnamese: a precomposed letter the set lacks is a reference, never a letter and a
      // mark (which read back as two characters); a letter and a mark typed as such stay so.
      {"windows-1258", "\xE1\xBA\xA1 a\xCC\xA3 \xC4\x90\xE1\xBB\x93ng \xE2\x82\xAB",
       "&#7841; a\xF2 \xD0&#7891;ng \xFE"},
      {"windows-1255", "\xD7\xA9\xD7\x81\xD6\xB8\xD7\x9C\xD7\x95\xD6\xBA\xD7\x9D \xE2\x82\xAA",
       "\xF9\xD1\xC8\xEC\xE5\xCA\xED \xA4"},
  };
  for (const auto& c : cases) {
    const auto sent = pq::EncodeTextReadingBack(c.typed, c.charset, c.charset);
    ASSERT_TRUE(sent) << c.charset;
    EXPECT_EQ(*sent, c.sent) << c.charset << ": " << c.typed;
  }
}
