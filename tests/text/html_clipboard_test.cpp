#include "text/html_clipboard.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

std::string Field(const std::string& block, const std::string& name) {
  const auto at = block.find(name + ":");
  return at == std::string::npos ? "" : block.substr(at + name.size() + 1, 10);
}

TEST(HtmlFormatBlock, TheAbcExample) {
  const std::string block = HtmlFormatBlock("abc", kPastePrefix, kPasteSuffix);
  EXPECT_EQ(block,
            "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:0000000174\r\n"
            "StartFragment:0000000138\r\nEndFragment:0000000141\r\n"
            "<HTML><BODY><!--StartFragment -->abc<!--EndFragment --></BODY></HTML>");
  EXPECT_EQ(block.size(), 174u);
  EXPECT_EQ(HtmlFormatMarkup("abc", kPastePrefix, kPasteSuffix), "<HTML><BODY>abc</BODY></HTML>");
}

TEST(HtmlFormatBlock, OffsetsCountUtf8Bytes) {
  // "é" and "€" are two and three bytes; the fragment is 7 characters but 10 bytes.
  const std::string fragment = "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC";
  const std::string block = HtmlFormatBlock(fragment, kPastePrefix, kPasteSuffix);
  EXPECT_EQ(Field(block, "StartHTML"), "0000000105");
  EXPECT_EQ(Field(block, "StartFragment"), "0000000138");
  EXPECT_EQ(Field(block, "EndFragment"), "0000000148");
  EXPECT_EQ(Field(block, "EndHTML"), "0000000181");
  EXPECT_EQ(block.substr(138, 10), fragment);
  EXPECT_EQ(block.size(), 181u);
}

TEST(HtmlFormatBlock, PlaceholderLettersInTheHtmlAreLeftAlone) {
  const std::string block = HtmlFormatBlock("aaaaaaaaaa bbbbbbbbbb", "", "");
  EXPECT_NE(block.find("-->aaaaaaaaaa bbbbbbbbbb<!--"), std::string::npos);
  EXPECT_EQ(Field(block, "StartFragment"), "0000000126");
}

}  // namespace
}  // namespace pq
