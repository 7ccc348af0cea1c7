#pragma once
#include <functional>

namespace pq {

// The progress bar of the browse pane's status bar, as plain logic. The widget drives it with
// two timers: CreepTick every 500 ms while CreepTimerOn, FinishTick every 100 ms while
// FinishTimerOn, and draws FilledVisible and FilledPercent.
class ProgressBar {
 public:
  static constexpr int kCreepIntervalMs = 500;
  static constexpr int kFinishIntervalMs = 100;
  static constexpr int kFinishTicks = 5;  // the full bar is reset on the tick after these

  std::function<void()> Finished;  // the full bar has been shown and reset
  std::function<void()> Started;   // the bar was hidden and is being set
  std::function<void()> Changed;   // something to draw or a timer to switch

  // Shows p per cent at once (over 100 shows 100) and lets the bar creep towards maxPerc.
  void SetPercentage(int p, int maxPerc);
  void CreepTick();
  void FinishTick();

  int ShownPercent() const { return shown_; }
  int TargetPercent() const { return target_; }
  int FinishTicks() const { return finishTicks_; }
  bool FilledVisible() const { return filledVisible_; }
  int FilledPercent() const { return filledPercent_; }
  bool CreepTimerOn() const { return creepOn_; }
  bool FinishTimerOn() const { return finishOn_; }

 private:
  int shown_ = 0;
  int target_ = 0;
  int finishTicks_ = 0;
  int filledPercent_ = 0;
  bool filledVisible_ = false;
  bool creepOn_ = false;
  bool finishOn_ = false;
};

}  // namespace pq
