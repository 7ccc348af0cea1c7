#pragma once

namespace pq {

// Browser commands whose availability the web view's CommandStateChange reports.
inline constexpr int kCommandForward = 1;
inline constexpr int kCommandBack = 2;

}  // namespace pq
