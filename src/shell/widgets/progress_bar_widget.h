#pragma once
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "shell/progress_bar.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// Draws a ProgressBar (the trough and the filled part) and runs its two timers.
class ProgressBarWidget {
 public:
  explicit ProgressBarWidget(ProgressBar& bar);
  ~ProgressBarWidget();
  ProgressBarWidget(const ProgressBarWidget&) = delete;
  ProgressBarWidget& operator=(const ProgressBarWidget&) = delete;

  GtkWidget* Widget() const;
  // Starts or stops the timers to match the bar and redraws it.
  void Update();

 private:
  static int OnCreep(void* self);
  static int OnFinish(void* self);

  ProgressBar& bar_;
  engine::GObjectPtr<GtkWidget> area_;
  engine::SourceId creepTimer_;
  engine::SourceId finishTimer_;
  engine::SignalConnections signals_;
};

}  // namespace pq
