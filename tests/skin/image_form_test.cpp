#include "skin/widgets/image_form.h"

#include <gtest/gtest.h>

#include "skin/skin_pictures.h"

namespace pq::skin {
namespace {

TEST(ImageForm, EveryPictureOfTheSkinIsThere) {
  ImageForm& form = ImageForm::Default();
  for (const auto& name : RequiredPictureNames()) {
    EXPECT_TRUE(form.Has(name)) << name;
    EXPECT_NE(form.Pixbuf(name, 1), nullptr) << name << " does not load";
  }
}

TEST(ImageForm, NamesIgnoreLetterCase) {
  ImageForm& form = ImageForm::Default();
  EXPECT_TRUE(form.Has("imgclosenorm"));
  EXPECT_TRUE(form.Has("IMGEDITDISABLED"));
  EXPECT_EQ(form.Size("imgclosenorm"), form.Size("ImgCloseNorm"));
  EXPECT_FALSE(form.Has("ImgCloseNormal"));
  EXPECT_EQ(form.Size("nothing"), (std::pair<int, int>{0, 0}));
}

TEST(ImageForm, LooksOfOnePictureShareItsSize) {
  ImageForm& form = ImageForm::Default();
  for (const auto& button : ToolbarButtonNames())
    for (const char* look : kButtonLooks)
      EXPECT_EQ(form.Size(button + look), form.Size("BackNormal")) << button << look;
  for (const char* img : {"ImgClose", "ImgMin", "ImgMax", "ImgNorm"})
    for (const char* look : {"Norm", "Hover", "Click"})
      EXPECT_EQ(form.Size(std::string(img) + look), form.Size("ImgCloseNorm")) << img << look;
}

TEST(ImageForm, HighDensityScreensGetPicturesWithTwiceThePixels) {
  ImageForm& form = ImageForm::Default();
  auto [w, h] = form.Size("PublishNormal");
  GdkPixbuf* sharp = form.Pixbuf("PublishNormal", 2);
  ASSERT_NE(sharp, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(sharp), 2 * w);
  EXPECT_EQ(gdk_pixbuf_get_height(sharp), 2 * h);
  cairo_surface_t* s = form.Surface("PublishNormal", 2);
  double sx = 0, sy = 0;
  cairo_surface_get_device_scale(s, &sx, &sy);
  EXPECT_EQ(sx, 2.0);
}

}  // namespace
}  // namespace pq::skin
