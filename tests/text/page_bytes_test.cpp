#include "text/page_bytes.h"

#include <gtest/gtest.h>

#include "text/page_encoding.h"
#include "text/text_edit.h"

namespace {

using pq::PublishableBytes;
using pq::TextEdit;

// A page as fetched: its bytes, the character set they were read in, the text they read as.
pq::SourcePage Page(std::string bytes, std::string charset, std::string text) {
  return {std::move(text), std::move(bytes), std::move(charset)};
}

// The edit that puts `with` in place of the first `what` of `text`.
std::vector<TextEdit> Replace(const std::string& text, const std::string& what, const std::string& with) {
  const std::size_t at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  return {{at, at + what.size(), with}};
}

TEST(PublishableBytes, ChangedParagraphInEachCharacterSet) {
  const struct {
    const char* name;
    const char* charset;  // as the page was read
    std::string head;     // bytes before the paragraph
    std::string typed;    // the new paragraph text (UTF-8)
    std::string sent;     // its bytes on the wire
  } cases[] = {
      {"utf-8", "utf-8", "<meta charset=utf-8><p>\xC3\xA9t\xC3\xA9</p><p>",
       "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xC3\xA9 \xE2\x82\xAC"},
      {"iso-8859-1", "windows-1252", "<meta charset=\"ISO-8859-1\"><p>\xE9t\xE9</p><p>",
       "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 &#8364;"},
      {"windows-1252", "windows-1252", "<meta charset=windows-1252><p>\x93q\x94</p><p>",
       "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},
      {"shift_jis", "shift_jis", "<meta charset=shift_jis><p>\x93\xFA</p><p>",
       "\xE6\x9C\xAC \xC3\xA9", "\x96\x7B &#233;"},
      {"euc-jp", "euc-jp", "<meta charset=euc-jp><p>\xC6\xFC</p><p>", "\xE6\x9C\xAC",
       "\xCB\xDC"},
      {"koi8-r", "koi8-r", "<meta charset=koi8-r><p>\xF0</p><p>",
       "\xD0\xBC\xD0\xB8\xD1\x80 \xE2\x82\xAC", "\xCD\xC9\xD2 &#8364;"},
      {"windows-1251", "windows-1251", "<meta charset=windows-1251><p>\xCF</p><p>",
       "\xD0\xBC\xD0\xB8\xD1\x80", "\xEC\xE8\xF0"},
  };
  const std::string tail = "</p><p>end</p>";
  for (const auto& c : cases) {
    const std::string bytes = c.head + "old" + tail;
    const auto text = pq::DecodeText(bytes, c.charset);
    ASSERT_TRUE(text) << c.name;
    const std::string headText = *pq::DecodeText(c.head, c.charset);
    const auto r = PublishableBytes(Page(bytes, c.charset, *text),
                                    {{headText.size(), headText.size() + 3, c.typed}});
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(r.bytes, c.head + c.sent + tail) << c.name;
  }
}

TEST(PublishableBytes, Utf8ByteOrderMarkIsKept) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string bytes = bom + "<p>old</p>";
  // Whether or not the text read from the bytes kept the mark.
  for (const std::string& text : {bom + "<p>old</p>", std::string("<p>old</p>")}) {
    const auto r = PublishableBytes(Page(bytes, "utf-8", text), Replace(text, "old", "new"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, bom + "<p>new</p>");
  }
}

TEST(PublishableBytes, Utf16PagesAreRefusedWithAReason) {
  const auto r = PublishableBytes(Page("\xFF\xFE<\0p\0>\0", "utf-16le", "<p>"), {{3, 3, "x"}});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("UTF-16"), std::string::npos) << r.error;
}

// Wide encodings are named as they are, with or without a byte-order mark, and a page holding
// NUL bytes in a byte-oriented set is never spliced into.
TEST(PublishableBytes, WidePagesAndNulBytesAreRefused) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    const char* charset;
    const char* named;
  } cases[] = {
      {"\xFF\xFE\0\0<\0\0\0p\0\0\0"s, "utf-16le", "UTF-32LE"},
      {"<\0\0\0p\0\0\0"s, "windows-1252", "UTF-32LE"},
      {"\0\0\0<\0\0\0p"s, "windows-1252", "UTF-32BE"},
      {"<\0p\0>\0"s, "windows-1252", "UTF-16LE"},
      {"\0<\0p\0>"s, "windows-1252", "UTF-16BE"},
      {" \0<\0p\0"s, "windows-1252", "UTF-16LE"},
      {"<p>a\0b</p>"s, "windows-1252", "NUL"},
  };
  for (const auto& c : cases) {
    const auto r = PublishableBytes(Page(c.bytes, c.charset, "<p>"), {{3, 3, "x"}});
    EXPECT_FALSE(r.ok) << c.named;
    EXPECT_TRUE(r.bytes.empty()) << c.named;
    EXPECT_NE(r.error.find(c.named), std::string::npos) << r.error;
  }
  // Nor does an edit put one there.
  const auto nul = PublishableBytes(Page("<p>"s, "windows-1252", "<p>"), {{3, 3, "x\0y"s}});
  EXPECT_FALSE(nul.ok);
  EXPECT_NE(nul.error.find("NUL"), std::string::npos) << nul.error;
  EXPECT_EQ(pq::WideEncodingOf("<html>"), "");
  EXPECT_EQ(pq::WideEncodingOf(""), "");
}

TEST(PublishableBytes, BytesThatDoNotSurviveAreKeptAroundTheChanges) {
  // Declared Latin-1, but written with Windows-1252 quotes and an undefined byte 0x81: the
  // text reads them as U+201C, U+201D and U+0081, which strict Latin-1 cannot give back.
  const std::string bytes =
      "<meta charset=iso-8859-1><p>\x93one\x94</p>\x81<p>two</p><p>\x93three\x94</p>";
  const auto text = pq::DecodeText(bytes, "windows-1252");
  ASSERT_TRUE(text);
  auto edits = Replace(*text, "one", "\xC3\xA9\xE2\x82\xAC");
  edits.push_back(Replace(*text, "three", "3").front());
  const auto r = PublishableBytes(Page(bytes, "windows-1252", *text), edits);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, "<meta charset=iso-8859-1><p>\x93\xE9&#8364;\x94</p>\x81<p>two</p><p>\x93"
                     "3\x94</p>");
}

TEST(PublishableBytes, ShiftJisCharacterWithTwoEncodingsKeepsItsOwn) {
  // ED 40 and FA 5C both read as U+7E8A; writing the text again would give FA 5C.
  const std::string bytes = "<p>\xED\x40</p><p>old</p>";
  const auto text = pq::DecodeText(bytes, "shift_jis");
  ASSERT_TRUE(text);
  const auto r = PublishableBytes(Page(bytes, "shift_jis", *text), Replace(*text, "old", "\xE6\x97\xA5"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, "<p>\xED\x40</p><p>\x93\xFA</p>");
}

TEST(PublishableBytes, InvalidUtf8StaysOutsideTheChanges) {
  // The text reads each bad sequence as U+FFFD; the bytes keep them.
  const std::string bytes = "<p>\xE2\x82</p><p>old</p><p>\xFF</p>";
  const std::string text = *pq::DecodeText(bytes, "utf-8");
  const auto r = PublishableBytes(Page(bytes, "utf-8", text), Replace(text, "old", "new"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, "<p>\xE2\x82</p><p>new</p><p>\xFF</p>");
}

// Edits whose places are not in the text, or bytes that do not read as the text: refused, never
// a page rewritten from its text.
TEST(PublishableBytes, EditsThatCannotBePlacedAreRefused) {
  const std::string bytes = "<p>old</p><p>two</p>";
  const struct {
    const char* name;
    std::string text;
    std::vector<TextEdit> edits;
  } cases[] = {
      {"past the end", bytes, {{8, 40, "x"}}},
      {"overlapping", bytes, {{3, 8, "x"}, {5, 9, "y"}}},
      {"backwards", bytes, {{6, 3, "x"}}},
      {"text not of these bytes", "<p>old</p><p>TWO</p>", {{3, 6, "new"}}},
  };
  for (const auto& c : cases) {
    const auto r = PublishableBytes(Page(bytes, "utf-8", c.text), c.edits);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_TRUE(r.bytes.empty()) << c.name;
    EXPECT_NE(r.error.find("nothing was published"), std::string::npos) << c.name << ": " << r.error;
  }
}

TEST(PublishableBytes, UnchangedTextGivesTheSameBytes) {
  const std::string bytes = "<p>\xED\x40</p>";
  const auto text = pq::DecodeText(bytes, "shift_jis");
  const auto r = PublishableBytes(Page(bytes, "shift_jis", *text), {});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, bytes);
}

}  // namespace
