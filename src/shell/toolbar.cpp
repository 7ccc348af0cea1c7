#include "shell/toolbar.h"

namespace pq {

const char* ButtonLabel(ToolbarButton button) {
  static constexpr const char* kLabels[kToolbarButtonCount] = {
      "Back", "Forward", "Home",      "Refresh", "Go",   "Cut",     "Copy",   "Paste",
      "Bold", "Italic",  "Underline", "Undo",    "Redo", "Preview", "Publish"};
  return kLabels[Index(button)];
}

ToolbarRects DesignedToolbar() {
  constexpr int kWidth = 58, kHeight = 50, kStep = 60;
  // The editing buttons are designed on the same line, right of the navigation buttons and
  // the address box.
  constexpr int kLeft = 18, kRow = 82, kEditLeft = 920;
  ToolbarRects r{};
  for (ToolbarButton b : kAllToolbarButtons) {
    const int i = Index(b);
    if (OnBrowseTab(b))
      r[i] = {kLeft + i * kStep, kRow, kWidth, kHeight};
    else
      r[i] = {kEditLeft + (i - Index(ToolbarButton::Cut)) * kStep, kRow, kWidth, kHeight};
  }
  // Preview and Publish are placed by the layout; their designed spot only gives their size.
  return r;
}

ToolbarRects LayoutToolbar(const ToolbarRects& design) {
  ToolbarRects r = design;
  const int shiftX = design[Index(ToolbarButton::Cut)].x - design[Index(ToolbarButton::Back)].x;
  for (int i = Index(ToolbarButton::Cut); i <= Index(ToolbarButton::Redo); ++i) {
    r[i].x -= shiftX;
  }
  const skin::Rect& redo = r[Index(ToolbarButton::Redo)];
  skin::Rect& preview = r[Index(ToolbarButton::Preview)];
  skin::Rect& publish = r[Index(ToolbarButton::Publish)];
  preview.y = redo.y - 6;
  preview.x = redo.x + 25 + design[Index(ToolbarButton::Undo)].width;
  publish.y = preview.y;
  publish.x = preview.Right() + 10;
  return r;
}

}  // namespace pq
