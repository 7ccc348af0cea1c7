#pragma once
#include <optional>

#include "skin/geometry.h"
#include "skin/window_zones.h"

namespace pq::skin {

// The dragging and resizing of the frameless window by its title band, its title image and
// its edges and corners. Positions of the pointer are taken on the screen so that the result
// does not depend on how far the window itself has moved when an event is handled; every
// movement is judged from the press point and the window's rectangle at the press.
class WindowSkin {
 public:
  // Mouse down on the window: (x, y) relative to the window, (rootX, rootY) on the screen.
  void BeginMouse(int x, int y, int rootX, int rootY, const Rect& window);
  // Mouse down on the title image: always a drag.
  void BeginTitleDrag(int rootX, int rootY, const Rect& window);
  // Mouse movement with a button down: the window's new rectangle, or nothing when the
  // window is not to change (no press, maximised, nothing pressed that moves it).
  std::optional<Rect> TrackMouse(int rootX, int rootY);
  // The cursor to show while no button is down.
  CursorKind HoverCursor(int x, int y, int w, int h) const;
  // Mouse up: every flag cleared.
  void EndMouse();

  bool MouseIsDown() const { return mouseIsDown_; }
  bool Dragging() const { return dragging_; }
  Zone ResizeZone() const { return zone_; }

  bool WindowMaximized = false;

 private:
  bool mouseIsDown_ = false;
  bool dragging_ = false;
  Zone zone_ = Zone::None;
  int pressRootX_ = 0;
  int pressRootY_ = 0;
  Rect pressRect_;
};

// The rectangle a resize from `zone` gives for a pointer offset (dx, dy) from the press, never
// smaller than the minimum size; the opposite edges stay where they were.
Rect ResizedRect(const Rect& atPress, Zone zone, int dx, int dy);

}  // namespace pq::skin
