#include "engine/wait_until.h"

#include <glib.h>

namespace pq::engine {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A periodic wake-up keeps a blocking iteration from sleeping past the deadline.
  const guint tick = g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = condition();
  while (!held && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    held = condition();
  }
  g_source_remove(tick);
  if (!held) g_debug("a wait of %lld ms ran out", static_cast<long long>(timeout.count()));
  return held;
}

}  // namespace pq::engine
