#include "shell/progress_bar.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/status_bar.h"

namespace {

// Records the bar's events in order.
struct Recorder {
  explicit Recorder(pq::ProgressBar& bar) {
    bar.Started = [this] { log += "started;"; };
    bar.Finished = [this] { log += "finished;"; };
  }
  std::string log;
};

TEST(ProgressBarTest, CreepsOnePercentPerTickToTheTargetAndStays) {
  pq::ProgressBar bar;
  Recorder events(bar);
  bar.SetPercentage(10, 50);
  EXPECT_EQ(events.log, "started;");
  EXPECT_TRUE(bar.FilledVisible());
  EXPECT_TRUE(bar.CreepTimerOn());
  for (int tick = 1; tick <= 40; ++tick) bar.CreepTick();
  EXPECT_EQ(bar.ShownPercent(), 50);
  for (int tick = 1; tick <= 10; ++tick) bar.CreepTick();
  EXPECT_EQ(bar.ShownPercent(), 50);
  EXPECT_EQ(bar.FilledPercent(), 50);
  EXPECT_EQ(events.log, "started;");  // creeping while visible raises nothing
}

TEST(ProgressBarTest, OverOneHundredIsShownAsOneHundred) {
  pq::ProgressBar bar;
  bar.SetPercentage(150, 150);
  EXPECT_EQ(bar.ShownPercent(), 100);
  EXPECT_EQ(bar.FilledPercent(), 100);
  EXPECT_TRUE(bar.FinishTimerOn());
  EXPECT_FALSE(bar.CreepTimerOn());
}

TEST(ProgressBarTest, TheFullBarIsResetOnTheSixthFinishTick) {
  pq::ProgressBar bar;
  Recorder events(bar);
  bar.SetPercentage(100, 100);
  for (int tick = 1; tick <= pq::ProgressBar::kFinishTicks; ++tick) {
    bar.FinishTick();
    EXPECT_EQ(bar.ShownPercent(), 100) << "tick " << tick;
  }
  bar.FinishTick();
  EXPECT_EQ(bar.ShownPercent(), 0);
  EXPECT_FALSE(bar.FilledVisible());
  EXPECT_FALSE(bar.FinishTimerOn());
  EXPECT_FALSE(bar.CreepTimerOn());
  EXPECT_EQ(events.log, "started;finished;");
}

TEST(ProgressBarTest, TwoHundredsInARowGiveOneReset) {
  pq::ProgressBar bar;
  Recorder events(bar);
  bar.SetPercentage(100, 100);
  bar.FinishTick();
  bar.FinishTick();
  bar.SetPercentage(100, 100);
  for (int tick = 0; tick < 20; ++tick) bar.FinishTick();
  EXPECT_EQ(events.log, "started;finished;");
  EXPECT_EQ(bar.ShownPercent(), 0);
}

TEST(ProgressBarTest, ALowerPercentageDuringTheFinishDelayCancelsIt) {
  pq::ProgressBar bar;
  Recorder events(bar);
  bar.SetPercentage(100, 100);
  bar.FinishTick();
  bar.FinishTick();
  bar.SetPercentage(10, 50);
  EXPECT_EQ(bar.FinishTicks(), 0);
  EXPECT_FALSE(bar.FinishTimerOn());
  for (int tick = 0; tick < 10; ++tick) bar.FinishTick();
  EXPECT_EQ(bar.ShownPercent(), 10);
  EXPECT_EQ(events.log, "started;");
}

TEST(ProgressBarTest, ZeroHidesTheFilledPartWithoutFinishing) {
  pq::ProgressBar bar;
  Recorder events(bar);
  bar.SetPercentage(30, 60);
  bar.SetPercentage(0, 0);
  EXPECT_FALSE(bar.FilledVisible());
  EXPECT_FALSE(bar.CreepTimerOn());
  EXPECT_EQ(events.log, "started;");
}

TEST(StatusBarTest, ShowsTheTextAndTheBarUntilTheBarHasFinished) {
  pq::StatusBar status;
  status.SetText("Loading page", 10, 50);
  EXPECT_EQ(status.Text(), "Loading page");
  EXPECT_TRUE(status.ProgressVisible());
  EXPECT_EQ(status.Progress().TargetPercent(), 50);
  status.SetText("Done", 100, 100);
  for (int tick = 0; tick <= pq::ProgressBar::kFinishTicks; ++tick) status.Progress().FinishTick();
  EXPECT_FALSE(status.ProgressVisible());
  EXPECT_EQ(status.Text(), "Done");
}

}  // namespace
