#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace pq::site {

// The memory all publications being received may hold at once. A post reserves its size
// once it is authenticated, before its page is read; when the budget is taken it waits a
// while for others to finish. Thread-safe.
class BodyBudget {
 public:
  explicit BodyBudget(std::size_t capacity) : capacity_(capacity) {}

  // False when n bytes did not become free within wait (or never can).
  bool Reserve(std::size_t n, std::chrono::milliseconds wait);
  void Release(std::size_t n);
  std::size_t inUse() const;

  // Holds a reservation until it goes out of scope.
  class Hold {
   public:
    explicit Hold(BodyBudget& budget) : budget_(budget) {}
    ~Hold() { budget_.Release(held_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool Take(std::size_t n, std::chrono::milliseconds wait) {
      if (!budget_.Reserve(n, wait)) return false;
      held_ += n;
      return true;
    }

   private:
    BodyBudget& budget_;
    std::size_t held_ = 0;
  };

 private:
  std::size_t capacity_;
  std::size_t used_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable freed_;
};

}  // namespace pq::site
