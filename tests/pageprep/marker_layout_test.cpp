// Removing markers and restoring spans by the layout AddSpans recorded: exact for any page,
// whatever SPAN tags, marker names or "<html>" it holds or lacks.
#include <gtest/gtest.h>

#include <string>

#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/restore_html.h"

namespace {

using pq::MarkedHTML;
using pq::SpanPlace;

const std::string kUrl = "http://s/p.htm";

// The page back from its edit HTML with every span's text taken from the source.
std::string FromSource(const MarkedHTML& marked, const std::string& source) {
  const auto restored = pq::SpliceSpans(marked.html, marked.layout, [&](const SpanPlace& s) {
    return std::optional<std::string>(source.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin));
  });
  return pq::StripMarkers(restored.html, restored.layout);
}

// A live document in which every span holds what the edit copy gave it.
pq::SpanSnapshot Unchanged(const MarkedHTML& marked) {
  pq::SpanSnapshot doc;
  for (const SpanPlace& s : marked.layout.spans)
    doc.elements[s.Id()].innerHTML = marked.html.substr(s.contentBegin, s.contentEnd - s.contentBegin);
  return doc;
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

struct HostileCase {
  const char* what;
  std::string page;
};

const HostileCase kHostile[] = {
    {"a link tag cut short by an upper-case closer", "<a </SPAN\n"},
    {"an upper-case </SPAN inside a link",
     "<p><a href=x.htm>Home</SPAN more text</p><p>next paragraph</p>"},
    {"old-style menu: an unclosed SPAN in every link",
     Repeat("<A HREF=\"p1.htm\"><SPAN CLASS=m>Item 1</A><BR>\n", 200)},
    {"a SPAN inside an attribute value", Repeat("<A HREF=\"p.htm\" TITLE=\"<SPAN>\">Item</A><BR>", 50)},
    {"marker names as text", "<p>" + Repeat("ZZZEDIT1 ", 300) + "</p>"},
    {"unclosed marker look-alikes", Repeat("<span id=\"zzzedit1\">x", 300)},
    {"closed marker look-alikes", "<p><SPAN ID=\"ZZZEDIT1\">mine</SPAN> and <SPAN ID=\"ZZZANCHOR1\">"
                                  "<a href=x>too</a></SPAN></p>"},
    {"origin comments of the page's own", "<html><!--OrigURL=\"old\"--><p>x</p><!--FullPath=\"y\"-->"},
    {"no html tag", "<p>Hello <b>world</b></p>"},
    {"a DOCTYPE and no html tag", "<!DOCTYPE html>\n<title>T</title><p>Text</p>"},
    {"a DOCTYPE and an html tag", "<!DOCTYPE html><HTML lang=en><p>Text</p></HTML>"},
    {"<html inside a link before the real one", "<a href=x><html>in</a><p>t</p>"},
    {"spaces at the ends of spans", "<p> lead</p><p>trail </p><p> both </p>"},
    {"empty page", ""},
};

TEST(MarkerLayout, TheSourceComesBackExactlyThroughTheLayout) {
  for (const auto& c : kHostile) {
    const MarkedHTML marked = pq::MakeEditHTML(c.page, kUrl, kUrl);
    EXPECT_EQ(FromSource(marked, c.page), c.page) << c.what << "\nedit: " << marked.html;
  }
}

TEST(MarkerLayout, AnUnchangedDocumentRestoresToTheEditCopyWithoutMarkers) {
  for (const auto& c : kHostile) {
    const MarkedHTML marked = pq::MakeEditHTML(c.page, kUrl, kUrl);
    EXPECT_EQ(pq::PublishableHTML(marked.html, marked.layout, Unchanged(marked)),
              pq::StripMarkers(marked.html, marked.layout))
        << c.what;
  }
  // Only the spans' own ends differ from the page: the space that became "&nbsp;".
  const MarkedHTML marked = pq::MakeEditHTML(kHostile[4].page, kUrl, kUrl);
  std::string page = kHostile[4].page;
  page.replace(page.size() - 5, 1, "&nbsp;");
  EXPECT_EQ(pq::PublishableHTML(marked.html, marked.layout, Unchanged(marked)), page);
}

TEST(MarkerLayout, TheCasesOfTheReviewComeBackUntouched) {
  // Taken literally from text, these once came back as "<a " and as a page missing
  // "</SPAN more text</p>"; the text reading now keeps them too.
  for (const std::string& page : {std::string("<a </SPAN\n"),
                                 std::string("<p><a href=x.htm>Home</SPAN more text</p><p>next paragraph</p>")}) {
    const MarkedHTML marked = pq::MakeEditHTML(page, kUrl, kUrl);
    EXPECT_EQ(pq::StripMarkers(marked.html, marked.layout), page);
    EXPECT_EQ(pq::StripMarkers(pq::AddSpans(page)), page);
  }
}

TEST(MarkerLayout, EditedSpansAndLinkTextGoWhereTheLayoutSays) {
  const std::string page =
      "<!DOCTYPE html><p>Call <SPAN>us</SPAN></p><p><a href=x.htm>Home</a> ZZZEDIT2 text</p>";
  const MarkedHTML marked = pq::MakeEditHTML(page, kUrl, kUrl);
  ASSERT_EQ(marked.layout.spans.size(), 4u);
  pq::SpanSnapshot doc;
  doc.elements["ZZZEDIT1"] = {"Ring", {}};
  doc.elements["ZZZANCHOR1"] = {"", {"House \xE2\x80\xA2"}};
  doc.elements["ZZZEDIT3"] = {"", {}};
  EXPECT_EQ(pq::PublishableHTML(marked.html, marked.layout, doc),
            "<!DOCTYPE html><p>Ring<SPAN>us</SPAN></p><p><a href=x.htm>House &#149;</a> "
            "&nbsp;<!--DeletedText--></p>");
}

TEST(MarkerLayout, TheLayoutTellsEachSpansPlaceInTheEditHtmlAndTheSource) {
  const std::string page = "<p></b> Price:</p><a href=\"x.htm\">here</a>";
  const MarkedHTML marked = pq::MakeEditHTML(page, kUrl, kUrl);
  ASSERT_EQ(marked.layout.spans.size(), 2u);
  const SpanPlace& edit = marked.layout.spans[0];
  EXPECT_EQ(edit.Id(), "ZZZEDIT1");
  EXPECT_EQ(marked.html.substr(edit.contentBegin, edit.contentEnd - edit.contentBegin), "&nbspPrice:");
  EXPECT_EQ(page.substr(edit.sourceBegin, edit.sourceEnd - edit.sourceBegin), " Price:");
  const SpanPlace& link = marked.layout.spans[1];
  EXPECT_EQ(link.kind, pq::SpanKind::Anchor);
  EXPECT_EQ(link.Id(), "ZZZANCHOR1");
  EXPECT_EQ(marked.html.substr(link.textBegin, link.textEnd - link.textBegin), "here");
  EXPECT_EQ(marked.html.substr(link.begin, link.end - link.begin),
            "<SPAN ID=\"ZZZANCHOR1\"><a href=\"x.htm\">here</a></SPAN>");
  ASSERT_EQ(marked.layout.inserted.size(), 1u);
  EXPECT_EQ(marked.html.substr(0, marked.layout.inserted[0].end),
            "<html><!--FullPath=\"" + kUrl + "\"--><!--OrigURL=\"" + kUrl + "\"-->");
}

TEST(MarkerLayout, MarkersGoAfterTheDoctypeWithAnHtmlTagThatGoesAgain) {
  const std::string page = "<!DOCTYPE html>\n<p>x</p>";
  const MarkedHTML marked = pq::MakeEditHTML(page, "u", "f");
  const std::string head = "<!DOCTYPE html><html><!--FullPath=\"f\"--><!--OrigURL=\"u\"-->\n";
  EXPECT_EQ(marked.html.substr(0, head.size()), head);
  EXPECT_EQ(pq::GetMarker(marked.html, "OrigURL"), "u");
  EXPECT_EQ(pq::StripMarkers(marked.html, marked.layout), page);
}

TEST(MarkerLayout, ALayoutThatDoesNotFitTheTextIsNeverFollowedOutOfIt) {
  const MarkedHTML marked = pq::MakeEditHTML("<p>one</p><p>two</p>", kUrl, kUrl);
  for (const std::string& other : {std::string(""), std::string("short"), marked.html.substr(5)}) {
    EXPECT_NO_THROW(pq::StripMarkers(other, marked.layout));
    EXPECT_NO_THROW(pq::RestoreHTML(other, marked.layout, Unchanged(marked)));
  }
  EXPECT_EQ(pq::StripMarkers("short", marked.layout), "short");
}

}  // namespace
