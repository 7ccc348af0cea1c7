#pragma once
#include <functional>
#include <string>

#include "shell/progress_bar.h"

namespace pq {

// The browse pane's status line: a text and the progress bar beside it, which shows itself
// when it starts and hides itself when it has finished.
class StatusBar {
 public:
  StatusBar();
  StatusBar(const StatusBar&) = delete;
  StatusBar& operator=(const StatusBar&) = delete;

  void SetText(const std::string& statusText, int percentage, int maxPerc);

  const std::string& Text() const { return text_; }
  bool ProgressVisible() const { return progressVisible_; }
  ProgressBar& Progress() { return bar_; }
  const ProgressBar& Progress() const { return bar_; }

  std::function<void()> Changed;  // the text or the bar's visibility changed

 private:
  std::string text_;
  bool progressVisible_ = false;
  ProgressBar bar_;
};

}  // namespace pq
