#include "shell/progress_bar.h"

#include <algorithm>

namespace pq {

void ProgressBar::SetPercentage(int p, int maxPerc) {
  target_ = maxPerc;
  if (!filledVisible_ && Started) Started();
  const int shown = std::clamp(p, 0, 100);
  filledVisible_ = shown != 0;
  creepOn_ = shown != 0;
  filledPercent_ = shown;
  shown_ = shown;
  if (shown != 100) {
    finishTicks_ = 0;
    finishOn_ = false;
  } else {
    finishOn_ = true;
    creepOn_ = false;
  }
  if (Changed) Changed();
}

void ProgressBar::CreepTick() {
  if (shown_ < target_) SetPercentage(shown_ + 1, target_);
}

void ProgressBar::FinishTick() {
  if (!finishOn_) return;
  if (++finishTicks_ <= kFinishTicks) return;
  const bool full = shown_ == 100;
  finishTicks_ = 0;
  finishOn_ = false;
  if (full) {
    SetPercentage(0, 0);
    if (Finished) Finished();
  }
  if (Changed) Changed();
}

}  // namespace pq
