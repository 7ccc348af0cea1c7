// The skinned window under Xvfb with real pointer events: window images, dragging by the
// title band and the title image, resizing by the edges down to the minimum, maximising.
#include <gtest/gtest.h>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"
#include "skin/widgets/picture_region.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pq::skin::Rect;
using pqtest::MoveTo;
using pqtest::WaitFor;

class SkinWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = std::make_unique<pqtest::SkinDemoWindow>(Rect{60, 50, 900, 600});
    ASSERT_TRUE(WaitFor([&] { return WindowIs(Rect{60, 50, 900, 600}); }))
        << "window not placed";
    ASSERT_TRUE(WaitFor([&] { return demo->LaidOut(); })) << "pictures not placed";
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    pqtest::Release();
    demo.reset();
    pqtest::Flush();
  }
  Rect Window() const { return demo->skin->WindowRect(); }
  bool WindowIs(const Rect& r) const {
    return gtk_widget_get_mapped(GTK_WIDGET(demo->skin->Window())) && Window() == r;
  }
  // Screen point of a window image, (dx, dy) from its top-left corner.
  std::pair<int, int> ImagePoint(const char* name, int dx, int dy) const {
    return demo->ScreenPoint(demo->skin->Image(name)->Widget(), dx, dy);
  }
  std::string Picture(const char* name) const { return demo->skin->ImagePicture(name); }
  // Waits (bounded) until the image shows the picture; answers what it shows.
  std::string PictureBecomes(const char* name, const std::string& picture) const {
    WaitFor([&] { return Picture(name) == picture; }, 2000);
    return Picture(name);
  }

  std::unique_ptr<pqtest::SkinDemoWindow> demo;
};

TEST_F(SkinWindow, WindowImageHoversPressesAndIgnoresAReleaseOutside) {
  auto [x, y] = ImagePoint("ImgClose", 8, 8);
  MoveTo(x, y);
  MoveTo(x + 2, y + 1);
  EXPECT_EQ(PictureBecomes("ImgClose", "ImgCloseHover"), "ImgCloseHover");
  pqtest::Press();
  EXPECT_EQ(PictureBecomes("ImgClose", "ImgCloseClick"), "ImgCloseClick");
  MoveTo(x - 60, y + 20);  // off the image, over the title band
  EXPECT_EQ(PictureBecomes("ImgClose", "ImgCloseNorm"), "ImgCloseNorm");
  pqtest::Release();
  pqtest::Flush();
  EXPECT_EQ(Picture("ImgClose"), "ImgCloseNorm");
  EXPECT_TRUE(demo->events.empty()) << demo->LastEvent();
  EXPECT_EQ(Window(), (Rect{60, 50, 900, 600})) << "the press on the image moved nothing";

  // Pressed and released inside: the image acts.
  MoveTo(x, y);
  pqtest::Press();
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return demo->LastEvent() == "Close"; })) << demo->LastEvent();
  EXPECT_EQ(Picture("ImgClose"), "ImgCloseNorm");

  // Leaving the image restores its normal picture.
  auto [hx, hy] = ImagePoint("ImgHelp", 20, 8);
  MoveTo(hx, hy);
  MoveTo(hx + 1, hy);
  EXPECT_EQ(PictureBecomes("ImgHelp", "ImgHelpHover"), "ImgHelpHover");
  MoveTo(hx, hy + 200);
  EXPECT_EQ(PictureBecomes("ImgHelp", "ImgHelpNorm"), "ImgHelpNorm");
  MoveTo(hx, hy);
  pqtest::Press();
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return demo->LastEvent() == "Help"; })) << demo->LastEvent();
}

TEST_F(SkinWindow, DraggingTheTitleBandMovesTheWindow) {
  const Rect before = Window();
  const int x = before.x + 400, y = before.y + 30;
  MoveTo(x, y);
  pqtest::Press();
  for (int step = 1; step <= 5; ++step) MoveTo(x + 30 * step, y + 16 * step);
  // The window follows the pointer while the button is still down.
  EXPECT_TRUE(WaitFor([&] { return WindowIs(Rect{before.x + 150, before.y + 80, 900, 600}); }))
      << "window at " << Window().x << "," << Window().y;
  pqtest::Release();
  pqtest::Flush();
  EXPECT_EQ(Window(), (Rect{before.x + 150, before.y + 80, 900, 600}));

  // The title image drags too.
  const Rect now = Window();
  auto [tx, ty] = demo->ScreenPoint(demo->skin->Image("Image1")->Widget(), 40, 15);
  MoveTo(tx, ty);
  pqtest::Press();
  MoveTo(tx - 50, ty + 10);
  MoveTo(tx - 100, ty + 20);
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return WindowIs(Rect{now.x - 100, now.y + 20, 900, 600}); }))
      << "window at " << Window().x << "," << Window().y;
}

TEST_F(SkinWindow, EdgesResizeAndStopAtTheMinimum) {
  const Rect r = Window();
  // Hovering over the right edge shows the west-east cursor.
  MoveTo(r.Right() - 4, r.y + 300);
  MoveTo(r.Right() - 3, r.y + 301);
  EXPECT_TRUE(WaitFor([&] { return demo->skin->Cursor() == pq::skin::CursorKind::WestEast; }));
  pqtest::Press();
  MoveTo(r.Right() + 40, r.y + 300);
  MoveTo(r.Right() + 97, r.y + 300);
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return WindowIs(Rect{r.x, r.y, 1000, 600}); }))
      << "width " << Window().width;

  // The left edge dragged far to the right stops at the minimum width; the right edge stays.
  const Rect wide = Window();
  MoveTo(wide.x + 4, wide.y + 300);
  pqtest::Press();
  for (int step = 1; step <= 4; ++step) MoveTo(wide.x + 4 + 150 * step, wide.y + 300);
  EXPECT_TRUE(WaitFor([&] {
    return WindowIs(Rect{wide.Right() - pq::skin::kMinWidth, wide.y, pq::skin::kMinWidth, 600});
  })) << "at " << Window().x << " width " << Window().width;
  pqtest::Release();

  // The bottom-right corner resizes both ways, down to the minimum height.
  const Rect small = Window();
  MoveTo(small.Right() - 3, small.Bottom() - 3);
  pqtest::Press();
  MoveTo(small.Right() + 20, small.Bottom() - 100);
  MoveTo(small.Right() + 50, small.Bottom() - 600);
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] {
    return WindowIs(Rect{small.x, small.y, small.width + 53, pq::skin::kMinHeight});
  })) << "size " << Window().width << "x" << Window().height;
  // The window images follow the right edge.
  EXPECT_TRUE(WaitFor([&] { return demo->LaidOut(); }))
      << demo->skin->Layout().ImgClose.x << " for width " << Window().width;
}

TEST_F(SkinWindow, MaximiseThenRestoreReturnsToTheSameRectangle) {
  const Rect before = Window();
  auto [x, y] = ImagePoint("ImgNormMax", 10, 10);
  MoveTo(x, y);
  pqtest::Press();
  pqtest::Release();
  const Rect work = demo->skin->WorkArea();
  EXPECT_TRUE(WaitFor([&] { return WindowIs(work); }))
      << "maximised to " << Window().width << "x" << Window().height;
  EXPECT_TRUE(demo->skin->WindowMaximized());
  EXPECT_EQ(PictureBecomes("ImgNormMax", "ImgNormNorm"), "ImgNormNorm");
  ASSERT_TRUE(WaitFor([&] { return demo->LaidOut(); })) << "pictures not placed for the new size";
  pqtest::Shot("-maximised");

  // While maximised the title band does not drag.
  MoveTo(work.x + 500, work.y + 40);
  pqtest::Press();
  MoveTo(work.x + 600, work.y + 140);
  pqtest::Release();
  pqtest::Flush();
  EXPECT_EQ(Window(), work);

  auto [mx, my] = ImagePoint("ImgNormMax", 10, 10);
  MoveTo(mx, my);
  pqtest::Press();
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return WindowIs(before); }))
      << "restored to " << Window().x << "," << Window().y << " " << Window().width << "x"
      << Window().height;
  EXPECT_FALSE(demo->skin->WindowMaximized());
  EXPECT_EQ(PictureBecomes("ImgNormMax", "ImgMaxNorm"), "ImgMaxNorm");
}

}  // namespace

namespace {

// A window shaped from a picture whose top-left pixel (magenta) marks what is transparent.
TEST(ShapedWindow, ShowsOnlyTheNonMagentaPixels) {
  pqtest::ShotOnFailure keep;
  GdkPixbuf* picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 200, 120);
  gdk_pixbuf_fill(picture, 0xff00ffff);
  // A green ellipse on magenta.
  guchar* px = gdk_pixbuf_get_pixels(picture);
  const int stride = gdk_pixbuf_get_rowstride(picture);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) {
      const double dx = (x - 100) / 95.0, dy = (y - 60) / 55.0;
      if (dx * dx + dy * dy <= 1) {
        guchar* p = px + y * stride + x * 3;
        p[0] = 32, p[1] = 200, p[2] = 32;
      }
    }
  GtkWidget* window = gtk_window_new(GTK_WINDOW_POPUP);
  gtk_window_move(GTK_WINDOW(window), 900, 700);
  gtk_widget_set_size_request(window, 200, 120);
  GtkWidget* image = gtk_image_new_from_pixbuf(picture);
  gtk_container_add(GTK_CONTAINER(window), image);
  gtk_widget_show_all(window);
  pq::skin::ShapeWindowFromPicture(window, picture);
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(window); }));
  pqtest::Flush();
  const std::string shot = pqtest::Shot("");
  GdkPixbuf* screen = gdk_pixbuf_new_from_file(shot.c_str(), nullptr);
  ASSERT_NE(screen, nullptr);
  const guchar* s = gdk_pixbuf_get_pixels(screen);
  const int sstride = gdk_pixbuf_get_rowstride(screen);
  const int n = gdk_pixbuf_get_n_channels(screen);
  auto at = [&](int x, int y) { return s + (700 + y) * sstride + (900 + x) * n; };
  EXPECT_EQ(at(100, 60)[1], 200) << "the ellipse shows";
  EXPECT_EQ(at(2, 2)[0], 0) << "the magenta corner is cut away (black root shows)";
  EXPECT_EQ(at(2, 2)[2], 0);
  EXPECT_EQ(at(197, 117)[0], 0);
  g_object_unref(screen);
  gtk_widget_destroy(window);
  g_object_unref(picture);
}

}  // namespace
