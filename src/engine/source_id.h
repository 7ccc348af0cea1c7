#pragma once
#include <glib.h>

namespace pq::engine {

// One timer or idle callback of an owner, removed when this goes, so a callback can never run
// after its owner has gone. Holds the source itself rather than its number: a callback that
// ended its source (G_SOURCE_REMOVE) leaves nothing to remove, and a number GLib has handed out
// again is never removed by mistake.
//
// A callback may Reset or restart its own SourceId; what it returns then no longer matters.
// Inside the callback the source still counts as active until it returns.
class SourceId {
 public:
  SourceId() = default;
  ~SourceId() { Reset(); }
  SourceId(const SourceId&) = delete;
  SourceId& operator=(const SourceId&) = delete;

  // Calls callback(data) every `ms` milliseconds until it returns G_SOURCE_REMOVE; a source
  // already held is removed first.
  void StartTimeout(guint ms, GSourceFunc callback, gpointer data);
  // Calls callback(data) when the main loop is idle, until it returns G_SOURCE_REMOVE.
  void StartIdle(GSourceFunc callback, gpointer data);
  // Removes the source if it is still attached.
  void Reset();
  bool Active() const { return source_ && !g_source_is_destroyed(source_); }

 private:
  void Start(GSource* source, GSourceFunc callback, gpointer data);

  GSource* source_ = nullptr;  // our own reference
};

}  // namespace pq::engine
