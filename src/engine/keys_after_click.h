#pragma once
#include <gtk/gtk.h>

#include <deque>
#include <memory>

#include "engine/click_key_order.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"

namespace pq::engine {

// Holds the key events of a web view's widget while a button press sent before them has not
// reached the page (see ClickKeyOrder), then hands them to the widget in their order.
class KeysAfterClick {
 public:
  explicit KeysAfterClick(GtkWidget* view);
  ~KeysAfterClick();
  KeysAfterClick(const KeysAfterClick&) = delete;
  KeysAfterClick& operator=(const KeysAfterClick&) = delete;

  // The page saw a press: the keys behind it may go.
  void PageSawPress();

 private:
  struct EventFree {
    void operator()(GdkEvent* e) const { gdk_event_free(e); }
  };
  static gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnLimit(gpointer self);
  void ReleaseIfDue();
  void ArmLimit();

  GtkWidget* view_;
  ClickKeyOrder order_;
  std::deque<std::unique_ptr<GdkEvent, EventFree>> held_;
  const GdkEvent* replaying_ = nullptr;  // the held event being handed to the widget
  SourceId limitSource_;
  SignalConnections signals_;
};

}  // namespace pq::engine
