#include "site-script/pass_keys.h"

#include <algorithm>
#include <memory>
#include <random>

namespace pq::site {

namespace {
constexpr std::chrono::minutes kMinute{1};
}  // namespace

PassKeyStore::PassKeyStore(Config config, std::function<std::uint32_t(std::uint32_t)> random,
                           std::function<Clock::time_point()> now)
    : config_(config), random_(std::move(random)), now_(std::move(now)) {
  config_.keysPerIssue = std::clamp(config_.keysPerIssue, 1, 1000);
  config_.maxLiveIssues = std::max<std::size_t>(config_.maxLiveIssues, 1);
  config_.perAddress = std::max<std::size_t>(config_.perAddress, 1);
  config_.issuesPerMinute = std::max<std::size_t>(config_.issuesPerMinute, 1);
}

void PassKeyStore::DropExpired(Clock::time_point now) {
  std::erase_if(live_, [now](const IssuedKey& k) { return k.expires <= now; });
}

bool PassKeyStore::Overlaps(int base) const {
  return std::any_of(live_.begin(), live_.end(), [&](const IssuedKey& k) {
    return base < k.base + config_.keysPerIssue && k.base < base + config_.keysPerIssue;
  });
}

std::optional<std::int16_t> PassKeyStore::Issue(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto now = now_();
  DropExpired(now);
  if (recentIssues_.size() > 10000) {
    std::erase_if(recentIssues_, [&](const auto& e) {
      return e.second.empty() || now - e.second.back() >= kMinute;
    });
  }
  auto& recent = recentIssues_[address];
  while (!recent.empty() && now - recent.front() >= kMinute) recent.pop_front();
  if (recent.size() >= config_.issuesPerMinute) return std::nullopt;

  // The address's own oldest issues make room for its new one; nobody else's.
  std::size_t mine = 0;
  for (const auto& k : live_) mine += k.address == address;
  for (auto it = live_.begin(); mine >= config_.perAddress && it != live_.end();) {
    if (it->address == address) {
      it = live_.erase(it);
      --mine;
    } else {
      ++it;
    }
  }
  if (live_.size() >= config_.maxLiveIssues) return std::nullopt;
  // Bases run from -32768 to 32767 - keysPerIssue, so base + keysPerIssue still fits.
  const auto span = static_cast<std::uint32_t>(65536 - config_.keysPerIssue);
  int base = 0;
  bool free = false;
  for (int attempt = 0; attempt < 64 && !free; ++attempt) {
    base = -32768 + static_cast<int>(random_(span));
    free = !Overlaps(base);
  }
  if (!free) {
    // Crowded: pick among the bases still free, so a full key space is the only refusal.
    std::vector<int> bases;
    for (const auto& k : live_) bases.push_back(k.base);
    std::sort(bases.begin(), bases.end());
    const int n = config_.keysPerIssue;
    std::vector<std::pair<int, int>> gaps;  // first and last free base of each gap
    int low = -32768;
    std::uint32_t total = 0;
    for (std::size_t i = 0; i <= bases.size(); ++i) {
      const int high = i < bases.size() ? bases[i] - n : 32767 - n;
      if (high >= low) {
        gaps.push_back({low, high});
        total += static_cast<std::uint32_t>(high - low + 1);
      }
      if (i < bases.size()) low = std::max(low, bases[i] + n);
    }
    if (total == 0) return std::nullopt;
    std::uint32_t pick = random_(total);
    for (const auto& [first, last] : gaps) {
      const auto size = static_cast<std::uint32_t>(last - first + 1);
      if (pick < size) {
        base = first + static_cast<int>(pick);
        break;
      }
      pick -= size;
    }
  }
  recent.push_back(now);
  live_.push_back({base, now + config_.lifetime, address,
                   std::vector<bool>(static_cast<std::size_t>(config_.keysPerIssue), false)});
  return static_cast<std::int16_t>(base);
}

bool PassKeyStore::Redeem(long key) {
  std::lock_guard lock(mutex_);
  DropExpired(now_());
  for (auto& k : live_) {
    const long offset = key - k.base - 1;
    if (offset < 0 || offset >= config_.keysPerIssue) continue;
    const auto slot = static_cast<std::size_t>(offset);
    if (k.used[slot]) return false;
    k.used[slot] = true;
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
