#include "site-script/body_budget.h"

namespace pq::site {

bool BodyBudget::Reserve(std::size_t n, std::chrono::milliseconds wait) {
  if (n > capacity_) return false;
  std::unique_lock lock(mutex_);
  if (!freed_.wait_for(lock, wait, [&] { return used_ + n <= capacity_; })) return false;
  used_ += n;
  return true;
}

void BodyBudget::Release(std::size_t n) {
  if (n == 0) return;
  {
    std::lock_guard lock(mutex_);
    used_ -= n;
  }
  freed_.notify_all();
}

std::size_t BodyBudget::inUse() const {
  std::lock_guard lock(mutex_);
  return used_;
}

}  // namespace pq::site
