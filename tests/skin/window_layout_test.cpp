#include "skin/window_layout.h"

#include <gtest/gtest.h>

#include "skin/title_band.h"

namespace pq::skin {
namespace {

TEST(WindowLayout, WindowImagesHangFromTheRightEdge) {
  SkinDesign d;  // 21 x 21 images at top 8, help 52 x 18 at top 34
  const auto l = LayoutMainWindow(1000, 700, d);
  EXPECT_EQ(l.ImgClose, (Rect{974, 8, 21, 21}));
  EXPECT_EQ(l.ImgNormMax.Right(), l.ImgClose.x - 3);
  EXPECT_EQ(l.ImgMin.Right(), l.ImgNormMax.x - 3);
  EXPECT_EQ(l.ImgHelp.x, l.ImgMin.x + 10);
  EXPECT_EQ(l.ImgHelp.y, d.helpTop);
  EXPECT_EQ(l.ImgMin.y, d.imageTop);
}

TEST(WindowLayout, TabStripAndPanesFollowTheSize) {
  SkinDesign d;
  d.tabBackgroundLeft = 8;
  d.tabBackgroundTop = 74;
  d.paneLeft = 16;
  d.paneTop = 150;
  const auto l = LayoutMainWindow(1000, 700, d);
  EXPECT_EQ(l.TabBackground, (Rect{8, 74, 984, 700 - 74 - 6}));
  // The panes end 10 pixels above the strip's bottom edge.
  EXPECT_EQ(l.pane, (Rect{16, 150, 968, 620 - (150 - 74) - 10}));
  EXPECT_EQ(l.pane.Bottom(), l.TabBackground.Bottom() - 10);
}

TEST(WindowLayout, SmallWindowIsLaidOutAsTheMinimum) {
  EXPECT_EQ(LayoutMainWindow(300, 200).TabBackground, LayoutMainWindow(665, 385).TabBackground);
  EXPECT_EQ(LayoutMainWindow(600, 900).ImgClose.x, kMinWidth - 26);
  EXPECT_EQ(LayoutMainWindow(900, 100).pane.height, LayoutMainWindow(900, kMinHeight).pane.height);
}

TEST(WindowLayout, FrameIsTheWindowAndAnInsetRectangle) {
  const auto f = LayoutFrame(700, 400);
  EXPECT_EQ(f.OuterRectangle, (Rect{0, 0, 700, 400}));
  EXPECT_EQ(f.InnerRectangle, (Rect{2, 2, 697, 397}));
}

TEST(TitleBand, BrightensToTheMiddleAndFallsBack) {
  EXPECT_EQ(TitleBandColour(0), kSkinBackground);
  const Rgb middle = TitleBandColour(37);  // 37 / 37.5 of the rise, truncated
  EXPECT_EQ(middle, (Rgb{28, 130, 242}));
  EXPECT_EQ(TitleBandColour(38), (Rgb{28, 130, 242}));  // symmetric about 37.5
  EXPECT_EQ(TitleBandColour(10), (Rgb{17, 87, 196}));
  EXPECT_EQ(TitleBandColour(74), (Rgb{13, 72, 180}));
  EXPECT_EQ(TitleBandColour(75), kSkinBackground);
  for (int y = 1; y < 37; ++y) {
    EXPECT_GE(TitleBandColour(y).g, TitleBandColour(y - 1).g);
    EXPECT_EQ(TitleBandColour(y), TitleBandColour(kTitleBandHeight - y));
  }
}

}  // namespace
}  // namespace pq::skin
