#include "publishing/unpublished_changes.h"

#include <functional>

#include "publishing/publishable_page.h"

namespace pq {

namespace {

// Every document of the pane, depth first.
void ForEachDocument(LiveDocuments& live, const FramePath& frame,
                     const std::function<void(const FramePath&)>& visit) {
  visit(frame);
  if (frame.size() >= kMaxFrameDepth) return;
  const int count = live.FrameCount(frame);
  for (int i = 0; i < count; ++i) {
    FramePath child = frame;
    child.push_back(i);
    ForEachDocument(live, child, visit);
  }
}

}  // namespace

void UnpublishedChanges::MarkPublished(LiveDocuments& live) {
  ForEachDocument(live, {}, [&](const FramePath& frame) {
    if (auto spans = live.Spans(frame)) published_[frame] = std::move(*spans);
  });
}

bool UnpublishedChanges::Pending(LiveDocuments& live) const {
  bool pending = false;
  ForEachDocument(live, {}, [&](const FramePath& frame) {
    if (pending) return;
    const auto spans = live.Spans(frame);
    if (!spans) return;
    std::optional<SpanSnapshot> base;
    if (auto it = published_.find(frame); it != published_.end())
      base = it->second;
    else
      base = live.RecordedSpans(frame);
    if (!base) return;  // nothing to tell against: a document that could not be edited
    for (const auto& [id, element] : spans->elements) {
      auto at = base->elements.find(id);
      if (SpanChanged(element, at == base->elements.end() ? nullptr : &at->second)) {
        pending = true;
        return;
      }
    }
  });
  return pending;
}

}  // namespace pq
