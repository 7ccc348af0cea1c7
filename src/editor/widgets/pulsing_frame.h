#pragma once
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// Four frame lines around the edit pane's page whose inset switches between 0 and 3 pixels on
// every tick of Timer1 (300 ms), so the user sees which pane is being edited.
class PulsingFrame {
 public:
  static constexpr int kTimer1Ms = 300;
  static constexpr int kInset = 3;
  // The space kept around the child for the lines.
  static constexpr int kMargin = kInset + 2;

  explicit PulsingFrame(GtkWidget* child);
  ~PulsingFrame();
  PulsingFrame(const PulsingFrame&) = delete;
  PulsingFrame& operator=(const PulsingFrame&) = delete;

  GtkWidget* Widget() const { return box_.get(); }
  int Inset() const { return inset_; }

 private:
  engine::GObjectPtr<GtkWidget> box_;
  engine::SourceId timer1_;
  int inset_ = 0;
  engine::SignalConnections signals_;
};

}  // namespace pq
