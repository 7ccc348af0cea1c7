#include "editor/widgets/edit_pane_documents.h"

namespace pq {

const EditDocument* EditPaneDocuments::Activated(const FramePath& frame) const {
  for (const EditDocument& d : edit_.Documents())
    if (d.frame == frame) return d.activated ? &d : nullptr;
  return nullptr;
}

std::optional<SpanSnapshot> EditPaneDocuments::Spans(const FramePath& frame) {
  if (!Activated(frame)) return std::nullopt;
  return view_.Spans(frame);
}

std::optional<SpanSnapshot> EditPaneDocuments::RecordedSpans(const FramePath& frame) {
  const EditDocument* d = Activated(frame);
  if (!d) return std::nullopt;
  return d->spans;
}

}  // namespace pq
