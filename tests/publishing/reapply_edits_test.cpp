#include "publishing/reapply_edits.h"

#include <gtest/gtest.h>

#include "pageprep/markers.h"
#include "publishing/publishable_page.h"

namespace {

const std::string kUrl = "http://127.0.0.1:8080/hours.htm";

// The page as the edit pane would hold it, untouched.
pq::PublishDocument Opened(const std::string& source) {
  pq::MarkedHTML marked = pq::MakeEditHTML(source, kUrl, kUrl);
  pq::PublishDocument d;
  d.page.edit.html = marked.html;
  d.page.edit.layout = marked.layout;
  d.page.source.text = source;
  d.live = pq::SpansAsWritten(marked.html, marked.layout);
  d.recorded = d.live;
  return d;
}

// The id of the edit span whose contents read `text`.
std::string SpanWith(const pq::PublishDocument& d, const std::string& text) {
  for (const auto& [id, e] : d.live.elements)
    if (e.innerHTML == text) return id;
  ADD_FAILURE() << "no span reads " << text;
  return "";
}

}  // namespace

// A colleague changed the opening hours while the user retyped the greeting and the address.
TEST(ReapplyEdits, EditsGoBackWhereTheirTextIsUnchangedAndTheRestIsLeft) {
  pq::PublishDocument mine =
      Opened("<html><body><p>Welcome</p><p>Open 9-5</p><p>Main St 1</p><p>Menu</p><p>Menu</p></body></html>");
  mine.live.elements[SpanWith(mine, "Welcome")].innerHTML = "Welcome <b>friends</b>";
  mine.live.elements[SpanWith(mine, "Open 9-5")].innerHTML = "Open 9-6";
  // The second of two spans with the same text.
  std::string second;
  for (const auto& place : mine.page.edit.layout.spans)
    if (mine.page.source.text.substr(place.sourceBegin, place.sourceEnd - place.sourceBegin) == "Menu")
      second = place.Id();
  mine.live.elements[second].innerHTML = "Menu &amp; prices";

  const auto edits = pq::CarriedEdits({mine});
  ASSERT_EQ(edits.size(), 3u);

  const pq::PublishDocument theirs = Opened(
      "<html><body><p>News!</p><p>Welcome</p><p>Open 8-5</p><p>Main St 1</p><p>Menu</p><p>Menu</p></body></html>");
  const auto plan = pq::PlanReapply(edits, {theirs});
  ASSERT_EQ(plan.changes.size(), 2u);
  EXPECT_EQ(plan.changes[0].id, SpanWith(theirs, "Welcome"));
  EXPECT_EQ(plan.changes[0].html, "Welcome <b>friends</b>");
  // The same one of the two equal spans, not the first.
  std::vector<std::string> menus;
  for (const auto& place : theirs.page.edit.layout.spans)
    if (theirs.page.source.text.substr(place.sourceBegin, place.sourceEnd - place.sourceBegin) == "Menu")
      menus.push_back(place.Id());
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(plan.changes[1].id, menus[1]);
  // The hours changed on the website: the user's version is left, never put over theirs.
  ASSERT_EQ(plan.left.size(), 1u);
  EXPECT_EQ(plan.left[0].text, "Open 9-6");
  EXPECT_EQ(pq::EditsAsText(edits), "Welcome friends\n\nOpen 9-6\n\nMenu & prices");
}

TEST(ReapplyEdits, AmbiguousOrMissingSpansAreLeft) {
  pq::PublishDocument mine = Opened("<html><body><p>Menu</p><p>Prices</p></body></html>");
  mine.live.elements[SpanWith(mine, "Menu")].innerHTML = "Our menu";
  const auto edits = pq::CarriedEdits({mine});
  ASSERT_EQ(edits.size(), 1u);
  const struct {
    const char* page;
    std::size_t applied;
  } cases[] = {
      {"<html><body><p>Menu</p><p>Menu</p></body></html>", 0},  // cannot tell which
      {"<html><body><p>Prices</p></body></html>", 0},            // gone
      {"<html><body><p>Prices</p><p>Menu</p></body></html>", 1}, // moved: still one
  };
  for (const auto& c : cases) {
    const auto plan = pq::PlanReapply(edits, {Opened(c.page)});
    EXPECT_EQ(plan.changes.size(), c.applied) << c.page;
    EXPECT_EQ(plan.left.size(), 1u - c.applied) << c.page;
  }
  // Another document is never written to.
  pq::PublishDocument other = Opened("<html><body><p>Menu</p></body></html>");
  other.page.edit.html = pq::MakeEditHTML(other.page.source.text, "http://127.0.0.1:8080/other.htm",
                                    "http://127.0.0.1:8080/other.htm").html;
  EXPECT_TRUE(pq::PlanReapply(edits, {other}).changes.empty());
}

TEST(ReapplyEdits, AnUntouchedPageCarriesNothing) {
  EXPECT_TRUE(pq::CarriedEdits({Opened("<html><body><p>Menu</p></body></html>")}).empty());
}
