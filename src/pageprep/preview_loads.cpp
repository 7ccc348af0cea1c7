#include "pageprep/preview_loads.h"

#include "pageprep/url_ops.h"

namespace pq {

void LoadedPages::SetupWait(std::string_view nameOrUrl) {
  const std::string key = LastPathSegment(nameOrUrl);
  for (auto& slot : slots_)
    if (slot == key) slot.clear();
}

void LoadedPages::Loaded(std::string_view url) {
  const std::string name = LastPathSegment(url);
  if (name.empty()) return;
  for (auto& slot : slots_) {
    if (slot.empty()) {
      slot = name;
      return;
    }
  }
  slots_[oldest_] = name;
  oldest_ = (oldest_ + 1) % kSlots;
}

bool LoadedPages::WasLoaded(std::string_view nameOrUrl) const {
  const std::string key = LastPathSegment(nameOrUrl);
  for (const auto& slot : slots_)
    if (!key.empty() && slot == key) return true;
  return false;
}

void LoadedPages::Clear() {
  for (auto& slot : slots_) slot.clear();
  oldest_ = 0;
}

}  // namespace pq
