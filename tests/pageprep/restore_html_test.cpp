#include "pageprep/restore_html.h"

#include <gtest/gtest.h>

#include <random>

#include "pageprep/char_filters.h"

namespace {

using pq::RestoreHTML;
using pq::SpanSnapshot;
using pq::StripMarkers;

const std::string kEdit =
    "<html><!--FullPath=\"http://s/a.htm\"--><!--OrigURL=\"http://s/a.htm\"--><body>"
    "<p><SPAN ID=\"ZZZEDIT1\">Price:&nbsp;</SPAN><SPAN ID=\"ZZZANCHOR1\"><a href=x.htm>here</a>"
    "</SPAN> <SPAN ID=\"ZZZEDIT2\">now</SPAN></p></body></html>";

SpanSnapshot Doc(std::initializer_list<std::pair<const std::string, SpanSnapshot::Element>> e) {
  SpanSnapshot s;
  s.elements = e;
  return s;
}

TEST(RestoreHTML, Cases) {
  const struct {
    const char* name;
    SpanSnapshot doc;
    std::string want;  // after StripMarkers
  } cases[] = {
      {"unchanged document gives the source back",
       Doc({{"ZZZEDIT1", {"Price:&nbsp;", {}}}, {"ZZZANCHOR1", {"<a>here</a>", {}}},
            {"ZZZEDIT2", {"now", {}}}}),
       "<html><body><p>Price:&nbsp;<a href=x.htm>here</a> now</p></body></html>"},
      {"edited span and editable link text",
       Doc({{"ZZZEDIT1", {"Cost: <b>low</b>", {}}}, {"ZZZANCHOR1", {"", {"there"}}},
            {"ZZZEDIT2", {"today", {}}}}),
       "<html><body><p>Cost: <b>low</b><a href=x.htm>there</a> today</p></body></html>"},
      {"an emptied span keeps an editable place",
       Doc({{"ZZZEDIT1", {"  ", {}}}, {"ZZZEDIT2", {"", {}}}}),
       "<html><body><p>&nbsp;<!--DeletedText--><a href=x.htm>here</a> "
       "&nbsp;<!--DeletedText--></p></body></html>"},
      {"spans missing from the document keep their fetched text",
       Doc({}), "<html><body><p>Price:&nbsp;<a href=x.htm>here</a> now</p></body></html>"},
      {"a link that is not content-editable keeps its text",
       Doc({{"ZZZANCHOR1", {"<a>here</a>", {}}}}),
       "<html><body><p>Price:&nbsp;<a href=x.htm>here</a> now</p></body></html>"},
      {"typographic characters become numeric references",
       Doc({{"ZZZEDIT2", {"\xE2\x80\xA2 Brand\xE2\x84\xA2", {}}}}),
       "<html><body><p>Price:&nbsp;<a href=x.htm>here</a> &#149; Brand&#153;</p></body></html>"},
      {"the last editable link wins",
       Doc({{"ZZZANCHOR1", {"", {"one", "two"}}}}),
       "<html><body><p>Price:&nbsp;<a href=x.htm>two</a> now</p></body></html>"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripMarkers(RestoreHTML(kEdit, c.doc)), c.want) << c.name;
}

TEST(RestoreHTML, RestoringTwiceGivesTheSameText) {
  const auto doc = Doc({{"ZZZEDIT1", {"A", {}}}, {"ZZZANCHOR1", {"", {"B"}}}});
  EXPECT_EQ(RestoreHTML(kEdit, doc), RestoreHTML(kEdit, doc));
}

TEST(RestoreHTML, TypedMarkerTextIsNotReadAsASpan) {
  // What the user typed is published as typed, never taken for another span's marker.
  const std::string edit = "<p><SPAN ID=\"ZZZEDIT1\">a</SPAN><SPAN ID=\"ZZZEDIT2\">b</SPAN></p>";
  const auto doc = Doc({{"ZZZEDIT1", {"ZZZEDIT2 &lt;", {}}}, {"ZZZEDIT2", {"c", {}}}});
  EXPECT_EQ(RestoreHTML(edit, doc), "<p>ZZZEDIT2 &lt;c</p>");
}

TEST(RestoreHTML, LinkTextGoesBetweenTheTagsAsTheTokenizerReadsThem) {
  const std::pair<std::string, std::string> cases[] = {  // the link as written, and restored
      {"<a title=\"a>b\" href=x>old</a>", "<a title=\"a>b\" href=x>new</a>"},
      {"<a href=x>old</a <>", "<a href=x>new</a <>"},  // "<" is an attribute of the end tag
      {"<a href=x>old</a </a>", "<a href=x>new</a </a>"},
      // For the browser the quoted title runs past the first "</a>".
      {"<a title=\"x>y</a> z\">old</a>", "<a title=\"x>y</a> z\">new</a>"},
  };
  const auto doc = Doc({{"ZZZANCHOR1", {"", {"new"}}}});
  for (const auto& [link, want] : cases)
    EXPECT_EQ(RestoreHTML("<SPAN ID=\"ZZZANCHOR1\">" + link + "</SPAN><", doc), want + "<") << link;
}

TEST(RestoreHTML, PageOwnLowerCaseSpansAreNotClosers) {
  const std::string edit =
      "<span class=k><SPAN ID=\"ZZZEDIT1\">a</SPAN></span><SPAN ID=\"ZZZEDIT2\">b</SPAN>";
  const auto doc = Doc({{"ZZZEDIT1", {"x", {}}}, {"ZZZEDIT2", {"y", {}}}});
  EXPECT_EQ(RestoreHTML(edit, doc), "<span class=k>x</span>y");
}

TEST(RestoreHTML, LinkHoldingItsOwnUpperCaseSpan) {
  const std::string edit =
      "<SPAN ID=\"ZZZANCHOR1\"><a href=x><SPAN>Home</SPAN></a></SPAN> <SPAN ID=\"ZZZEDIT1\">t</SPAN>";
  EXPECT_EQ(RestoreHTML(edit, Doc({{"ZZZANCHOR1", {"", {"<span>House</span>"}}}, {"ZZZEDIT1", {"u", {}}}})),
            "<a href=x><span>House</span></a> u");
  EXPECT_EQ(RestoreHTML(edit, Doc({{"ZZZANCHOR1", {"", {}}}})),
            "<a href=x><SPAN>Home</SPAN></a> <SPAN ID=\"ZZZEDIT1\">t</SPAN>");
}

TEST(RestoreHTML, UnterminatedMarkersDoNotCrash) {
  const auto doc = Doc({{"ZZZEDIT1", {"x", {}}}, {"ZZZANCHOR1", {"", {"y"}}}});
  for (const char* edit : {"<SPAN ID=\"ZZZEDIT1\">a", "ZZZEDIT1", "<SPAN ID=\"ZZZANCHOR1",
                           "<SPAN ID=\"ZZZANCHOR1\"><a href=x>t", "ZZZANCHOR", "<SPAN ID=\"ZZZEDIT\">",
                           "ZZZEDIT1>", "x ZZZANCHOR1>"}) {
    EXPECT_NO_THROW(RestoreHTML(edit, doc)) << edit;
  }
}

TEST(StripMarkers, Cases) {
  const std::pair<std::string, std::string> cases[] = {
      {"<HTML><!--FullPath=\"f\"--><!--OrigURL=\"u\"-->x", "<HTML>x"},
      {"<span id=\"ZZZEDIT1\">a</span><span id=\"zzzanchor2\"><a>b</a></span>", "a<a>b</a>"},
      {"<SPAN ID=\"ZZZEDIT1\">a <span class=c>b</span></SPAN>", "a <span class=c>b</span>"},
      {"<span id=\"zzzedit1\">a</SPAN>b</span>", "ab</span>"},  // a serialised span closes in any case
      {"<p><SPAN ID=\"ZZZEDIT1\">a</SPAN><SPAN ID=\"ZZZEDIT2\">b</SPAN></p>", "<p>ab</p>"},
      {"<!--OrigURL=\"unterminated", "<!--OrigURL=\"unterminated"},
      {"<SPAN ID=\"ZZZEDIT9", "<SPAN ID=\"ZZZEDIT9"},  // not a marker the program wrote
      {"<SPAN ID=\"ZZZEDIT9\">open", "open"},
      {"<SPAN ID=\"ZZZANCHOR1\"><a ></a <></SPAN><", "<a ></a <><"},
      {"<SPAN ID=\"ZZZANCHOR1\"><a =\"</>\"</a></SPAN>/", "<a =\"</>\"</a>/"},
      {"no markers at all", "no markers at all"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(StripMarkers(in), want) << in;
}

TEST(CharFilters, EncodeSpecialChars) {
  EXPECT_EQ(pq::EncodeSpecialChars("\xC6\x92\xC5\x92\xC5\x93\xC5\xA0\xC5\xA1\xC5\xB8"
                                   "\xE2\x80\xA0\xE2\x80\xA1\xE2\x80\xA2\xE2\x84\xA2"),
            "&#131;&#140;&#156;&#138;&#154;&#159;&#134;&#135;&#149;&#153;");
  EXPECT_EQ(pq::EncodeSpecialChars("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(CharFilters, StripUnsafeCharsKeepsLettersOfEveryLanguage) {
  // Letters the old filter dropped (A-grave, E-grave, sharp s, o-grave, thorn, degree,
  // superscript two, inverted question mark) are user data and stay.
  const std::string letters = "\xC3\x80\xC3\x88\xC3\x9F\xC3\xB2\xC3\xBE\xC2\xB0\xC2\xB2\xC2\xBF"
                              " \xC3\xA9\xC3\xB1 \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80";
  EXPECT_EQ(pq::StripUnsafeChars(letters), letters);
  EXPECT_EQ(pq::StripUnsafeChars("a\tb\r\nc"), "a\tb\r\nc");
  EXPECT_EQ(pq::StripUnsafeChars(std::string("a\x01\x1B\x7F" "b\0c", 7)), "abc");
  EXPECT_EQ(pq::StripUnsafeChars("x\xC2\x85y"), "xy");          // C1 control U+0085
}

// A byte that starts no character stands alone as U+FFFD: it never joins the bytes after a
// dropped control character into a character that the filter would have dropped or encoded.
TEST(CharFilters, StrayBytesBecomeOneReplacementCharacterEach) {
  const std::pair<std::string, std::string> cases[] = {
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {"\xC2\x01\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // not U+0080
      {std::string("\xE2\x00\x80\xA2", 4), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // not a bullet
      {"a\xC3", "a\xEF\xBF\xBD"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(pq::StripUnsafeChars(in), want);
}

// In the page's own HTML a dropped character never joins its neighbours into markup: between
// two ASCII characters it becomes U+FFFD, which the tokenizer reads as it read the control.
TEST(CharFilters, TheRestoreNeverJoinsThePagesCharactersIntoMarkup) {
  const std::pair<std::string, std::string> cases[] = {  // edit HTML, restored and stripped
      {"<SPAN ID=\"ZZZANCHOR1\"><a ><\x13o</a></SPAN>p", "<a ><\xEF\xBF\xBDo</a>p"},
      {"<p>&lt;<\x01\x02!-- -\x7F-> x</p>", "<p>&lt;<\xEF\xBF\xBD!-- -\xEF\xBF\xBD-> x</p>"},
      {"<p>\x01\xC3\xA9\x02\x03</p>\x04", "<p>\xC3\xA9</p>"},  // nothing to join
  };
  for (const auto& [edit, want] : cases) {
    EXPECT_EQ(StripMarkers(RestoreHTML(edit, Doc({}))), want) << edit;
    const auto layout = pq::FindSpanLayout(edit);
    EXPECT_EQ(pq::PublishableHTML(edit, layout, Doc({})), want) << edit;
  }
}

}  // namespace

namespace {

// Arbitrary mixtures of marker fragments never crash or read outside the text.
TEST(RestoreHTML, ArbitraryMarkerSoupIsSafe) {
  const char* pieces[] = {"<SPAN ID=\"ZZZEDIT", "<SPAN ID=\"ZZZANCHOR", "1", "2", "\">", "</SPAN>",
                          "</span>", "<span>", "<a href=x>", "</a>", "<", ">", "\"", "text ",
                          "<!--FullPath=\"", "-->", "ZZZEDIT", "ZZZANCHOR"};
  const auto doc = Doc({{"ZZZEDIT1", {"x", {}}}, {"ZZZEDIT2", {"", {}}},
                        {"ZZZANCHOR1", {"", {"y"}}}, {"ZZZANCHOR2", {"", {}}}});
  std::mt19937 rng(7);
  for (int k = 0; k < 20000; ++k) {
    std::string soup;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) soup += pieces[rng() % std::size(pieces)];
    EXPECT_NO_THROW(StripMarkers(RestoreHTML(soup, doc))) << soup;
  }
}

}  // namespace
