#include "editor/undo_history.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace pq {
namespace {

// The page's spans by id, and the history's events as they were raised.
struct FakePage : SpanStore {
  std::map<std::string, SpanContents> spans;
  int reads = 0, writes = 0;
  std::optional<SpanContents> ReadSpan(const SpanRef& span) override {
    ++reads;
    auto it = spans.find(span.id);
    if (it == spans.end()) return std::nullopt;
    return it->second;
  }
  bool WriteSpan(const SpanRef& span, const std::string& html) override {
    ++writes;
    auto it = spans.find(span.id);
    if (it == spans.end()) return false;
    it->second = {html, html};
    return true;
  }
  const std::string& Html(const std::string& id) { return spans[id].html; }
};

SpanRef Ref(std::string id) { return {{{}, 0}, std::move(id)}; }

class UndoHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    history.UndoChange = [this](bool a) { events.push_back(a ? "undo+" : "undo-"); };
    history.RedoChange = [this](bool a) { events.push_back(a ? "redo+" : "redo-"); };
  }
  // A visit of a span that changes it: the entry holds the HTML from before.
  void Visit(const std::string& id, const std::string& newHtml) {
    history.AddUndo(Ref(id), page.spans[id].html);
    page.spans[id] = {newHtml, newHtml};
  }
  UndoHistory history;
  FakePage page;
  std::vector<std::string> events;
};

TEST_F(UndoHistoryTest, ElevenVisitsKeepTheLastTen) {
  for (int i = 1; i <= 11; ++i) Visit("ZZZEDIT" + std::to_string(i), "changed");
  EXPECT_EQ(history.UndoCount(), 10);
  EXPECT_EQ(history.UndoEntries().front().span.id, "ZZZEDIT2");
  EXPECT_EQ(events, std::vector<std::string>{"undo+"});  // raised once, on the first entry
  for (int i = 0; i < 10; ++i) history.UndoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT1"), "changed");  // beyond reach
  EXPECT_EQ(page.Html("ZZZEDIT2"), "");
  EXPECT_EQ(history.RedoCount(), 10);
}

TEST_F(UndoHistoryTest, TwoVisitsOfOneSpanUndoneInOrderAndRedone) {
  page.spans["ZZZEDIT1"] = {"v0", "v0"};
  page.spans["ZZZEDIT2"] = {"w0", "w0"};
  Visit("ZZZEDIT1", "v1");
  Visit("ZZZEDIT2", "w1");
  Visit("ZZZEDIT1", "v2");
  ASSERT_TRUE(history.UndoMe(page));
  EXPECT_EQ(page.Html("ZZZEDIT1"), "v1");
  history.UndoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT2"), "w0");
  auto written = history.UndoMe(page);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->span.id, "ZZZEDIT1");
  EXPECT_EQ(page.Html("ZZZEDIT1"), "v0");
  EXPECT_EQ(history.RedoCount(), 3);

  history.RedoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT1"), "v1");
  history.RedoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT2"), "w1");
  history.RedoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT1"), "v2");
  // Each redo can be undone again.
  EXPECT_EQ(history.UndoCount(), 3);
  history.UndoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT1"), "v1");
  EXPECT_EQ(events, (std::vector<std::string>{"undo+", "redo+", "undo-", "undo+", "redo-", "redo+"}));
}

TEST_F(UndoHistoryTest, RedoIsKeptAfterANewChange) {
  page.spans["ZZZEDIT1"] = {"a", "a"};
  page.spans["ZZZEDIT2"] = {"b", "b"};
  Visit("ZZZEDIT1", "a1");
  history.UndoMe(page);
  Visit("ZZZEDIT2", "b1");
  EXPECT_EQ(history.RedoCount(), 1);
  history.RedoMe(page);
  EXPECT_EQ(page.Html("ZZZEDIT1"), "a1");
  EXPECT_EQ(page.Html("ZZZEDIT2"), "b1");
}

TEST_F(UndoHistoryTest, AnEmptiedAnchorSpanIsRestoredWithoutARedoEntry) {
  page.spans["ZZZANCHOR1"] = {"<a href=\"/\">Home</a>", "Home"};
  Visit("ZZZANCHOR1", "<a href=\"/\"><br></a>");
  page.spans["ZZZANCHOR1"].text = " \n";
  history.UndoMe(page);
  EXPECT_EQ(page.Html("ZZZANCHOR1"), "<a href=\"/\">Home</a>");
  EXPECT_EQ(history.RedoCount(), 0);
  // An anchor span that still has text gets its redo entry like any span.
  Visit("ZZZANCHOR1", "<a href=\"/\">Start</a>");
  history.UndoMe(page);
  EXPECT_EQ(history.RedoCount(), 1);
}

TEST_F(UndoHistoryTest, EmptyHistoriesChangeNothingButSayTheyAreEmpty) {
  EXPECT_FALSE(history.UndoMe(page));
  EXPECT_FALSE(history.RedoMe(page));
  EXPECT_EQ(events, (std::vector<std::string>{"undo-", "redo-"}));
  EXPECT_EQ(page.reads + page.writes, 0);
}

TEST_F(UndoHistoryTest, ARedoOntoAFullUndoHistoryDropsTheOldest) {
  for (int i = 1; i <= 10; ++i) Visit("ZZZEDIT" + std::to_string(i), "x");
  history.UndoMe(page);
  Visit("ZZZEDIT11", "y");  // ten again
  history.RedoMe(page);
  EXPECT_EQ(history.UndoCount(), 10);
  EXPECT_EQ(history.UndoEntries().front().span.id, "ZZZEDIT2");
  EXPECT_EQ(history.UndoEntries().back().span.id, "ZZZEDIT10");
}

TEST_F(UndoHistoryTest, EntriesOfAVanishedSpanAreDroppedAndClearEmptiesBoth) {
  Visit("ZZZEDIT1", "a");
  Visit("ZZZEDIT2", "b");
  page.spans.erase("ZZZEDIT2");
  EXPECT_FALSE(history.UndoMe(page));
  EXPECT_EQ(history.UndoCount(), 1);
  EXPECT_EQ(history.RedoCount(), 0);
  history.UndoMe(page);
  events.clear();
  history.Clear();
  EXPECT_EQ(history.UndoCount() + history.RedoCount(), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"undo-", "redo-"}));
}

}  // namespace
}  // namespace pq
