#include "pageprep/copy_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

TEST(CopyAddressOf, EncodesWhatAnAddressCannotHold) {
  EXPECT_EQ(pq::CopyAddressOf("/tmp/pagequill-1000/webed.htm"),
            "pagequill-copy:///tmp/pagequill-1000/webed.htm");
  EXPECT_EQ(pq::CopyAddressOf("/tmp/my temp/a#b%c?.htm"),
            "pagequill-copy:///tmp/my%20temp/a%23b%25c%3F.htm");
}

// Only files directly inside the program's folder are served: a page must not read other
// files through the scheme.
TEST(CopyPathOf, NamesOnlyFilesDirectlyInTheFolder) {
  const std::string folder = "/tmp/my temp/pagequill-1000/";
  const struct {
    std::string address;
    std::optional<std::string> path;
  } cases[] = {
      {pq::CopyAddressOf(folder + "webed.htm"), folder + "webed.htm"},
      {pq::CopyAddressOf(folder + "frmpage12.htm"), folder + "frmpage12.htm"},
      {pq::CopyAddressOf(folder + "a#b%c?.htm"), folder + "a#b%c?.htm"},
      {"PAGEQUILL-COPY:///tmp/my%20temp/pagequill-1000/webed.htm?x=1#top", folder + "webed.htm"},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/../../etc/passwd", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/%2E%2E", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/sub/webed.htm", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/a%2Fb.htm", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/a%00.htm", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-1000/a%2.htm", std::nullopt},
      {"pagequill-copy:///tmp/my%20temp/pagequill-10000/webed.htm", std::nullopt},
      {"pagequill-copy:///etc/passwd", std::nullopt},
      {"file:///tmp/my%20temp/pagequill-1000/webed.htm", std::nullopt},
      {"pagequill-copy://host/tmp/my%20temp/pagequill-1000/webed.htm", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::CopyPathOf(c.address, folder), c.path) << c.address;
  EXPECT_EQ(pq::CopyPathOf(pq::CopyAddressOf(folder + "webed.htm"), "/tmp/no-slash"), std::nullopt);
}

}  // namespace
