#include "publishing/md5.h"

#include <gtest/gtest.h>

namespace {

TEST(MD5Hex, KnownDigests) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},  // one block
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},  // needs two
      {"\xC3\xA9", "3406877694691ddd1dfb0aca54681407"},             // e-acute is the byte E9
      {"demo42", "29df9bf6cc6f0fd54ede6a7ad20b291a"},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(pq::MD5Hex(text), want) << text;
}

TEST(MD5Hex, HashesTheLowByteOfEachCodeUnit) {
  EXPECT_EQ(pq::MD5Hex("\xC5\x81"), pq::MD5Hex("A"));         // U+0141 and U+0041
  EXPECT_EQ(pq::ProtocolBytes("\xE2\x82\xAC"), "\xAC");       // euro sign
  EXPECT_EQ(pq::ProtocolBytes("\xF0\x9F\x98\x80"), std::string("\x3D\x00", 2));  // D83D DE00
}

TEST(MD5Hex, IsLowerCaseHex) {
  for (const char* text : {"abc", "Passw0rd123", "\xC3\xA9t\xC3\xA9"}) {
    const std::string h = pq::MD5Hex(text);
    ASSERT_EQ(h.size(), 32u);
    EXPECT_EQ(h.find_first_not_of("0123456789abcdef"), std::string::npos) << h;
  }
}

}  // namespace
