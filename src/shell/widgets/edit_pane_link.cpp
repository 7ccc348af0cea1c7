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
  c.SelectionChange = [this](bool& hasSelection) {
    if (SelectionChange) SelectionChange(hasSelection);
  };
  c.CheckIcons = [this](bool editable) {
    if (CheckIcons) CheckIcons(editable);
  };
}

EditPaneLink::~EditPaneLink() {
  EditControl& c = pane_->Control();
  c.ButtonsEnable = nullptr;
  c.NavigateComplete = nullptr;
  c.UndoChange = nullptr;
  c.RedoChange = nullptr;
  c.SelectionChange = nullptr;
  c.CheckIcons = nullptr;
}

void EditPaneLink::Navigate() { Control().Navigate(); }
void EditPaneLink::Preload() { Control().Preload(); }
void EditPaneLink::StopBrowser() { Control().StopBrowser(); }
void EditPaneLink::ActivateInitialControl() {
  // The keys go to the pane's web view, and in it to the first editable region.
  gtk_widget_grab_focus(View().Widget());
  Control().ActivateInitialControl();
}

std::optional<bool> EditPaneLink::ActiveElementEditable() {
  const FramePath frame = Control().CurrentFrame;
  auto active = View().ActiveElement(frame);
  if (!active) return std::nullopt;
  return active->editable;
}

void EditPaneLink::ActivateBox() { Control().ActivateBox(); }
void EditPaneLink::Edit_Cut() { Control().Edit_Cut(); }
void EditPaneLink::Edit_Copy() { Control().Edit_Copy(); }
void EditPaneLink::Edit_Paste() { Control().Edit_Paste(); }
void EditPaneLink::Bold() { Control().Bold(); }
void EditPaneLink::Italic() { Control().Italic(); }
void EditPaneLink::Underline() { Control().Underline(); }
void EditPaneLink::UndoMe() { Control().UndoMe(); }
void EditPaneLink::RedoMe() { Control().RedoMe(); }

}  // namespace pq
