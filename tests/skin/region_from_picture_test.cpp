#include "skin/region_from_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/widgets/picture_region.h"

namespace pq::skin {
namespace {

// '.' is the transparent colour (it stands in the top-left corner), anything else is opaque.
PictureView FromRows(const std::vector<std::string>& rows) {
  PictureView v;
  v.height = static_cast<int>(rows.size());
  v.width = static_cast<int>(rows[0].size());
  v.pixel = [rows](int x, int y) { return static_cast<std::uint32_t>(rows[y][x]); };
  return v;
}

TEST(RegionFromPicture, RunsOfOpaquePixelsAroundAHole) {
  const auto runs = RegionFromPicture(FromRows({
      ".....",
      ".###.",
      ".#.##",
      ".###.",
  }));
  const std::vector<Rect> expected{
      {1, 1, 3, 1},
      {1, 2, 1, 1}, {3, 2, 2, 1},  // the hole splits the row; the run reaches the row's end
      {1, 3, 3, 1},
  };
  EXPECT_EQ(runs, expected);
}

TEST(RegionFromPicture, TransparentColourIsWhateverTheCornerHolds) {
  // Magenta corner: every other colour, including white, is part of the shape.
  const auto runs = RegionFromPicture(FromRows({"MwM", "wwM"}));
  EXPECT_EQ(runs, (std::vector<Rect>{{1, 0, 1, 1}, {0, 1, 2, 1}}));
  EXPECT_TRUE(RegionFromPicture(FromRows({"..", ".."})).empty());
  EXPECT_TRUE(RegionFromPicture(PictureView{}).empty());
}

TEST(RegionFromPixbuf, MagentaBackgroundGivesTheShapeOfTheRest) {
  GdkPixbuf* p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 6, 4);
  gdk_pixbuf_fill(p, 0xff00ffff);  // magenta
  // A 4 x 2 opaque block with a transparent pixel in it.
  guchar* px = gdk_pixbuf_get_pixels(p);
  const int stride = gdk_pixbuf_get_rowstride(p);
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 4; ++x) {
      if (x == 2 && y == 2) continue;
      guchar* q = px + y * stride + x * 3;
      q[0] = 0x20, q[1] = 0x80, q[2] = 0x20;
    }
  RegionRef r = RegionFromPixbuf(p);
  EXPECT_EQ(cairo_region_contains_point(r.get(), 1, 1), TRUE);
  EXPECT_EQ(cairo_region_contains_point(r.get(), 4, 2), TRUE);
  EXPECT_EQ(cairo_region_contains_point(r.get(), 2, 2), FALSE);
  EXPECT_EQ(cairo_region_contains_point(r.get(), 0, 0), FALSE);
  EXPECT_EQ(cairo_region_contains_point(r.get(), 5, 1), FALSE);
  cairo_rectangle_int_t box;
  cairo_region_get_extents(r.get(), &box);
  EXPECT_EQ(box.x, 1);
  EXPECT_EQ(box.width, 4);
  EXPECT_EQ(box.height, 2);
  g_object_unref(p);
}

}  // namespace
}  // namespace pq::skin
