#pragma once
#include "engine/gobject_ptr.h"
#include "shell/status_bar.h"
#include "shell/widgets/progress_bar_widget.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The status line at the bottom of the browse pane: the text across the whole bar, the
// progress bar over its right end (4 pixels from the top, 8 pixels less high than the bar).
class StatusBarWidget {
 public:
  static constexpr int kHeight = 24;

  explicit StatusBarWidget(StatusBar& status);
  ~StatusBarWidget();
  StatusBarWidget(const StatusBarWidget&) = delete;
  StatusBarWidget& operator=(const StatusBarWidget&) = delete;

  GtkWidget* Widget() const;

 private:
  void Update();

  StatusBar& status_;
  ProgressBarWidget progress_;
  engine::GObjectPtr<GtkWidget> overlay_;
  GtkWidget* label_ = nullptr;
};

}  // namespace pq
