#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pq {

// The page names (last path segment) of the documents that have completed in the edit pane: 100
// slots, "" marks a free one. When every slot is taken the oldest entry gives way.
class NavigatedPages {
 public:
  static constexpr int kSlots = 100;

  void RecordNavigated(std::string_view url);
  void ClearNavigated(std::string_view nameOrLocation);
  bool Contains(std::string_view nameOrLocation) const;
  // Lets the main loop run (through wait) until the page has completed or the time is up;
  // true when it completed.
  using Waiter = std::function<bool(const std::function<bool()>& done, std::chrono::milliseconds limit)>;
  bool WaitForNavigated(std::string_view nameOrLocation, const Waiter& wait,
                        std::chrono::milliseconds limit) const;

  // Slot i (0 to 99), for tests.
  const std::string& Slot(int i) const { return slots_.at(static_cast<std::size_t>(i)); }

 private:
  std::array<std::string, kSlots> slots_;
  std::array<std::uint64_t, kSlots> order_{};  // when each slot was filled
  std::uint64_t next_ = 1;
};

}  // namespace pq
