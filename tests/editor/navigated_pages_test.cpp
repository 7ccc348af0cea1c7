#include "editor/navigated_pages.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(NavigatedPages, RecordClearAndContainByPageName) {
  pq::NavigatedPages pages;
  pages.RecordNavigated("file:///tmp/pagequill-1/frmpage1.htm");
  pages.RecordNavigated("file:///tmp/pagequill-1/frmpage1.htm");  // duplicates are not looked for
  pages.RecordNavigated("http://s/docs/");
  EXPECT_EQ(pages.Slot(0), "frmpage1.htm");
  EXPECT_EQ(pages.Slot(1), "frmpage1.htm");
  EXPECT_EQ(pages.Slot(2), "docs");
  EXPECT_TRUE(pages.Contains("/other/folder/frmpage1.htm"));
  EXPECT_TRUE(pages.Contains("C:\\temp\\frmpage1.htm"));
  EXPECT_FALSE(pages.Contains("frmpage2.htm"));
  pages.ClearNavigated("/tmp/frmpage1.htm");
  EXPECT_FALSE(pages.Contains("frmpage1.htm"));
  EXPECT_EQ(pages.Slot(0), "");
  // The lowest free slot is taken first.
  pages.RecordNavigated("x/frmpage3.htm");
  EXPECT_EQ(pages.Slot(0), "frmpage3.htm");
  EXPECT_EQ(pages.Slot(1), "");
}

TEST(NavigatedPages, WhenFullTheOldestGivesWay) {
  pq::NavigatedPages pages;
  for (int i = 0; i < pq::NavigatedPages::kSlots; ++i) pages.RecordNavigated("p" + std::to_string(i) + ".htm");
  pages.ClearNavigated("p5.htm");
  pages.RecordNavigated("new1.htm");  // the free slot first
  EXPECT_EQ(pages.Slot(5), "new1.htm");
  pages.RecordNavigated("new2.htm");  // then the oldest
  EXPECT_EQ(pages.Slot(0), "new2.htm");
  pages.RecordNavigated("new3.htm");
  EXPECT_EQ(pages.Slot(1), "new3.htm");
  EXPECT_TRUE(pages.Contains("new1.htm"));
  EXPECT_FALSE(pages.Contains("p0.htm"));
  EXPECT_TRUE(pages.Contains("p99.htm"));
}

TEST(NavigatedPages, WaitForNavigatedIsBounded) {
  pq::NavigatedPages pages;
  int waits = 0;
  std::chrono::milliseconds asked{0};
  // A waiter that lets "events" run: the page completes during the wait.
  auto completes = [&](const std::function<bool()>& done, std::chrono::milliseconds limit) {
    ++waits;
    asked = limit;
    pages.RecordNavigated("/t/frmpage2.htm");
    return done();
  };
  EXPECT_TRUE(pages.WaitForNavigated("/t/frmpage2.htm", completes, 500ms));
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(asked, 500ms);
  // Already there: no wait at all.
  EXPECT_TRUE(pages.WaitForNavigated("frmpage2.htm", completes, 500ms));
  EXPECT_EQ(waits, 1);
  // Never completes: the waiter's verdict (time is up) is the answer.
  auto never = [](const std::function<bool()>& done, std::chrono::milliseconds) { return done(); };
  EXPECT_FALSE(pages.WaitForNavigated("frmpage9.htm", never, 1ms));
}

}  // namespace
