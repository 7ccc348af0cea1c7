#pragma once
#include <array>
#include <string>
#include <string_view>

namespace pq {

// The names (last path segments) of the pages a preview window has reported as loaded and
// not yet waited for. When all slots are taken the oldest report gives way.
class LoadedPages {
 public:
  static constexpr std::size_t kSlots = 100;
  // Forgets the name before a navigation, so that only a fresh load counts.
  void SetupWait(std::string_view nameOrUrl);
  // A navigate-complete report.
  void Loaded(std::string_view url);
  bool WasLoaded(std::string_view nameOrUrl) const;
  void Clear();

 private:
  std::array<std::string, kSlots> slots_;
  std::size_t oldest_ = 0;
};

}  // namespace pq
