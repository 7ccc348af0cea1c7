#include "site-script/password_throttle.h"

#include <algorithm>

namespace pq::site {

namespace {
// A record with no wrong password for this long is forgotten.
constexpr std::chrono::hours kForgetAfter{1};
}  // namespace

void PasswordThrottle::Prune(Clock::time_point now) {
  std::erase_if(records_, [&](const auto& entry) {
    const Record& r = entry.second;
    return r.nextAllowed <= now && now - r.lastWrong > kForgetAfter;
  });
}

PasswordThrottle::Verdict PasswordThrottle::Check(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto now = now_();
  // The site first, as the PHP script does: guesses from fresh addresses are slowed too.
  if (site_.wrong > 0 && now - site_.lastWrong > kForgetAfter) site_ = {};
  if (now < site_.nextAllowed) return Verdict::SiteTooSoon;
  auto it = records_.find(address);
  if (it != records_.end() && now < it->second.nextAllowed) {
    return it->second.wrong >= config_.lockoutAfter ? Verdict::LockedOut : Verdict::TooSoon;
  }
  return Verdict::Allowed;
}

void PasswordThrottle::RecordWrong(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto now = now_();
  if (records_.size() > 10000) Prune(now);
  Record& r = records_[address];
  if (r.wrong >= config_.lockoutAfter) r.wrong = 0;  // a served lockout starts afresh
  ++r.wrong;
  r.lastWrong = now;
  if (r.wrong >= config_.lockoutAfter) {
    r.nextAllowed = now + config_.lockout;
  } else if (r.wrong >= config_.slowAfter) {
    const int doublings = std::min(r.wrong - config_.slowAfter, 6);
    r.nextAllowed = now + std::chrono::seconds(1 << doublings);
  }

  ++site_.wrong;
  site_.lastWrong = now;
  if (site_.wrong >= config_.siteSlowAfter) {
    const int doublings = std::min(site_.wrong - config_.siteSlowAfter, 20);
    site_.nextAllowed = now + std::min<std::chrono::seconds>(std::chrono::seconds(1 << doublings),
                                                             config_.siteMaxDelay);
  }
}

void PasswordThrottle::RecordRight(const std::string& address) {
  std::lock_guard lock(mutex_);
  records_.erase(address);
  site_ = {};
}

}  // namespace pq::site
