#include <gtest/gtest.h>

#include "core/settings.h"
#include "shell/address_history.h"
#include "shell/web_input_box_state.h"
#include "support/memory_settings.h"

namespace pq {
namespace {

// A history whose slots 1..n hold "http://site<n>.example/".
class HistoryTest : public ::testing::Test {
 protected:
  void Fill(int n) {
    for (int i = 1; i <= n; ++i)
      settings.SaveSetting("History", "Num" + std::to_string(i), Site(i));
    history.LoadHistory(settings);
  }
  static std::string Site(int i) { return "http://site" + std::to_string(i) + ".example/"; }
  std::string Stored(int slot) const {
    return settings.GetSetting("History", "Num" + std::to_string(slot), "<missing>");
  }

  MemorySettings settings;
  TypedAddressHistory history;
};

TEST_F(HistoryTest, LoadReadsTwentySlotsAndMissingKeysAreEmpty) {
  Fill(3);
  EXPECT_EQ(history.Slots()[0], Site(1));
  EXPECT_EQ(history.Slots()[2], Site(3));
  EXPECT_EQ(history.Slots()[3], "");
  EXPECT_EQ(history.Entries().size(), 3u);
}

TEST_F(HistoryTest, VisitingSlotSevenMovesItToTheTop) {
  Fill(20);
  EXPECT_TRUE(history.AddToHistory(Site(7), "", settings));
  EXPECT_EQ(history.Slots()[0], Site(7));
  for (int slot = 2; slot <= 7; ++slot) EXPECT_EQ(history.Slots()[slot - 1], Site(slot - 1));
  for (int slot = 8; slot <= 20; ++slot) EXPECT_EQ(history.Slots()[slot - 1], Site(slot));
  EXPECT_EQ(Stored(1), Site(7));
  EXPECT_EQ(Stored(7), Site(6));
}

TEST_F(HistoryTest, NewAddressWithAFullHistoryDropsTheOldest) {
  Fill(20);
  history.AddToHistory("http://new.example/", "", settings);
  EXPECT_EQ(history.Slots()[0], "http://new.example/");
  EXPECT_EQ(history.Slots()[19], Site(19));
  EXPECT_EQ(Stored(20), Site(19));
  EXPECT_EQ(history.Entries().size(), 20u);
}

TEST_F(HistoryTest, StartPageNeverEnters) {
  Fill(2);
  EXPECT_FALSE(history.AddToHistory("HTTP://Start.example/", "http://start.example/", settings));
  EXPECT_EQ(history.Slots()[0], Site(1));
  EXPECT_EQ(Stored(3), "<missing>") << "nothing saved";
}

TEST_F(HistoryTest, LetterCaseFollowsTheNewestVisitExceptInSlotOne) {
  Fill(3);
  history.AddToHistory("HTTP://SITE3.EXAMPLE/", "", settings);
  EXPECT_EQ(history.Slots()[0], "HTTP://SITE3.EXAMPLE/");
  EXPECT_EQ(history.Entries().size(), 3u) << "same entry, not a new one";
  history.AddToHistory("http://site3.example/", "", settings);
  EXPECT_EQ(history.Slots()[0], "HTTP://SITE3.EXAMPLE/") << "slot 1 keeps its letter case";
  EXPECT_EQ(Stored(1), "HTTP://SITE3.EXAMPLE/");
}

TEST_F(HistoryTest, TheLastOfTwoMatchingSlotsCounts) {
  settings.SaveSetting("History", "Num1", "http://a.example/");
  settings.SaveSetting("History", "Num2", "http://dup.example/");
  settings.SaveSetting("History", "Num3", "http://b.example/");
  settings.SaveSetting("History", "Num4", "HTTP://DUP.EXAMPLE/");
  history.LoadHistory(settings);
  history.AddToHistory("http://Dup.example/", "", settings);
  const std::vector<std::string> expected{"http://Dup.example/", "http://a.example/",
                                          "http://dup.example/", "http://b.example/"};
  EXPECT_EQ(history.Entries(), expected);
}

TEST(RefreshList, ShortestFirstAndEqualLengthsKeepHistoryOrder) {
  HistorySlots h;
  h[0] = "http://bbbb.example/page.htm";
  h[1] = "http://bbbb.example/";
  h[2] = "http://cc.example/";
  h[3] = "http://dd.example/";
  const HistorySlots s = RefreshList(h);
  EXPECT_EQ(s[0], "http://cc.example/");
  EXPECT_EQ(s[1], "http://dd.example/");
  EXPECT_EQ(s[2], "http://bbbb.example/");
  EXPECT_EQ(s[3], "http://bbbb.example/page.htm");
  EXPECT_EQ(s[4], "");
}

TEST(RefreshList, SortingStopsAtTheFirstEmptySlot) {
  HistorySlots h;
  h[0] = "http://long.example/";
  h[1] = "http://a.b/";
  h[3] = "x";  // after a gap: left where it is
  const HistorySlots s = RefreshList(h);
  EXPECT_EQ(s[0], "http://a.b/");
  EXPECT_EQ(s[1], "http://long.example/");
  EXPECT_EQ(s[2], "");
  EXPECT_EQ(s[3], "x");
}

class SuggestionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HistorySlots h;
    h[0] = "http://www.example.com/about.htm";
    h[1] = "http://www.example.com/";
    h[2] = "www.other.org";
    sorted = RefreshList(h);
  }
  HistorySlots sorted;
};

TEST_F(SuggestionTest, HostLettersWithoutSchemeOfferBothShorterFirst) {
  const auto s = SuggestionsFor("www.ex", sorted);
  const std::vector<std::string> expected{"http://www.example.com/",
                                          "http://www.example.com/about.htm"};
  EXPECT_EQ(s.matches, expected);
  EXPECT_EQ(s.suggestion, "http://www.example.com/");
  EXPECT_EQ(SuggestionsFor("www.o", sorted).suggestion, "www.other.org");
}

TEST_F(SuggestionTest, ExactTextIsNotOffered) {
  const auto s = SuggestionsFor("http://www.example.com/", sorted);
  EXPECT_EQ(s.matches, std::vector<std::string>{"http://www.example.com/about.htm"});
  EXPECT_TRUE(SuggestionsFor("www.other.org", sorted).matches.empty());
}

TEST_F(SuggestionTest, LetterCaseCountsIncludingTheScheme) {
  EXPECT_TRUE(SuggestionsFor("Http://www", sorted).matches.empty());
  EXPECT_TRUE(SuggestionsFor("WWW.ex", sorted).matches.empty());
  EXPECT_EQ(SuggestionsFor("http://www", sorted).matches.size(), 2u);
  EXPECT_TRUE(SuggestionsFor("", sorted).matches.empty());
}

TEST_F(SuggestionTest, TypingOpensRefillsAndClosesTheList) {
  WebInputBoxState box;
  box.sortedList = sorted;
  auto r = box.TextChanged("www.ex");
  EXPECT_TRUE(r.open);
  EXPECT_EQ(r.items.size(), 2u);
  EXPECT_EQ(box.suggestion, "http://www.example.com/");
  r = box.TextChanged("www.example.com/a");
  EXPECT_TRUE(r.closeFirst) << "fewer matches than before";
  EXPECT_TRUE(r.open);
  r = box.TextChanged("www.zzz");
  EXPECT_FALSE(r.open);
  EXPECT_EQ(box.suggestion, "");
  // A text set by the program does not search, and only the next change is skipped.
  box.settingText = true;
  r = box.TextChanged("www.ex");
  EXPECT_FALSE(r.open);
  EXPECT_FALSE(r.refill);
  EXPECT_FALSE(box.settingText);
  EXPECT_TRUE(box.TextChanged("www.exa").open);
}

}  // namespace
}  // namespace pq
