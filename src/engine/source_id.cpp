#include "engine/source_id.h"

namespace pq::engine {

void SourceId::StartTimeout(guint ms, GSourceFunc callback, gpointer data) {
  Start(g_timeout_source_new(ms), callback, data);
}

void SourceId::StartIdle(GSourceFunc callback, gpointer data) { Start(g_idle_source_new(), callback, data); }

void SourceId::Start(GSource* source, GSourceFunc callback, gpointer data) {
  Reset();
  g_source_set_callback(source, callback, data, nullptr);
  // The global default context, where GLib's plain timeout and idle calls put theirs.
  g_source_attach(source, nullptr);
  source_ = source;
}

void SourceId::Reset() {
  // Taken out first: destroying a source may run code that looks at this owner again.
  GSource* source = source_;
  source_ = nullptr;
  if (!source) return;
  if (!g_source_is_destroyed(source)) g_source_destroy(source);
  g_source_unref(source);
}

}  // namespace pq::engine
