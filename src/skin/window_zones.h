#pragma once

namespace pq::skin {

// Where a point of the window lies for the mouse: a resize edge or corner, the title band
// (which drags the window) or nowhere special.
enum class Zone {
  None,
  Left,
  Right,
  Top,
  Bottom,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
  TitleBand,
};

enum class CursorKind { Default, WestEast, NorthSouth, NorthWestSouthEast, NorthEastSouthWest };

// True when (x, y) lies in the given resize zone of a window of width w and height h.
bool InZone(Zone zone, int x, int y, int w, int h);
bool InTitleBand(int x, int y, int w, int h);

// The zone a press at (x, y) selects: the title band first, then the resize zones in the
// order left, bottom-left, top-left, top, bottom, right, top-right, bottom-right.
Zone ZoneAt(int x, int y, int w, int h);

// The resize zone under the pointer, ignoring the title band (for the hover cursor).
Zone ResizeZoneAt(int x, int y, int w, int h);

CursorKind CursorFor(Zone zone);

}  // namespace pq::skin
