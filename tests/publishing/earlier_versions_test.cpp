#include "publishing/earlier_versions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

TEST(EarlierVersions, CommandState) {
  EXPECT_TRUE(pq::EarlierVersionsState(true, true, false).enabled);
  EXPECT_FALSE(pq::EarlierVersionsState(false, true, false).enabled);
  EXPECT_FALSE(pq::EarlierVersionsState(true, false, false).enabled);
  const auto old = pq::EarlierVersionsState(true, true, true);
  EXPECT_FALSE(old.enabled);
  EXPECT_NE(old.tooltip.find("site script"), std::string::npos);
  EXPECT_NE(old.tooltip.find("too old"), std::string::npos);
}

TEST(EarlierVersions, OutdatedScriptsAreKeptPerSite) {
  pq::OutdatedSiteScripts outdated;
  outdated.Mark("http://WWW.Example.com:80");
  EXPECT_TRUE(outdated.Contains("http://www.example.com"));
  EXPECT_FALSE(outdated.Contains("https://www.example.com"));
  EXPECT_FALSE(outdated.Contains("http://127.0.0.1:8080"));
}

TEST(EarlierVersions, TimesReadInTheUsersZone) {
  const char* saved = std::getenv("TZ");
  const std::string old = saved ? saved : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  EXPECT_EQ(pq::LocalTimeText(1796962133), "Fri 11 Dec 2026, 05:08:53");
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(pq::LocalTimeText(1796962133), "Fri 11 Dec 2026, 04:08:53");
  if (saved) setenv("TZ", old.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(EarlierVersions, Sizes) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 bytes"},
      {1, "1 byte"},
      {9999, "9,999 bytes"},
      {12345, "12,345 bytes (12.1 KB)"},
      {3145728, "3,145,728 bytes (3.0 MB)"},
      {18446744073709551615u, "18,446,744,073,709,551,615 bytes (17592186044416.0 MB)"},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::SizeText(c.bytes), c.text) << c.bytes;
}

}  // namespace
