#include "skin/window_images.h"

#include <gtest/gtest.h>

#include <map>

namespace pq::skin {
namespace {

class WindowImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    images.SetImage = [this](const std::string& c, const std::string& p) { shown[c] = p; };
    for (const char* n : {"ImgClose", "ImgMin", "ImgNormMax", "ImgHelp"}) {
      images.SetImageSize(n, 21, 21);
      shown[n] = images.PictureName(n, "Norm");
    }
  }
  WindowImages images;
  std::map<std::string, std::string> shown;
};

TEST_F(WindowImagesTest, HoverShowsTheHoverPictureOnTheSecondMovement) {
  images.ButtonHover("ImgClose", 5, 5);  // arrives from elsewhere
  EXPECT_EQ(shown["ImgClose"], "ImgCloseNorm");
  images.ButtonHover("ImgClose", 6, 5);
  EXPECT_EQ(shown["ImgClose"], "ImgCloseHover");
  EXPECT_EQ(images.HoverButton, "ImgClose");
  // Moving on to another image restores the first.
  images.ButtonHover("ImgMin", 5, 5);
  EXPECT_EQ(shown["ImgClose"], "ImgCloseNorm");
  EXPECT_EQ(images.LastButtonUnderMouse, "ImgMin");
}

TEST_F(WindowImagesTest, PressShowsClickAndReleaseInsideActs) {
  images.ButtonDown("ImgMin");
  EXPECT_EQ(shown["ImgMin"], "ImgMinClick");
  EXPECT_TRUE(images.ButtonUp("ImgMin", 20, 20));
  EXPECT_EQ(shown["ImgMin"], "ImgMinNorm");
  EXPECT_FALSE(images.ButtonPressed);
}

TEST_F(WindowImagesTest, DragOutRestoresAndReleaseOutsideDoesNothing) {
  images.ButtonHover("ImgClose", 5, 5);
  images.ButtonDown("ImgClose");
  EXPECT_EQ(shown["ImgClose"], "ImgCloseClick");
  images.ButtonHover("ImgClose", 30, 5);  // still grabbed, outside
  EXPECT_EQ(shown["ImgClose"], "ImgCloseNorm");
  images.ButtonHover("ImgClose", 31, 5);
  images.ButtonHover("ImgClose", 10, 5);  // back inside while pressed
  EXPECT_EQ(shown["ImgClose"], "ImgCloseClick");
  EXPECT_FALSE(images.ButtonUp("ImgClose", 21, 0));  // x = width is outside
  EXPECT_FALSE(images.ButtonUp("ImgClose", -1, 3));
  EXPECT_EQ(shown["ImgClose"], "ImgCloseNorm");
}

TEST_F(WindowImagesTest, MaximiseImageShowsTheGlyphOfTheWindowState) {
  EXPECT_EQ(images.PictureName("ImgNormMax", "Hover"), "ImgMaxHover");
  images.WindowMaximized = true;
  EXPECT_EQ(images.PictureName("ImgNormMax", "Hover"), "ImgNormHover");
  images.ButtonDown("ImgNormMax");
  EXPECT_EQ(shown["ImgNormMax"], "ImgNormClick");
  images.RestoreButtons();
  EXPECT_EQ(shown["ImgNormMax"], "ImgNormNorm");
  EXPECT_EQ(images.LastButtonUnderMouse, "");
}

}  // namespace
}  // namespace pq::skin
