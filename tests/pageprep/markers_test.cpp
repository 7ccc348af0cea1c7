#include "pageprep/markers.h"

#include <gtest/gtest.h>

#include "pageprep/page_edit_flag.h"
#include "pageprep/time_stamp.h"

namespace {

TEST(Markers, AddMarkerGoesRightAfterTheHtmlTag) {
  EXPECT_EQ(pq::AddMarker("<!DOCTYPE html><HTML lang=en><body>x", "OrigURL", "http://a/b.htm"),
            "<!DOCTYPE html><HTML lang=en><!--OrigURL=\"http://a/b.htm\"--><body>x");
}

TEST(Markers, AQuotedGreaterThanDoesNotEndTheHtmlTag) {
  EXPECT_EQ(pq::AddMarker("<html lang=\"a>b\"><p>x", "OrigURL", "u"),
            "<html lang=\"a>b\"><!--OrigURL=\"u\"--><p>x");
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
      {"<html><!--OrigURL=\"a\"--><!--OrigURL=\"b\"-->", "OrigURL", "a"},
      {"<html><!--OrigURL=\"a\" and more--><!--OrigURL=\"b\"-->", "OrigURL", "b"},
      // The engine's serialisation of an edit copy: the BASE line went into the head first.
      {"<html lang=\"en\"><head><base href=\"http://s/\">\n<!--FullPath=\"f\"-->"
       "<!--OrigURL=\"u\"--><title>T</title>",
       "OrigURL", "u"},
      // An edit copy file: byte-order mark, BASE line, DOCTYPE.
      {"\xEF\xBB\xBF<BASE HREF=\"http://s/\">\r\n<!DOCTYPE html><HTML><!--FullPath=\"f\"-->", "FullPath", "f"},
      {"<?xml version=\"1.0\"?>\n<html xmlns=\"x\"><!--OrigURL=\"u\"-->", "OrigURL", "u"},
      {"<html lang=\"a>b\"><head title='>'><!--OrigURL=\"u\"-->", "OrigURL", "u"},
      // A page's own look-alike after some of its content is not a marker.
      {"<html><head></head><body><!--OrigURL=\"own\"--></body></html>", "OrigURL", ""},
      {"<html><head><title>T</title><!--OrigURL=\"own\"-->", "OrigURL", ""},
      {"<html><header><!--OrigURL=\"own\"-->", "OrigURL", ""},
      {"<html><script>s = '<!--OrigURL=\"own\"-->';</script>", "OrigURL", ""},
      {"<html><p>Hello</p><!--OrigURL=\"own\"-->", "OrigURL", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::GetMarker(c.html, c.name), c.want) << c.html;
}

// Pages whose own comments look like markers: the program's markers are read all the same.
TEST(Markers, GetMarkerReadsTheProgramsMarkersNotThePagesOwn) {
  const char* pages[] = {
      "<!--OrigURL=\"own\"--><!--FullPath=\"own\"--><html><p>x</p></html>",
      "<!DOCTYPE html><!--OrigURL=\"own\"-->\n<HTML lang=en><body>x</body></HTML>",
      "<html><!--FullPath=\"own\"--><!--OrigURL=\"own\"--><p>saved from an edit copy</p>",
      "<p>no html tag</p><!--OrigURL=\"own\"--><!--FullPath=\"own\"-->",
      "<title>before the html tag</title><html><!--OrigURL=\"own\"-->",
      "<a href=x><html>inside a link</a><!--OrigURL=\"own\"-->",
  };
  for (const char* page : pages) {
    const std::string html = pq::MakeEditHTML(page, "http://s/u.htm", "http://s/f.htm").html;
    EXPECT_EQ(pq::GetMarker(html, "OrigURL"), "http://s/u.htm") << html;
    EXPECT_EQ(pq::GetMarker(html, "FullPath"), "http://s/f.htm") << html;
  }
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
