#pragma once
#include <optional>

#include "editor/edit_control.h"
#include "engine/web_view.h"
#include "pageprep/live_documents.h"

namespace pq {

// The edit pane's documents as preview and publishing read them: the live spans through the
// pane's web view, the recorded ones from what the edit pane kept at activation. A document the
// pane did not activate (shown inert, or not loaded) could not be edited, so it counts as
// unreadable and is never sent.
class EditPaneDocuments : public LiveDocuments {
 public:
  EditPaneDocuments(engine::WebView& view, const EditControl& edit) : view_(view), edit_(edit) {}

  int FrameCount(const FramePath& frame) override { return view_.FrameCount(frame); }
  std::optional<SpanSnapshot> Spans(const FramePath& frame) override;
  std::optional<SpanSnapshot> RecordedSpans(const FramePath& frame) override;

 private:
  const EditDocument* Activated(const FramePath& frame) const;

  engine::WebView& view_;
  const EditControl& edit_;
};

}  // namespace pq
