#include "editor/navigated_pages.h"

#include "pageprep/url_ops.h"

namespace pq {

void NavigatedPages::RecordNavigated(std::string_view url) {
  // The lowest free slot, else the one filled longest ago.
  std::size_t target = 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].empty()) {
      target = i;
      break;
    }
    if (order_[i] < order_[target]) target = i;
  }
  slots_[target] = LastPathSegment(url);
  order_[target] = next_++;
}

void NavigatedPages::ClearNavigated(std::string_view nameOrLocation) {
  const std::string name = LastPathSegment(nameOrLocation);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i] == name) {
      slots_[i].clear();
      order_[i] = 0;
    }
  }
}

bool NavigatedPages::Contains(std::string_view nameOrLocation) const {
  const std::string name = LastPathSegment(nameOrLocation);
  if (name.empty()) return false;
  for (const auto& s : slots_)
    if (s == name) return true;
  return false;
}

bool NavigatedPages::WaitForNavigated(std::string_view nameOrLocation, const Waiter& wait,
                                      std::chrono::milliseconds limit) const {
  const std::string name(nameOrLocation);
  if (Contains(name)) return true;
  return wait([this, name] { return Contains(name); }, limit);
}

}  // namespace pq
