#include "engine/click_key_order.h"

#include <gtest/gtest.h>

namespace {

using pq::engine::ClickKeyOrder;
using namespace std::chrono_literals;

const ClickKeyOrder::Clock::time_point t0{};

TEST(ClickKeyOrder, KeysWaitForEveryPressSentBeforeThemUntilThePageSeesIt) {
  ClickKeyOrder order;
  EXPECT_FALSE(order.MustWait(t0, false));  // no click: keys go at once
  order.Pressed(t0);
  order.Pressed(t0 + 5ms);  // a second click before the page saw the first
  EXPECT_TRUE(order.MustWait(t0 + 10ms, false));
  order.PageSawPress();
  EXPECT_FALSE(order.MayRelease(t0 + 20ms));
  order.PageSawPress();
  EXPECT_TRUE(order.MayRelease(t0 + 20ms));
  // Keys already waiting keep the later ones behind them, even with nothing unseen.
  EXPECT_TRUE(order.MustWait(t0 + 20ms, true));
  EXPECT_FALSE(order.MustWait(t0 + 20ms, false));
  // A report with no press sent (a press before this view counted) holds nothing later.
  order.PageSawPress();
  order.Pressed(t0 + 30ms);
  EXPECT_TRUE(order.MustWait(t0 + 31ms, false));
}

TEST(ClickKeyOrder, APressThePageNeverReportsHoldsKeysOnlyUntilTheLimit) {
  ClickKeyOrder order;
  order.Pressed(t0);
  order.Pressed(t0 + 300ms);
  ASSERT_TRUE(order.Deadline());
  EXPECT_EQ(*order.Deadline(), t0 + ClickKeyOrder::kLimit);
  EXPECT_TRUE(order.MustWait(t0 + ClickKeyOrder::kLimit - 1ms, false));
  // The first press expires; the second still holds until its own limit.
  EXPECT_FALSE(order.MayRelease(t0 + ClickKeyOrder::kLimit));
  EXPECT_EQ(*order.Deadline(), t0 + 300ms + ClickKeyOrder::kLimit);
  EXPECT_TRUE(order.MayRelease(t0 + 300ms + ClickKeyOrder::kLimit));
  EXPECT_FALSE(order.Deadline());
}

}  // namespace
