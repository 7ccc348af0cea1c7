#pragma once
#include <chrono>
#include <deque>
#include <optional>

namespace pq::engine {

// Keys typed after a click reach the page after that click. The engine hands pointer and key
// events to the page through queues of their own, so when the page is busy a key can overtake
// the press before it: End then moves the old caret and the words typed next land where the
// click puts the caret. A key waits while a press sent to the engine has not been seen by the
// page; a press the page never reports (outside any document) stops holding keys after kLimit.
class ClickKeyOrder {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kLimit{1000};

  // A button press went to the engine.
  void Pressed(Clock::time_point now) { unseen_.push_back(now); }
  // The page reported a press (the oldest one sent).
  void PageSawPress() {
    if (!unseen_.empty()) unseen_.pop_front();
  }
  // A key event arrives: true when it must wait, because a press is unseen or keys wait already
  // (they go in the order they came).
  bool MustWait(Clock::time_point now, bool keysWaiting) {
    Expire(now);
    return keysWaiting || !unseen_.empty();
  }
  // Whether the waiting keys may go now.
  bool MayRelease(Clock::time_point now) {
    Expire(now);
    return unseen_.empty();
  }
  // When the oldest unseen press stops holding keys; nullopt when none is unseen.
  std::optional<Clock::time_point> Deadline() const {
    if (unseen_.empty()) return std::nullopt;
    return unseen_.front() + kLimit;
  }

 private:
  void Expire(Clock::time_point now) {
    while (!unseen_.empty() && now >= unseen_.front() + kLimit) unseen_.pop_front();
  }
  std::deque<Clock::time_point> unseen_;  // presses sent, oldest first
};

}  // namespace pq::engine
