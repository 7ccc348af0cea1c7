// Removing the marker spans again gives the page back, apart from a space at either end of
// an edit span that became a non-breaking space.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "add_spans_pages.h"
#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/restore_html.h"
#include "text/text_util.h"

namespace {

// Whether b is a with some single spaces written as "&nbsp;" or "&nbsp".
bool SameExceptNbsp(std::string_view a, std::string_view b) {
  std::set<std::pair<std::size_t, std::size_t>> seen;
  std::vector<std::pair<std::size_t, std::size_t>> todo{{0, 0}};
  while (!todo.empty()) {
    const auto [i, j] = todo.back();
    todo.pop_back();
    if (!seen.insert({i, j}).second) continue;
    if (i == a.size() && j == b.size()) return true;
    if (i < a.size() && j < b.size() && a[i] == b[j]) todo.push_back({i + 1, j + 1});
    if (i < a.size() && a[i] == ' ') {
      if (b.substr(j, 6) == "&nbsp;") todo.push_back({i + 1, j + 6});
      if (b.substr(j, 5) == "&nbsp") todo.push_back({i + 1, j + 5});
    }
  }
  return false;
}

// Pages that cannot come back through the stripping whatever AddSpans does: it removes any
// marker span or origin comment, the page's own included.
bool CannotComeBack(std::string_view page) {
  const std::string lower = pq::AsciiLower(page);
  for (std::string_view m : {"zzzedit", "zzzanchor", "<!--fullpath", "<!--origurl"})
    if (lower.find(m) != std::string::npos) return true;
  return false;
}

void Check(std::string_view page, const std::string& label, int& failures, int& skipped) {
  if (CannotComeBack(page)) {
    ++skipped;
    return;
  }
  const std::string marked = pq::AddSpans(page);
  const std::string back = pq::StripMarkers(marked);
  if (SameExceptNbsp(page, back)) return;
  if (++failures <= 5)
    ADD_FAILURE() << label << "\npage:     " << page << "\nmarked:   " << marked
                  << "\nstripped: " << back;
}

TEST(AddSpansProperty, StrippingGivesThePageBack) {
  int failures = 0, skipped = 0;
  for (const auto& [name, page] : pqtest::FixturePages()) Check(page, name, failures, skipped);
  EXPECT_EQ(skipped, 0) << "every fixture page must come back";
  std::mt19937 rng(99);
  for (int k = 0; k < 5000; ++k) Check(pqtest::RandomPage(rng), "generated page", failures, skipped);
  EXPECT_EQ(failures, 0);
  EXPECT_LT(skipped, 2500) << "too few generated pages were checked";
}

// A page's own span inside a link is not taken for the end of the link's anchor span.
TEST(AddSpansProperty, LinkHoldingASpanComesBack) {
  for (const std::string page : {"<p><a href=x.htm><span class=k>Home</span></a></p>",
                                 "<p><a href=x.htm><SPAN>Home</SPAN></a> after</p>"})
    EXPECT_EQ(pq::StripMarkers(pq::AddSpans(page)), page);
}

// Through the layout the program keeps, every page comes back exactly, marker look-alikes,
// pages without "<html>" and pages starting with a DOCTYPE included: the origin markers (and the
// "<html>" written for them) go again, and each span's text comes from the source.
std::string BackThroughTheLayout(const std::string& page) {
  const pq::MarkedHTML marked = pq::MakeEditHTML(page, "http://s/a b.htm", "http://s/a b.htm");
  const auto restored = pq::SpliceSpans(marked.html, marked.layout, [&](const pq::SpanPlace& s) {
    return std::optional<std::string>(page.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin));
  });
  return pq::StripMarkers(restored.html, restored.layout);
}

// Pages made to trouble the marker removal: the page generator's, with the program's own
// marker texts, SPAN closers and DOCTYPEs mixed in.
std::string HostilePage(std::mt19937& rng) {
  static const char* const kPieces[] = {
      "<SPAN ID=\"ZZZEDIT1\">", "<span id=\"zzzanchor2\">", "</SPAN>", "</span>", "</SPAN\n",
      "ZZZEDIT", "ZZZANCHOR7", "<!--OrigURL=\"x\"-->", "<!--FullPath=\"", "<!DOCTYPE html>",
      "<html>", "<HTML lang=en>", "<A HREF=\"p1.htm\"><SPAN CLASS=m>Item</A><BR>", "<a </SPAN\n",
      "<a href=x.htm>Home</SPAN more</p>", "<a title=\"</a></SPAN>\" href=y>t</a>", "-->"};
  std::string page;
  const int n = static_cast<int>(rng() % 8);
  for (int i = 0; i < n; ++i)
    page += (rng() % 2) ? pqtest::RandomPage(rng) : std::string(kPieces[rng() % std::size(kPieces)]);
  return page;
}

TEST(AddSpansProperty, EveryPageComesBackExactlyThroughTheLayout) {
  for (const auto& [name, page] : pqtest::FixturePages()) {
    EXPECT_EQ(BackThroughTheLayout(page), page) << name;
    EXPECT_EQ(BackThroughTheLayout("<!DOCTYPE html>\n" + page), "<!DOCTYPE html>\n" + page) << name;
  }
  std::mt19937 rng(2026);
  int failures = 0;
  for (int k = 0; k < 4000 && failures < 5; ++k) {
    const std::string page = k % 3 == 0 ? pqtest::RandomBytes(rng)
                             : k % 3 == 1 ? pqtest::RandomPage(rng) : HostilePage(rng);
    const std::string back = BackThroughTheLayout(page);
    if (back != page) {
      ++failures;
      ADD_FAILURE() << "page: " << page << "\nback: " << back;
    }
  }
}

// Where a page holds nothing that looks like a marker, reading the markers from the text finds
// exactly the ones the layout recorded: the text-only operations agree with the exact ones.
// (Link texts are left out: where a link's "</a>" hides in a broken tag the text reading takes
// it for the link's end, which the layout knows better.)
TEST(AddSpansProperty, ReadingMarkersFromTheTextAgreesWithTheLayout) {
  std::mt19937 rng(31);
  int checked = 0, failures = 0;
  for (int k = 0; k < 4000 && failures < 5; ++k) {
    // With an "<html>" of its own, the page gets none from the markers, which the text reading
    // could not find.
    const std::string page = "<html>" + (k % 2 ? pqtest::RandomPage(rng) : pqtest::RandomBytes(rng));
    if (CannotComeBack(page)) continue;
    ++checked;
    const pq::MarkedHTML marked = pq::MakeEditHTML(page, "u", "f");
    pq::SpanSnapshot doc;
    for (const auto& s : marked.layout.spans)
      if (s.number % 2) doc.elements[s.Id()] = {"new " + std::to_string(s.number), {}};
    const std::string exact = pq::PublishableHTML(marked.html, marked.layout, doc);
    const std::string fromText = pq::StripMarkers(pq::RestoreHTML(marked.html, doc));
    if (fromText != exact && ++failures)
      ADD_FAILURE() << "page: " << page << "\nexact: " << exact << "\ntext:  " << fromText;
  }
  EXPECT_GT(checked, 200);
}

TEST(AddSpansProperty, SameExceptNbspAcceptsOnlySpaceSubstitutions) {
  EXPECT_TRUE(SameExceptNbsp("a b ", "a&nbspb&nbsp;"));
  EXPECT_TRUE(SameExceptNbsp(" ;x", "&nbsp;x"));
  EXPECT_FALSE(SameExceptNbsp("ab", "a&nbspb"));
  EXPECT_FALSE(SameExceptNbsp("a b", "a  b"));
}

}  // namespace
