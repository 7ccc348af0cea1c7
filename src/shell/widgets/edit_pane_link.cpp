#include "shell/widgets/edit_pane_link.h"

#include <gtk/gtk.h>

#include "publishing/widgets/problems_dialog.h"

namespace pq {

EditPaneLink::EditPaneLink(WindowState& window, FrameTable& frames, Fetcher fetch)
    : problems_(SettingUpHelpAddress()),
      pane_(std::make_unique<EditControlWidget>(window, frames, site_, problems_, std::move(fetch))) {
  EditControl& c = pane_->Control();
  c.ButtonsEnable = [this] {
    if (ButtonsEnable) ButtonsEnable();
  };
  c.NavigateComplete = [this] {
    if (NavigateComplete) NavigateComplete();
  };
  c.UndoChange = [this](bool& enable) {
    if (UndoChange) UndoChange(enable);
  };
  c.RedoChange = [this](bool& enable) {
    if (RedoChange) RedoChange(enable);
  };
}

EditPaneLink::~EditPaneLink() {
  EditControl& c = pane_->Control();
  c.ButtonsEnable = nullptr;
  c.NavigateComplete = nullptr;
  c.UndoChange = nullptr;
  c.RedoChange = nullptr;
}

void EditPaneLink::Navigate() { Control().Navigate(); }
void EditPaneLink::StopBrowser() { Control().StopBrowser(); }
void EditPaneLink::ActivateInitialControl() {
  // The keys go to the pane's web view, and in it to the first editable region.
  gtk_widget_grab_focus(View().Widget());
  Control().FocusInitialControl();
}

std::optional<bool> EditPaneLink::ActiveElementEditable() {
  const FramePath frame = Control().CurrentFrame;
  auto active = View().ActiveElement(frame);
  if (!active) return std::nullopt;
  return active->editable;
}

// The editing operations: entry points the editing code fills in.
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
