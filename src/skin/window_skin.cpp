#include "skin/window_skin.h"

#include <algorithm>

namespace pq::skin {

namespace {
bool MovesLeft(Zone z) { return z == Zone::Left || z == Zone::TopLeft || z == Zone::BottomLeft; }
bool MovesRight(Zone z) { return z == Zone::Right || z == Zone::TopRight || z == Zone::BottomRight; }
bool MovesTop(Zone z) { return z == Zone::Top || z == Zone::TopLeft || z == Zone::TopRight; }
bool MovesBottom(Zone z) {
  return z == Zone::Bottom || z == Zone::BottomLeft || z == Zone::BottomRight;
}
}  // namespace

Rect ResizedRect(const Rect& p, Zone zone, int dx, int dy) {
  Rect r = p;
  if (MovesRight(zone)) r.width = std::max(kMinWidth, p.width + dx);
  if (MovesLeft(zone)) {
    r.width = std::max(kMinWidth, p.width - dx);
    r.x = p.Right() - r.width;
  }
  if (MovesBottom(zone)) r.height = std::max(kMinHeight, p.height + dy);
  if (MovesTop(zone)) {
    r.height = std::max(kMinHeight, p.height - dy);
    r.y = p.Bottom() - r.height;
  }
  return r;
}

void WindowSkin::BeginMouse(int x, int y, int rootX, int rootY, const Rect& window) {
  if (!mouseIsDown_) {
    pressRootX_ = rootX;
    pressRootY_ = rootY;
    pressRect_ = window;
  }
  mouseIsDown_ = true;
  const Zone z = ZoneAt(x, y, window.width, window.height);
  if (z == Zone::TitleBand) {
    dragging_ = true;
    return;
  }
  zone_ = z;
}

void WindowSkin::BeginTitleDrag(int rootX, int rootY, const Rect& window) {
  pressRootX_ = rootX;
  pressRootY_ = rootY;
  pressRect_ = window;
  mouseIsDown_ = true;
  dragging_ = true;
}

std::optional<Rect> WindowSkin::TrackMouse(int rootX, int rootY) {
  if (WindowMaximized || !mouseIsDown_) return std::nullopt;
  const int dx = rootX - pressRootX_;
  const int dy = rootY - pressRootY_;
  if (dragging_) {
    Rect r = pressRect_;
    r.x += dx;
    r.y += dy;
    return r;
  }
  if (zone_ == Zone::None) return std::nullopt;
  return ResizedRect(pressRect_, zone_, dx, dy);
}

CursorKind WindowSkin::HoverCursor(int x, int y, int w, int h) const {
  if (WindowMaximized) return CursorKind::Default;
  return CursorFor(ResizeZoneAt(x, y, w, h));
}

void WindowSkin::EndMouse() {
  mouseIsDown_ = false;
  dragging_ = false;
  zone_ = Zone::None;
}

}  // namespace pq::skin
