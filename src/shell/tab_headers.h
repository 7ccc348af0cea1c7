#pragma once
#include <array>
#include <optional>
#include <string>

#include "core/window_state.h"

namespace pq {

// How one tab header looks: its picture, whether it is raised by the selection (3 pixels
// higher than designed), whether it takes the mouse, whether it is drawn in front.
struct HeaderLook {
  std::string picture;
  bool raised = false;
  bool enabled = true;
  bool front = false;
  bool operator==(const HeaderLook&) const = default;
};

inline constexpr int kTabRaise = 3;

// The Browse and Edit headers: selection, enabling and the hover picture, as plain state. The
// window draws each header from its look.
class TabHeaders {
 public:
  explicit TabHeaders(WindowState& window);
  // Back to the looks of the window's load: the current tab selected, both enabled.
  void Reset();

  const HeaderLook& Look(TabHeader header) const { return looks_[Slot(header)]; }
  TabHeader CurrentTab() const { return window_.CurrentTab; }

  // Answers whether the selection changed; the same header does nothing.
  bool SelectTab(TabHeader header);
  void DisableTab(TabHeader header);
  void EnableTab(TabHeader header);

  // The pointer moved over a header, at (x, y) relative to it, the header being w × h.
  void HeaderMouseMove(TabHeader header, int x, int y, int w, int h);
  // The pointer moved over another control or the window's own surface.
  void OtherMouseMove();
  std::optional<TabHeader> HoverTab() const { return hover_; }
  std::optional<TabHeader> LastTabUnderMouse() const { return lastUnderMouse_; }

 private:
  static int Slot(TabHeader h) { return h == TabHeader::ImgBrowse ? 0 : 1; }
  HeaderLook& At(TabHeader h) { return looks_[Slot(h)]; }
  void RemoveHover();

  WindowState& window_;
  std::array<HeaderLook, 2> looks_;
  std::optional<TabHeader> hover_;
  std::optional<TabHeader> lastUnderMouse_;
};

}  // namespace pq
