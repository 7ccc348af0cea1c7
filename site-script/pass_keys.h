#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace pq::site {

// Hands out pass keys and accepts each of their successors once. A key K issued by
// Issue() lets K + 1 ... K + keysPerIssue be redeemed, each once, until it expires.
// K is chosen so that none of those increments passes 32767 and so that no two live
// ranges overlap (a redeemed key belongs to exactly one issue). Thread-safe.
class PassKeyStore {
 public:
  using Clock = std::chrono::steady_clock;
  struct Config {
    int keysPerIssue = 200;
    std::chrono::seconds lifetime{600};
    std::size_t maxLiveIssues = 64;  // the oldest is dropped beyond this
  };
  // random(n) returns a value in [0, n); now() the current time. Both injectable for tests.
  PassKeyStore(Config config, std::function<std::uint32_t(std::uint32_t)> random,
               std::function<Clock::time_point()> now = Clock::now);

  std::int16_t Issue();
  // True when key belongs to a live issue and has not been redeemed; marks it used.
  bool Redeem(long key);

 private:
  struct IssuedKey {
    int base;
    Clock::time_point expires;
    std::vector<bool> used;  // index i: base + 1 + i
  };
  void DropExpired(Clock::time_point now);
  bool Overlaps(int base) const;

  Config config_;
  std::function<std::uint32_t(std::uint32_t)> random_;
  std::function<Clock::time_point()> now_;
  std::mutex mutex_;
  std::vector<IssuedKey> live_;  // oldest first
};

// A PassKeyStore random source from the operating system's random device.
std::function<std::uint32_t(std::uint32_t)> SystemRandom();

}  // namespace pq::site
