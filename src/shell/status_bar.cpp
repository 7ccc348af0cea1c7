#include "shell/status_bar.h"

namespace pq {

StatusBar::StatusBar() {
  bar_.Started = [this] {
    progressVisible_ = true;
    if (Changed) Changed();
  };
  bar_.Finished = [this] {
    progressVisible_ = false;
    if (Changed) Changed();
  };
}

void StatusBar::SetText(const std::string& statusText, int percentage, int maxPerc) {
  text_ = statusText;
  if (Changed) Changed();
  bar_.SetPercentage(percentage, maxPerc);
}

}  // namespace pq
