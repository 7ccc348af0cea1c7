#include "shell/toolbar.h"

#include <gtest/gtest.h>

namespace {

using pq::ToolbarButton;
using pq::skin::Rect;

Rect At(const pq::ToolbarRects& r, ToolbarButton b) { return r[pq::Index(b)]; }

TEST(ToolbarLayoutTest, EditingButtonsMoveOverTheNavigationButtonsKeepingTheirSpacing) {
  pq::ToolbarRects design{};
  // A design with uneven spacing and sizes, to show that only the shift is applied.
  const int xs[] = {10, 70, 130, 190, 250, 400, 455, 520, 580, 640, 700, 760, 830, 0, 0};
  for (int i = 0; i < pq::kToolbarButtonCount; ++i) design[i] = {xs[i], 82, 58, 50};
  design[pq::Index(ToolbarButton::Undo)].width = 62;
  design[pq::Index(ToolbarButton::Preview)] = {900, 200, 70, 56};
  design[pq::Index(ToolbarButton::Publish)] = {990, 200, 66, 56};

  const pq::ToolbarRects r = pq::LayoutToolbar(design);
  const int shift = 400 - 10;
  for (int i = pq::Index(ToolbarButton::Cut); i <= pq::Index(ToolbarButton::Redo); ++i)
    EXPECT_EQ(r[i], (Rect{xs[i] - shift, 82, design[i].width, 50})) << i;
  EXPECT_EQ(At(r, ToolbarButton::Cut).x, At(r, ToolbarButton::Back).x);
  for (int i = 0; i <= pq::Index(ToolbarButton::Go); ++i) EXPECT_EQ(r[i], design[i]);
  // Preview: 6 pixels higher than Redo, 25 pixels plus one Undo width right of Redo's left.
  EXPECT_EQ(At(r, ToolbarButton::Preview), (Rect{830 - shift + 25 + 62, 82 - 6, 70, 56}));
  // Publish: on Preview's line, 10 pixels right of Preview's right edge.
  EXPECT_EQ(At(r, ToolbarButton::Publish),
            (Rect{At(r, ToolbarButton::Preview).Right() + 10, 82 - 6, 66, 56}));
}

TEST(ToolbarLayoutTest, TheWindowsDesignGivesOneLineWithoutOverlaps) {
  const pq::ToolbarRects r = pq::LayoutToolbar(pq::DesignedToolbar());
  for (int i = pq::Index(ToolbarButton::Cut); i < pq::Index(ToolbarButton::Publish); ++i)
    EXPECT_LE(r[i].Right(), r[i + 1].x) << pq::ButtonLabel(static_cast<ToolbarButton>(i));
  // Everything fits in the smallest window (665 pixels wide).
  EXPECT_LE(At(r, ToolbarButton::Publish).Right(), 665 - 16);
}

TEST(ToolbarLayoutTest, LabelsNameThePictures) {
  EXPECT_STREQ(pq::ButtonLabel(ToolbarButton::Back), "Back");
  EXPECT_STREQ(pq::ButtonLabel(ToolbarButton::Underline), "Underline");
  EXPECT_STREQ(pq::ButtonLabel(ToolbarButton::Publish), "Publish");
  EXPECT_TRUE(pq::OnBrowseTab(ToolbarButton::Go));
  EXPECT_FALSE(pq::OnBrowseTab(ToolbarButton::Cut));
}

}  // namespace
