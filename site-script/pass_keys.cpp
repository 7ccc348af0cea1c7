#include "site-script/pass_keys.h"

#include <algorithm>
#include <memory>
#include <random>

namespace pq::site {

PassKeyStore::PassKeyStore(Config config, std::function<std::uint32_t(std::uint32_t)> random,
                           std::function<Clock::time_point()> now)
    : config_(config), random_(std::move(random)), now_(std::move(now)) {
  config_.keysPerIssue = std::clamp(config_.keysPerIssue, 1, 1000);
  config_.maxLiveIssues = std::max<std::size_t>(config_.maxLiveIssues, 1);
}

void PassKeyStore::DropExpired(Clock::time_point now) {
  std::erase_if(live_, [now](const IssuedKey& k) { return k.expires <= now; });
}

bool PassKeyStore::Overlaps(int base) const {
  return std::any_of(live_.begin(), live_.end(), [&](const IssuedKey& k) {
    return base < k.base + config_.keysPerIssue && k.base < base + config_.keysPerIssue;
  });
}

std::int16_t PassKeyStore::Issue() {
  std::lock_guard lock(mutex_);
  const auto now = now_();
  DropExpired(now);
  if (live_.size() >= config_.maxLiveIssues) live_.erase(live_.begin());
  // Bases run from -32768 to 32767 - keysPerIssue, so base + keysPerIssue still fits.
  const auto span = static_cast<std::uint32_t>(65536 - config_.keysPerIssue);
  int base = 0;
  for (int attempt = 0;; ++attempt) {
    base = -32768 + static_cast<int>(random_(span));
    if (!Overlaps(base)) break;
    // Crowded key space: make room by forgetting the oldest issue.
    if (attempt >= 16 && !live_.empty()) live_.erase(live_.begin());
  }
  live_.push_back({base, now + config_.lifetime,
                   std::vector<bool>(static_cast<std::size_t>(config_.keysPerIssue), false)});
  return static_cast<std::int16_t>(base);
}

bool PassKeyStore::Redeem(long key) {
  std::lock_guard lock(mutex_);
  DropExpired(now_());
  for (auto& k : live_) {
    const long offset = key - k.base - 1;
    if (offset < 0 || offset >= config_.keysPerIssue) continue;
    auto slot = k.used[static_cast<std::size_t>(offset)];
    if (slot) return false;
    slot = true;
    return true;
  }
  return false;
}

std::function<std::uint32_t(std::uint32_t)> SystemRandom() {
  auto device = std::make_shared<std::random_device>();
  auto mutex = std::make_shared<std::mutex>();
  return [device, mutex](std::uint32_t n) {
    std::lock_guard lock(*mutex);
    std::uniform_int_distribution<std::uint32_t> pick(0, n - 1);
    return pick(*device);
  };
}

}  // namespace pq::site
