#include "shell/widgets/toolbar_buttons.h"

#include <gtk/gtk.h>

#include <string>

#include "editor/shortcuts.h"

namespace pq {

namespace {
// The key with Ctrl that runs the same command in the edit pane.
Shortcut ShortcutOf(ToolbarButton b) {
  switch (b) {
    case ToolbarButton::Cut: return Shortcut::kCut;
    case ToolbarButton::Copy: return Shortcut::kCopy;
    case ToolbarButton::Paste: return Shortcut::kPaste;
    case ToolbarButton::Bold: return Shortcut::kBold;
    case ToolbarButton::Italic: return Shortcut::kItalic;
    case ToolbarButton::Underline: return Shortcut::kUnderline;
    case ToolbarButton::Undo: return Shortcut::kUndo;
    case ToolbarButton::Redo: return Shortcut::kRedo;
    default: return Shortcut::kNone;
  }
}
}  // namespace

ToolbarButtons::ToolbarButtons(skin::SkinnedWindow& window)
    : places_(LayoutToolbar(DesignedToolbar())) {
  for (ToolbarButton b : kAllToolbarButtons) {
    auto control = std::make_unique<PictureButtonControl>();
    skin::PictureButton& button = control->button;
    button.SetPictures(ButtonLabel(b));
    button.SetAccessibleName(ButtonLabel(b));
    if (const std::string_view keys = ShortcutKeys(ShortcutOf(b)); !keys.empty())
      gtk_widget_set_tooltip_text(button.Widget(), (std::string(ButtonLabel(b)) + " (" + std::string(keys) + ")").c_str());
    button.Click = [this, b] {
      if (Clicked) Clicked(b);
    };
    window.Put(button.Widget(), places_[Index(b)].x, places_[Index(b)].y);
    controls_[Index(b)] = std::move(control);
  }
  // Until an edit copy is loaded there is nothing to cut, copy, paste, format, undo or redo;
  // there is no page to go back or forward to.
  for (ToolbarButton b : {ToolbarButton::Back, ToolbarButton::Forward, ToolbarButton::Cut,
                          ToolbarButton::Copy, ToolbarButton::Paste, ToolbarButton::Bold,
                          ToolbarButton::Italic, ToolbarButton::Underline, ToolbarButton::Undo,
                          ToolbarButton::Redo})
    Button(b).Disable();
}

void ToolbarButtons::ShowTab(TabHeader tab) {
  for (ToolbarButton b : kAllToolbarButtons) {
    const bool visible = OnBrowseTab(b) == (tab == TabHeader::ImgBrowse);
    gtk_widget_set_visible(Button(b).Widget(), visible);
  }
}

}  // namespace pq
