#pragma once
#include <chrono>
#include <functional>

namespace pq::engine {

// Runs the default GLib main context until the condition holds or the timeout passes, so the
// window stays live while waiting. Returns whether the condition held; a wait that ran out is
// logged (G_MESSAGES_DEBUG=Pagequill), with `what` was awaited when given.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               const char* what = nullptr);

}  // namespace pq::engine
