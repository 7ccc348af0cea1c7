#pragma once
#include "skin/geometry.h"

namespace pq::skin {

// Remembers where the window was before it was made to fill the work area, so that restoring
// returns it to exactly that rectangle.
class MaximizeFrm {
 public:
  explicit MaximizeFrm(const Rect& designRect = {80, 60, 900, 640}) : normal_(designRect) {}

  // The rectangle to give the window: the work area; `current` is remembered.
  Rect MaximiseWindow(const Rect& current, const Rect& workArea) {
    normal_ = current;
    return workArea;
  }
  // The rectangle to give the window back.
  Rect RestoreWindow() const { return normal_; }
  const Rect& NormalRect() const { return normal_; }

 private:
  Rect normal_;
};

}  // namespace pq::skin
