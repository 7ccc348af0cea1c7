#include "skin/picture_button_state.h"

#include <gtest/gtest.h>

namespace pq::skin {
namespace {

constexpr int W = 40, H = 30;

class PictureButtonStateTest : public ::testing::Test {
 protected:
  void SetUp() override { b.Shown(); }
  PictureButtonState b;
};

TEST_F(PictureButtonStateTest, StartsNormalOrDisabled) {
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
  EXPECT_TRUE(b.Enabled());
  PictureButtonState off;
  off.EnabledOnStartup = false;
  off.Shown();
  EXPECT_EQ(off.Drawn(), ButtonPicture::Disabled);
  EXPECT_FALSE(off.Enabled());
  off.MouseDown();
  EXPECT_FALSE(off.MouseUp(10, 10, W, H)) << "a disabled button takes no clicks";
}

TEST_F(PictureButtonStateTest, MoveInHighlightsAndTimerRestoresOnLeave) {
  b.MouseMove(10, 10, W, H);
  EXPECT_EQ(b.Drawn(), ButtonPicture::Highlight);
  EXPECT_EQ(b.Look(), "hover");
  EXPECT_TRUE(b.OverTimerRunning());
  b.OverTimerTick(true);
  EXPECT_EQ(b.Drawn(), ButtonPicture::Highlight);
  b.OverTimerTick(false);
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
  EXPECT_EQ(b.Look(), "norm");
  EXPECT_FALSE(b.OverTimerRunning());
  EXPECT_FALSE(b.PointerOver());
}

TEST_F(PictureButtonStateTest, ClickOnlyOnReleaseInside) {
  b.MouseMove(10, 10, W, H);
  b.MouseDown();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Pressed);
  EXPECT_TRUE(b.MouseUp(10, 10, W, H));
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);

  // Press, drag out and release: no click, normal picture.
  b.MouseDown();
  b.MouseMove(60, 10, W, H);
  EXPECT_FALSE(b.MouseUp(60, 10, W, H));
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);

  // The first row and column do not count.
  b.MouseDown();
  EXPECT_FALSE(b.MouseUp(0, 10, W, H));
  b.MouseDown();
  EXPECT_FALSE(b.MouseUp(10, 0, W, H));
  b.MouseDown();
  EXPECT_TRUE(b.MouseUp(0.5, 0.5, W, H));
}

TEST_F(PictureButtonStateTest, MoveWhilePressedShowsPressedLook) {
  b.MouseDown();
  b.MouseMove(10, 10, W, H);
  EXPECT_EQ(b.Look(), "click");
  EXPECT_EQ(b.Drawn(), ButtonPicture::Pressed);
}

TEST_F(PictureButtonStateTest, DisableAndEnable) {
  b.Disable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
  b.RefreshImage();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
  b.enable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
  // enable while the pointer is over the button shows the highlight at once.
  b.MouseMove(10, 10, W, H);
  b.Disable();
  b.enable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Highlight);
}

TEST_F(PictureButtonStateTest, TmpDisableOnAnEnabledButtonKeepsTheNormalLook) {
  b.TmpDisable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
  EXPECT_FALSE(b.Enabled());
  b.MouseDown();
  EXPECT_FALSE(b.MouseUp(10, 10, W, H));
  b.TmpDisable();  // a second one changes nothing
  b.TmpEnable();
  EXPECT_TRUE(b.Enabled());
  b.MouseDown();
  EXPECT_TRUE(b.MouseUp(10, 10, W, H));
}

TEST_F(PictureButtonStateTest, TmpDisableOnADisabledButtonLeavesItDisabled) {
  b.Disable();
  b.TmpDisable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
  b.TmpEnable();
  EXPECT_FALSE(b.Enabled());
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
}

TEST_F(PictureButtonStateTest, HoverLookSurvivesATemporaryDisableUntilTheTimerSeesTheLeave) {
  b.MouseMove(10, 10, W, H);
  b.TmpDisable();
  EXPECT_EQ(b.Look(), "hover");
  b.OverTimerTick(false);  // ignored while temporarily disabled
  EXPECT_EQ(b.Look(), "hover");
  EXPECT_TRUE(b.OverTimerRunning());
  b.TmpEnable();
  b.OverTimerTick(false);
  EXPECT_EQ(b.Look(), "norm");
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
}

// Back gains its history while the page is prepared: it stays blocked until TmpEnable, and is
// enabled then; Forward losing its history meanwhile stays disabled.
TEST_F(PictureButtonStateTest, EnablingWhileTemporarilyDisabledTakesEffectAtTmpEnable) {
  b.Disable();
  b.TmpDisable();
  b.enable();
  EXPECT_FALSE(b.Enabled());
  EXPECT_EQ(b.Drawn(), ButtonPicture::Normal);
  b.MouseDown();
  EXPECT_FALSE(b.MouseUp(10, 10, W, H));
  b.TmpEnable();
  EXPECT_TRUE(b.Enabled());

  b.TmpDisable();
  b.Disable();
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
  b.TmpEnable();
  EXPECT_FALSE(b.Enabled());
  EXPECT_EQ(b.Drawn(), ButtonPicture::Disabled);
}

TEST_F(PictureButtonStateTest, TmpEnableWithoutTmpDisableChangesNothing) {
  b.TmpEnable();
  EXPECT_TRUE(b.Enabled());
}

}  // namespace
}  // namespace pq::skin
