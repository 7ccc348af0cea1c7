#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pq::site {

// Hands out pass keys and accepts each of their successors once. A key K issued by
// Issue() lets K + 1 ... K + keysPerIssue be redeemed, each once, until it expires.
// K is chosen so that none of those increments passes 32767 and so that no two live
// ranges overlap (a redeemed key belongs to exactly one issue).
// Asking for a key needs no password, so nobody may push out another's key: an address
// holds at most perAddress live issues (a further one replaces its own oldest), the site
// at most maxLiveIssues (beyond that new keys are refused until some expire), and an
// address gets at most issuesPerMinute keys a minute. Thread-safe.
class PassKeyStore {
 public:
  using Clock = std::chrono::steady_clock;
  struct Config {
    int keysPerIssue = 200;
    std::chrono::seconds lifetime{600};
    std::size_t maxLiveIssues = 256;
    std::size_t perAddress = 4;
    std::size_t issuesPerMinute = 120;
  };
  // random(n) returns a value in [0, n); now() the current time. Both injectable for tests.
  PassKeyStore(Config config, std::function<std::uint32_t(std::uint32_t)> random,
               std::function<Clock::time_point()> now = Clock::now);

  // A new key for the address, or nullopt when it may not have one now.
  std::optional<std::int16_t> Issue(const std::string& address = "");
  // True when key belongs to a live issue and has not been redeemed; marks it used.
  bool Redeem(long key);

 private:
  struct IssuedKey {
    int base;
    Clock::time_point expires;
    std::string address;
    std::vector<bool> used;  // index i: base + 1 + i
  };
  void DropExpired(Clock::time_point now);
  bool Overlaps(int base) const;

  Config config_;
  std::function<std::uint32_t(std::uint32_t)> random_;
  std::function<Clock::time_point()> now_;
  std::mutex mutex_;
  std::vector<IssuedKey> live_;  // oldest first
  std::map<std::string, std::deque<Clock::time_point>> recentIssues_;  // per address, last minute
};

// A PassKeyStore random source from the operating system's random device.
std::function<std::uint32_t(std::uint32_t)> SystemRandom();

}  // namespace pq::site
