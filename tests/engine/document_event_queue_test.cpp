#include "engine/document_event_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using pq::DocumentEvent;
using pq::engine::DocumentEventQueue;

DocumentEvent Key(int code) {
  DocumentEvent e;
  e.type = "keydown";
  e.keyCode = code;
  return e;
}

// A handler that "waits" for the page: while it handles the first event, the engine delivers
// more (the waiting loop runs them through Post). They must come after it, in order, each after
// the previous handler has returned.
TEST(DocumentEventQueueTest, EventsArrivingWhileAHandlerWaitsComeAfterItInOrder) {
  std::vector<std::string> log;
  int running = 0, deepest = 0;
  std::function<void()> whileWaiting;
  DocumentEventQueue queue([&](const DocumentEvent& e) {
    ++running;
    deepest = std::max(deepest, running);
    log.push_back("begin " + std::to_string(e.keyCode));
    if (whileWaiting) std::exchange(whileWaiting, nullptr)();
    log.push_back("end " + std::to_string(e.keyCode));
    --running;
  });
  whileWaiting = [&] {
    queue.Post(Key(2));
    queue.Post(Key(3));
    EXPECT_TRUE(queue.Delivering());
    EXPECT_EQ(queue.Pending(), 2u);
  };
  queue.Post(Key(1));
  EXPECT_EQ(log, (std::vector<std::string>{"begin 1", "end 1", "begin 2", "end 2", "begin 3", "end 3"}));
  EXPECT_EQ(deepest, 1);
  EXPECT_FALSE(queue.Delivering());
  EXPECT_EQ(queue.Pending(), 0u);

  // Afterwards an event is delivered at once again.
  log.clear();
  queue.Post(Key(4));
  EXPECT_EQ(log, (std::vector<std::string>{"begin 4", "end 4"}));
}

// A handler may end the queue's owner (the pane closes); the queued events then go with it.
TEST(DocumentEventQueueTest, AHandlerThatDestroysTheQueueEndsTheDelivery) {
  std::vector<int> seen;
  std::unique_ptr<DocumentEventQueue> queue;
  queue = std::make_unique<DocumentEventQueue>([&](const DocumentEvent& e) {
    seen.push_back(e.keyCode);
    if (e.keyCode == 1) {
      queue->Post(Key(2));
      queue.reset();
    }
  });
  queue->Post(Key(1));
  EXPECT_EQ(seen, std::vector<int>{1});
}

}  // namespace
