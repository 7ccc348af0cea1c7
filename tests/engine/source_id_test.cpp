#include "engine/source_id.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

using pq::engine::SourceId;

// Runs the default context for a while (no display needed), long enough for short timers.
void RunFor(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
}

struct Counter {
  int calls = 0;
  gboolean answer = G_SOURCE_REMOVE;
  static gboolean Tick(gpointer data) {
    auto* c = static_cast<Counter*>(data);
    ++c->calls;
    return c->answer;
  }
};

TEST(SourceIdTest, AnOwnerGoneBeforeTheTimerFiresIsNeverCalled) {
  auto counter = std::make_unique<Counter>();
  {
    SourceId timer;
    timer.StartTimeout(1, &Counter::Tick, counter.get());
    SourceId idle;
    idle.StartIdle(&Counter::Tick, counter.get());
    EXPECT_TRUE(timer.Active());
  }
  RunFor(std::chrono::milliseconds(30));
  EXPECT_EQ(counter->calls, 0);
}

// A one-shot source that ended itself: a later Reset (and the destructor) has nothing to remove
// and must not touch another source that GLib has since created.
TEST(SourceIdTest, ASourceTheCallbackEndedIsNotRemovedAgain) {
  Counter once;
  SourceId id;
  id.StartIdle(&Counter::Tick, &once);
  RunFor(std::chrono::milliseconds(20));
  EXPECT_EQ(once.calls, 1);
  EXPECT_FALSE(id.Active());

  Counter other;
  other.answer = G_SOURCE_CONTINUE;
  const guint otherId = g_timeout_add(1, &Counter::Tick, &other);
  id.Reset();
  id.Reset();
  RunFor(std::chrono::milliseconds(20));
  EXPECT_GT(other.calls, 0) << "the other source was removed";
  g_source_remove(otherId);
}

TEST(SourceIdTest, StartingAgainReplacesTheSourceHeld) {
  Counter first, second;
  second.answer = G_SOURCE_CONTINUE;
  SourceId id;
  id.StartTimeout(1, &Counter::Tick, &first);
  id.StartTimeout(1, &Counter::Tick, &second);
  RunFor(std::chrono::milliseconds(30));
  EXPECT_EQ(first.calls, 0);
  EXPECT_GT(second.calls, 1);
  EXPECT_TRUE(id.Active());
  id.Reset();
  const int seen = second.calls;
  RunFor(std::chrono::milliseconds(20));
  EXPECT_EQ(second.calls, seen);
}

// A callback may reset its own owner (switching its timer off) or restart it.
struct SelfResetting {
  SourceId id;
  int calls = 0;
  bool restart = false;
  static gboolean Tick(gpointer data) {
    auto* s = static_cast<SelfResetting*>(data);
    ++s->calls;
    s->id.Reset();
    if (s->restart) {
      s->restart = false;
      s->id.StartTimeout(1, &SelfResetting::Tick, s);
    }
    return G_SOURCE_CONTINUE;  // no longer matters once reset
  }
};

TEST(SourceIdTest, ACallbackMayResetOrRestartItsOwnSource) {
  SelfResetting s;
  s.restart = true;
  s.id.StartTimeout(1, &SelfResetting::Tick, &s);
  RunFor(std::chrono::milliseconds(40));
  EXPECT_EQ(s.calls, 2);
  EXPECT_FALSE(s.id.Active());
}

}  // namespace
