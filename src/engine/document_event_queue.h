#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>

#include "core/document_event.h"

namespace pq::engine {

// Hands document events to one handler, one at a time. A handler may wait (and so let the main
// loop run); the events that arrive meanwhile are queued and handed over in order once it has
// returned, so no handler ever runs inside another.
class DocumentEventQueue {
 public:
  using Deliver = std::function<void(const DocumentEvent&)>;
  explicit DocumentEventQueue(Deliver deliver) : deliver_(std::move(deliver)) {}
  ~DocumentEventQueue() { *alive_ = false; }
  DocumentEventQueue(const DocumentEventQueue&) = delete;
  DocumentEventQueue& operator=(const DocumentEventQueue&) = delete;

  // Delivers the event now, or after the delivery under way (and those queued before it).
  void Post(DocumentEvent event);

  bool Delivering() const { return delivering_; }
  std::size_t Pending() const { return pending_.size(); }

 private:
  Deliver deliver_;
  std::deque<DocumentEvent> pending_;
  bool delivering_ = false;
  int depth_ = 0;  // handlers running right now; never more than one
  // Cleared when the queue goes, so a handler that destroys the queue's owner ends the delivery.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pq::engine
