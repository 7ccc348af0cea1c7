#include "skin/window_zones.h"

#include <array>

namespace pq::skin {

namespace {
constexpr int kEdge = 10;    // thickness of an edge zone
constexpr int kCorner = 20;  // reach of a corner along the side it belongs to
constexpr int kTitleBottom = 70;

// A corner zone: within 20 pixels along one side and 10 along the other. dx and dy are the
// distances from the corner.
bool NearCorner(int dx, int dy) {
  if (dx < 0 || dy < 0) return false;
  return (dx <= kCorner && dy <= kEdge) || (dx <= kEdge && dy <= kCorner);
}
}  // namespace

bool InTitleBand(int x, int y, int w, int) {
  return x > kEdge && x < w - kEdge && y > kEdge && y <= kTitleBottom;
}

bool InZone(Zone zone, int x, int y, int w, int h) {
  switch (zone) {
    case Zone::Left: return x >= 0 && x <= kEdge && y > kCorner && y < h - kCorner;
    case Zone::Right: return x >= w - kEdge && x <= w && y > kCorner && y < h - kCorner;
    case Zone::Top: return y >= 0 && y <= kEdge && x > kCorner && x < w - kCorner;
    case Zone::Bottom: return y >= h - kEdge && y <= h && x > kCorner && x < w - kCorner;
    case Zone::TopLeft: return NearCorner(x, y);
    case Zone::TopRight: return NearCorner(w - x, y);
    case Zone::BottomLeft: return NearCorner(x, h - y);
    case Zone::BottomRight: return NearCorner(w - x, h - y);
    case Zone::TitleBand: return InTitleBand(x, y, w, h);
    case Zone::None: return false;
  }
  return false;
}

Zone ResizeZoneAt(int x, int y, int w, int h) {
  static constexpr std::array kOrder{Zone::Left,   Zone::BottomLeft, Zone::TopLeft,
                                     Zone::Top,    Zone::Bottom,     Zone::Right,
                                     Zone::TopRight, Zone::BottomRight};
  for (Zone z : kOrder)
    if (InZone(z, x, y, w, h)) return z;
  return Zone::None;
}

Zone ZoneAt(int x, int y, int w, int h) {
  if (InTitleBand(x, y, w, h)) return Zone::TitleBand;
  return ResizeZoneAt(x, y, w, h);
}

CursorKind CursorFor(Zone zone) {
  switch (zone) {
    case Zone::Left:
    case Zone::Right: return CursorKind::WestEast;
    case Zone::Top:
    case Zone::Bottom: return CursorKind::NorthSouth;
    case Zone::TopLeft:
    case Zone::BottomRight: return CursorKind::NorthWestSouthEast;
    case Zone::TopRight:
    case Zone::BottomLeft: return CursorKind::NorthEastSouthWest;
    case Zone::TitleBand:
    case Zone::None: return CursorKind::Default;
  }
  return CursorKind::Default;
}

}  // namespace pq::skin
