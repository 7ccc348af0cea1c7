#pragma once
#include <chrono>
#include <functional>

namespace pq::engine {

// Runs the default GLib main context until the condition holds or the timeout passes, so the
// window stays live while waiting. Returns whether the condition held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace pq::engine
