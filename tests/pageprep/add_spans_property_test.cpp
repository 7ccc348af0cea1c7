// Removing the marker spans again gives the page back, apart from a space at either end of
// an edit span that became a non-breaking space.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "add_spans_pages.h"
#include "pageprep/add_spans.h"
#include "pageprep/restore_html.h"
#include "pageprep/text_util.h"

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

TEST(AddSpansProperty, SameExceptNbspAcceptsOnlySpaceSubstitutions) {
  EXPECT_TRUE(SameExceptNbsp("a b ", "a&nbspb&nbsp;"));
  EXPECT_TRUE(SameExceptNbsp(" ;x", "&nbsp;x"));
  EXPECT_FALSE(SameExceptNbsp("ab", "a&nbspb"));
  EXPECT_FALSE(SameExceptNbsp("a b", "a  b"));
}

}  // namespace
