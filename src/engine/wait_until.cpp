#include "engine/wait_until.h"

#include <glib.h>

#include "engine/source_id.h"

namespace pq::engine {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout, const char* what) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A periodic wake-up keeps a blocking iteration from sleeping past the deadline.
  SourceId tick;
  tick.StartTimeout(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = condition();
  while (!held && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    held = condition();
  }
  tick.Reset();
  if (!held && what)
    g_debug("a wait of %lld ms for %s ran out", static_cast<long long>(timeout.count()), what);
  else if (!held)
    g_debug("a wait of %lld ms ran out", static_cast<long long>(timeout.count()));
  return held;
}

}  // namespace pq::engine
