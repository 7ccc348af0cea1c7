#include "pageprep/markers.h"

#include <gtest/gtest.h>

#include "pageprep/page_edit_flag.h"
#include "pageprep/time_stamp.h"

namespace {

TEST(Markers, AddMarkerGoesRightAfterTheHtmlTag) {
  EXPECT_EQ(pq::AddMarker("<!DOCTYPE html><HTML lang=en><body>x", "OrigURL", "http://a/b.htm"),
            "<!DOCTYPE html><HTML lang=en><!--OrigURL=\"http://a/b.htm\"--><body>x");
}

TEST(Markers, PageWithoutHtmlTagGetsOneFullPathFirst) {
  std::string html = pq::AddMarker("<p>x</p>", "OrigURL", "u");
  html = pq::AddMarker(html, "FullPath", "f");
  EXPECT_EQ(html, "<html><!--FullPath=\"f\"--><!--OrigURL=\"u\"--><p>x</p>");
  EXPECT_EQ(pq::GetMarker(html, "OrigURL"), "u");
  EXPECT_EQ(pq::GetMarker(html, "FullPath"), "f");
}

TEST(Markers, GetMarkerCases) {
  const struct {
    const char* html;
    const char* name;
    const char* want;
  } cases[] = {
      {"<html><!--FullPath=\"\"-->", "FullPath", ""},
      {"<html><!--fullpath=\"x\"-->", "FullPath", ""},  // exact case
      {"<html>", "OrigURL", ""},
      {"<html><!--OrigURL=\"unterminated", "OrigURL", ""},
      {"<!--OrigURL=\"a\"--><!--OrigURL=\"b\"-->", "OrigURL", "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::GetMarker(c.html, c.name), c.want) << c.html;
}

TEST(Markers, PageEditFlag) {
  const std::pair<const char*, const char*> cases[] = {
      {"<META NAME=\"PQEDIT\" CONTENT=\"Y\">", "Y"},
      {"<meta name=pqedit content=n>", "N"},
      {"<meta name='pqedit' content='yes'>", ""},
      {"<meta name=pqedit content=y><meta name=pqedit content=n>", "N"},
      {"<meta name=pqedit content=n><meta name=pqedit content=y>", "Y"},
      {"<meta name=pqedit content=y><meta name=pqedit content=maybe>", "Y"},
      {"<meta name=\"keywords\" content=\" y \">", ""},
      {"<p>pqedit y</p>", ""},
      {"<meta name=pqedit content=y", ""},  // unterminated: the scan ends
      {"", ""},
  };
  for (auto [html, want] : cases) EXPECT_EQ(pq::PageEditFlag(html), want) << html;
}

TEST(TimeStamp, PadsEveryPartButTheYear) {
  std::tm t{};
  t.tm_mday = 5, t.tm_mon = 11, t.tm_year = 2026 - 1900, t.tm_hour = 0, t.tm_min = 41, t.tm_sec = 34;
  EXPECT_EQ(pq::MakeTimeStamp(t), "05122026004134");
  t.tm_mday = 31, t.tm_mon = 0, t.tm_hour = 23, t.tm_min = 5, t.tm_sec = 9;
  EXPECT_EQ(pq::MakeTimeStamp(t), "31012026230509");
  EXPECT_EQ(pq::MakeTimeStamp().size(), 14u);
}

}  // namespace
