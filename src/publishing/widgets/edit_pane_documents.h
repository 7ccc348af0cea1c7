#pragma once
#include <optional>

#include "editor/edit_control.h"
#include "editor/edit_pane_browser.h"
#include "pageprep/live_documents.h"

namespace pq {

// The edit pane's documents as preview and publishing read them: the live spans through the
// pane's browser, the recorded ones from what the edit pane kept at activation. A document the
// pane did not activate (shown inert, or not loaded) could not be edited, so it counts as
// unreadable and is never sent.
class EditPaneDocuments : public LiveDocuments {
 public:
  EditPaneDocuments(EditPaneBrowser& browser, const EditControl& edit)
      : browser_(browser), edit_(edit) {}

  int FrameCount(const FramePath& frame) override { return browser_.FrameCount(frame); }
  std::optional<SpanSnapshot> Spans(const FramePath& frame) override;
  std::optional<SpanSnapshot> RecordedSpans(const FramePath& frame) override;

 private:
  const EditDocument* Activated(const FramePath& frame) const;

  EditPaneBrowser& browser_;
  const EditControl& edit_;
};

}  // namespace pq
