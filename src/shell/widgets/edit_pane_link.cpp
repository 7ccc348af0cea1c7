#include "shell/widgets/edit_pane_link.h"

#include "pageprep/temp_files.h"

namespace pq {

// Until the edit pane lands, the edit copy is shown read-only in a web view of its own, and
// its document-complete ends the preparation as the edit pane's will.
EditPaneLink::EditPaneLink(WindowState& window)
    : window_(window), view_(engine::WebView::Options{true, true}) {
  view_.DocumentComplete = [this](const FramePath& frame, const std::string&) {
    if (!frame.empty()) return;
    window_.EditTabPreparing = false;
    if (ButtonsEnable) ButtonsEnable();
    if (NavigateComplete) NavigateComplete();
  };
}

EditPaneLink::~EditPaneLink() { view_.DocumentComplete = nullptr; }

GtkWidget* EditPaneLink::Widget() const { return view_.Widget(); }

void EditPaneLink::Navigate() { view_.Navigate("file://" + TempFolder() + "webed.htm"); }
void EditPaneLink::StopBrowser() { view_.Stop(); }

std::optional<bool> EditPaneLink::ActiveElementEditable() {
  auto active = view_.ActiveElement({});
  if (!active) return std::nullopt;
  return active->editable;
}

// The editing operations: entry points the editing code fills in.
void EditPaneLink::ActivateInitialControl() {}
void EditPaneLink::ActivateBox() {}
void EditPaneLink::Edit_Cut() {}
void EditPaneLink::Edit_Copy() {}
void EditPaneLink::Edit_Paste() {}
void EditPaneLink::Bold() {}
void EditPaneLink::Italic() {}
void EditPaneLink::Underline() {}
void EditPaneLink::UndoMe() {}
void EditPaneLink::RedoMe() {}

}  // namespace pq
