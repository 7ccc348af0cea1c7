#pragma once
#include <gtk/gtk.h>

#include <utility>

#include "engine/gobject_ptr.h"

namespace pq::engine {

// A top-level window this program made: when this goes, the window is destroyed (off the
// screen, its children let go) and our reference dropped. Declare it before the
// SignalConnections of its widgets, so their handlers are gone first.
class ToplevelPtr {
 public:
  ToplevelPtr() = default;
  // Takes a fresh window (GTK keeps top-level windows itself; we add our own reference).
  explicit ToplevelPtr(GtkWidget* fresh) : w_(GObjectPtr<GtkWidget>::Sink(fresh)) {}
  ~ToplevelPtr() { Reset(); }
  ToplevelPtr(ToplevelPtr&& o) noexcept : w_(std::move(o.w_)) {}
  ToplevelPtr& operator=(ToplevelPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      w_ = std::move(o.w_);
    }
    return *this;
  }

  GtkWidget* get() const { return w_.get(); }
  explicit operator bool() const { return static_cast<bool>(w_); }
  void Reset() {
    if (w_) gtk_widget_destroy(w_.get());
    w_ = GObjectPtr<GtkWidget>();
  }

 private:
  GObjectPtr<GtkWidget> w_;
};

}  // namespace pq::engine
