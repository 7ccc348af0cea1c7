#include "skin/window_zones.h"

#include <gtest/gtest.h>

namespace pq::skin {
namespace {

constexpr int W = 800;
constexpr int H = 600;

struct ZoneCase {
  int x, y;
  Zone zone;
  const char* why;
};

TEST(WindowZones, PressPointsSelectTheRightZone) {
  const ZoneCase cases[] = {
      {400, 40, Zone::TitleBand, "middle of the title band"},
      {11, 11, Zone::TitleBand, "title band starts past 10 pixels"},
      {400, 70, Zone::TitleBand, "title band ends at 70 inclusive"},
      {400, 71, Zone::None, "below the title band"},
      {400, 5, Zone::Top, "5 from the top, away from the corners"},
      {15, 5, Zone::TopLeft, "15 from the left at 5 from the top is the corner"},
      {5, 15, Zone::TopLeft, "5 from the left at 15 from the top is the corner"},
      {20, 10, Zone::TopLeft, "corner reaches 20 along the top"},
      {21, 10, Zone::Top, "past the corner"},
      {5, 300, Zone::Left, "left edge"},
      {10, 21, Zone::Left, "left edge starts past 20"},
      {795, 300, Zone::Right, "right edge"},
      {800, 300, Zone::Right, "right edge includes the last column"},
      {400, 595, Zone::Bottom, "bottom edge"},
      {785, 5, Zone::TopRight, "top-right corner along the top"},
      {795, 15, Zone::TopRight, "top-right corner along the side"},
      {5, 590, Zone::BottomLeft, "bottom-left corner"},
      {15, 595, Zone::BottomLeft, "bottom-left corner along the bottom"},
      {795, 595, Zone::BottomRight, "bottom-right corner"},
      {785, 592, Zone::BottomRight, "bottom-right along the bottom"},
      {11, 300, Zone::None, "just inside the left edge"},
      {400, 300, Zone::None, "middle of the window"},
      {5, 40, Zone::Left, "edge beats title band at the side"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ZoneAt(c.x, c.y, W, H), c.zone) << c.why << " (" << c.x << ", " << c.y << ")";
}

TEST(WindowZones, EachZoneHasItsCursor) {
  EXPECT_EQ(CursorFor(Zone::Left), CursorKind::WestEast);
  EXPECT_EQ(CursorFor(Zone::Right), CursorKind::WestEast);
  EXPECT_EQ(CursorFor(Zone::Top), CursorKind::NorthSouth);
  EXPECT_EQ(CursorFor(Zone::Bottom), CursorKind::NorthSouth);
  EXPECT_EQ(CursorFor(Zone::TopLeft), CursorKind::NorthWestSouthEast);
  EXPECT_EQ(CursorFor(Zone::BottomRight), CursorKind::NorthWestSouthEast);
  EXPECT_EQ(CursorFor(Zone::TopRight), CursorKind::NorthEastSouthWest);
  EXPECT_EQ(CursorFor(Zone::BottomLeft), CursorKind::NorthEastSouthWest);
  EXPECT_EQ(CursorFor(Zone::TitleBand), CursorKind::Default);
  EXPECT_EQ(CursorFor(Zone::None), CursorKind::Default);
}

}  // namespace
}  // namespace pq::skin
