#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace pq::site {

// Slows down and then locks out wrong passwords, per address and for the whole site.
// After slowAfter wrong passwords an address must wait before its next attempt is
// even looked at (1, 2, 4 ... seconds, at most 64); after lockoutAfter it is
// refused for lockoutSeconds. Guesses from many addresses count together as well: after
// siteSlowAfter wrong passwords site-wide, no attempt from anywhere is looked at for 1, 2,
// 4 ... seconds (at most siteMaxDelay) after each further wrong one. A right password
// clears its address and the site's count, so the owner, from any address, gets in at
// most siteMaxDelay after the guessing stops. Waiting is enforced by refusing early
// attempts rather than by sleeping, so an attacker cannot tie up the server's threads.
// The caller checks and records one attempt at a time, so that concurrent guesses each
// see the wait the one before them caused. Thread-safe.
class PasswordThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  struct Config {
    int slowAfter = 3;
    int lockoutAfter = 10;
    std::chrono::seconds lockout{900};
    int siteSlowAfter = 20;
    std::chrono::seconds siteMaxDelay{60};
  };
  enum class Verdict { Allowed, TooSoon, LockedOut, SiteTooSoon };

  explicit PasswordThrottle(Config config,
                            std::function<Clock::time_point()> now = Clock::now)
      : config_(config), now_(std::move(now)) {}

  // Whether an attempt from this address may be checked now.
  Verdict Check(const std::string& address);
  void RecordWrong(const std::string& address);
  void RecordRight(const std::string& address);

 private:
  struct Record {
    int wrong = 0;
    Clock::time_point nextAllowed{};
    Clock::time_point lastWrong{};
  };
  void Prune(Clock::time_point now);

  Config config_;
  std::function<Clock::time_point()> now_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
  Record site_;  // all addresses together
};

}  // namespace pq::site
