#include "engine/document_event_queue.h"

#include <cassert>

namespace pq::engine {

void DocumentEventQueue::Post(DocumentEvent event) {
  pending_.push_back(std::move(event));
  if (delivering_) return;  // the running delivery hands it over when its handler returns
  delivering_ = true;
  const std::shared_ptr<bool> alive = alive_;
  while (!pending_.empty()) {
    const DocumentEvent next = std::move(pending_.front());
    pending_.pop_front();
    assert(depth_ == 0 && "document event handlers must never nest");
    ++depth_;
    if (deliver_) deliver_(next);
    if (!*alive) return;
    --depth_;
  }
  delivering_ = false;
}

}  // namespace pq::engine
