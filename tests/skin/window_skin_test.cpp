#include "skin/window_skin.h"

#include <gtest/gtest.h>

namespace pq::skin {
namespace {

// A window at (100, 50), 800 x 600; the pointer's screen position is the window position plus
// the point inside it.
class WindowSkinTest : public ::testing::Test {
 protected:
  const Rect window{100, 50, 800, 600};
  WindowSkin skin;

  void PressAt(int x, int y) { skin.BeginMouse(x, y, window.x + x, window.y + y, window); }
  std::optional<Rect> MoveBy(int x, int y, int dx, int dy) {
    return skin.TrackMouse(window.x + x + dx, window.y + y + dy);
  }
};

TEST_F(WindowSkinTest, TitleBandDragsTheWindow) {
  PressAt(300, 40);
  EXPECT_TRUE(skin.Dragging());
  auto r = MoveBy(300, 40, 120, -30);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (Rect{220, 20, 800, 600}));
  // Every movement is judged from the press point.
  r = MoveBy(300, 40, 10, 10);
  EXPECT_EQ(*r, (Rect{110, 60, 800, 600}));
}

TEST_F(WindowSkinTest, TitleImageDragsWherePressed) {
  skin.BeginTitleDrag(500, 500, window);
  EXPECT_TRUE(skin.Dragging());
  EXPECT_EQ(*skin.TrackMouse(510, 490), (Rect{110, 40, 800, 600}));
}

struct ResizeCase {
  int x, y;      // press point in the window
  int dx, dy;    // pointer movement
  Rect expected;
  const char* why;
};

TEST_F(WindowSkinTest, EdgesAndCornersResize) {
  const ResizeCase cases[] = {
      {795, 300, 50, 99, {100, 50, 850, 600}, "right edge: width only"},
      {400, 595, 99, 40, {100, 50, 800, 640}, "bottom edge: height only"},
      {5, 300, -30, 0, {70, 50, 830, 600}, "left edge follows the pointer"},
      {400, 5, 0, 25, {100, 75, 800, 575}, "top edge follows the pointer"},
      {5, 5, 10, 20, {110, 70, 790, 580}, "top-left corner"},
      {795, 5, 10, 20, {100, 70, 810, 580}, "top-right: top edge and right edge"},
      {5, 595, 10, 20, {110, 50, 790, 620}, "bottom-left: left edge and bottom edge"},
      {795, 595, -10, -20, {100, 50, 790, 580}, "bottom-right corner"},
  };
  for (const auto& c : cases) {
    WindowSkin s;
    s.BeginMouse(c.x, c.y, window.x + c.x, window.y + c.y, window);
    auto r = s.TrackMouse(window.x + c.x + c.dx, window.y + c.y + c.dy);
    ASSERT_TRUE(r) << c.why;
    EXPECT_EQ(*r, c.expected) << c.why;
  }
}

TEST_F(WindowSkinTest, ResizeStopsAtTheMinimumSize) {
  // Dragging the left edge far to the right: the right edge stays and the width stops.
  PressAt(5, 300);
  auto r = MoveBy(5, 300, 700, 0);
  EXPECT_EQ(*r, (Rect{900 - kMinWidth, 50, kMinWidth, 600}));
  skin.EndMouse();
  PressAt(400, 595);
  r = MoveBy(400, 595, 0, -1000);
  EXPECT_EQ(*r, (Rect{100, 50, 800, kMinHeight}));
  skin.EndMouse();
  // Top-left corner past both minimums: the bottom-right corner stays put.
  PressAt(5, 5);
  r = MoveBy(5, 5, 2000, 2000);
  EXPECT_EQ(*r, (Rect{900 - kMinWidth, 650 - kMinHeight, kMinWidth, kMinHeight}));
}

TEST_F(WindowSkinTest, NothingMovesWhileMaximisedOrWithoutAPress) {
  EXPECT_FALSE(MoveBy(300, 40, 10, 10));
  skin.WindowMaximized = true;
  PressAt(300, 40);
  EXPECT_FALSE(MoveBy(300, 40, 10, 10));
  EXPECT_EQ(skin.HoverCursor(5, 300, 800, 600), CursorKind::Default);
  skin.WindowMaximized = false;
  EXPECT_EQ(skin.HoverCursor(5, 300, 800, 600), CursorKind::WestEast);
}

TEST_F(WindowSkinTest, ReleaseClearsEveryFlag) {
  PressAt(5, 300);
  EXPECT_EQ(skin.ResizeZone(), Zone::Left);
  skin.EndMouse();
  EXPECT_FALSE(skin.MouseIsDown());
  EXPECT_FALSE(skin.Dragging());
  EXPECT_EQ(skin.ResizeZone(), Zone::None);
  EXPECT_FALSE(MoveBy(5, 300, 10, 0));
}

TEST_F(WindowSkinTest, PressInTheMiddleNeitherDragsNorResizes) {
  PressAt(400, 300);
  EXPECT_TRUE(skin.MouseIsDown());
  EXPECT_FALSE(MoveBy(400, 300, 10, 10));
}

}  // namespace
}  // namespace pq::skin
