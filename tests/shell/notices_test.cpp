#include "shell/notices.h"
#include "support/memory_settings.h"

#include <gtest/gtest.h>

#include <optional>

namespace pq {
namespace {

// A notice that records how it was offered and answers as told.
struct FakeNotice {
  NoticeReply reply;
  std::optional<bool> offeredTicked;
  NoticePrompt prompt() {
    return [this](bool ticked) {
      offeredTicked = ticked;
      return reply;
    };
  }
};

struct LinkCase {
  const char* stored;      // "HideMsg"/"LinkAmend" before
  bool yes, keepTicked;    // what the user does
  int answer;
  std::optional<bool> offeredTicked;
  const char* storedAfter;
};

TEST(AskLinkChange, AnswersFromEachSettingsValue) {
  const LinkCase cases[] = {
      {"Y", true, true, 0, std::nullopt, "Y"},  // switched off: no window
      {"", true, true, 1, true, "Y"},           // first time: box ticked
      {"", false, true, 2, true, "Y"},
      {"N", true, false, 1, false, "N"},        // box cleared once: offered clear
      {"N", false, true, 2, false, "Y"},
      {"maybe", true, false, 1, true, "N"},     // anything but "N" offers the box ticked
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    if (*c.stored) settings.SaveSetting("HideMsg", "LinkAmend", c.stored);
    FakeNotice notice{{c.yes, c.keepTicked, false}, std::nullopt};
    EXPECT_EQ(AskLinkChange(settings, notice.prompt()), c.answer) << "stored " << c.stored;
    EXPECT_EQ(notice.offeredTicked, c.offeredTicked) << "stored " << c.stored;
    EXPECT_EQ(settings.GetSetting("HideMsg", "LinkAmend"), c.storedAfter) << "stored " << c.stored;
  }
}

TEST(AskLinkChange, ClosedWithoutAButtonKeepsTheChangeAndStoresNothing) {
  MemorySettings settings;
  FakeNotice notice{{false, false, true}, std::nullopt};
  EXPECT_EQ(AskLinkChange(settings, notice.prompt()), 1);
  EXPECT_EQ(settings.GetSetting("HideMsg", "LinkAmend", "<none>"), "<none>");
}

TEST(ShowLayoutNotice, FirstTimeTickedThenNeverAgain) {
  MemorySettings settings;
  FakeNotice notice{{true, true, false}, std::nullopt};
  ShowLayoutNotice(settings, notice.prompt());
  EXPECT_EQ(notice.offeredTicked, std::optional<bool>(true));
  EXPECT_EQ(settings.GetSetting("HideMsg", "DifferentLayout"), "Y");
  notice.offeredTicked.reset();
  ShowLayoutNotice(settings, notice.prompt());
  EXPECT_FALSE(notice.offeredTicked) << "not shown again";
}

TEST(ShowLayoutNotice, ClearedBoxKeepsItComingWithTheBoxClear) {
  MemorySettings settings;
  FakeNotice notice{{true, false, false}, std::nullopt};
  ShowLayoutNotice(settings, notice.prompt());
  EXPECT_EQ(settings.GetSetting("HideMsg", "DifferentLayout"), "N");
  ShowLayoutNotice(settings, notice.prompt());
  EXPECT_EQ(notice.offeredTicked, std::optional<bool>(false));
}

}  // namespace
}  // namespace pq
