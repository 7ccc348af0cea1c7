#pragma once
#include <array>
#include <string>

#include "skin/geometry.h"

namespace pq {

// The fifteen picture buttons of the main window; the first five are on the Browse tab.
enum class ToolbarButton {
  Back, Forward, Home, Refresh, Go,
  Cut, Copy, Paste, Bold, Italic, Underline, Undo, Redo, Preview, Publish
};
inline constexpr int kToolbarButtonCount = 15;

inline constexpr std::array<ToolbarButton, kToolbarButtonCount> kAllToolbarButtons{
    ToolbarButton::Back,  ToolbarButton::Forward, ToolbarButton::Home,   ToolbarButton::Refresh,
    ToolbarButton::Go,    ToolbarButton::Cut,     ToolbarButton::Copy,   ToolbarButton::Paste,
    ToolbarButton::Bold,  ToolbarButton::Italic,  ToolbarButton::Underline, ToolbarButton::Undo,
    ToolbarButton::Redo,  ToolbarButton::Preview, ToolbarButton::Publish};

// The button's label, which is also the start of its pictures' names ("Back" -> "BackNormal").
const char* ButtonLabel(ToolbarButton button);
// Whether the button lives on the Browse tab (else on the Edit tab).
inline bool OnBrowseTab(ToolbarButton b) { return static_cast<int>(b) <= static_cast<int>(ToolbarButton::Go); }
inline int Index(ToolbarButton b) { return static_cast<int>(b); }

// Where each button goes. The design puts the editing buttons on the navigation buttons' line,
// far to the right; the load moves them over the navigation buttons, so that both tabs share
// one toolbar line, and places Preview and Publish after Redo.
using ToolbarRects = std::array<skin::Rect, kToolbarButtonCount>;

// The rectangles of the window's design.
ToolbarRects DesignedToolbar();
// The toolbar as laid out at load: Cut..Redo shifted left by (Cut.x - Back.x) keeping their
// spacing; Preview 6 pixels higher than Redo and 25 pixels plus one Undo width right of Redo's
// left edge; Publish on Preview's line, 10 pixels right of Preview's right edge.
ToolbarRects LayoutToolbar(const ToolbarRects& design);

}  // namespace pq
