// The demonstration window on a screen with twice the pixel density (GDK_SCALE=2): the skin's
// pictures are drawn from their vector sources at the screen's density, not magnified.
#include <gtest/gtest.h>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"

namespace {

testing::Environment* const kEnv =
    testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb(2, 2200, 1500));

using pqtest::WaitFor;

TEST(SkinHiDpi, PicturesAreDrawnAtTheScreenDensity) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo({20, 20, 1000, 660});
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
  EXPECT_EQ(gtk_widget_get_scale_factor(GTK_WIDGET(demo.skin->Window())), 2);
  // Logical geometry is unchanged; the screen shows twice the pixels.
  GtkWidget* back = demo.buttons["Back"]->Widget();
  EXPECT_EQ(gtk_widget_get_allocated_width(back), 58);
  GdkWindow* top = gtk_widget_get_window(GTK_WIDGET(demo.skin->Window()));
  EXPECT_EQ(gdk_window_get_width(top), 1000);
  const std::string shot = pqtest::Shot("");
  GError* error = nullptr;
  GdkPixbuf* screen = gdk_pixbuf_new_from_file(shot.c_str(), &error);
  ASSERT_NE(screen, nullptr) << (error ? error->message : "");
  // The window covers 2000 x 1320 screen pixels from (40, 40).
  const guchar* px = gdk_pixbuf_get_pixels(screen);
  const int stride = gdk_pixbuf_get_rowstride(screen);
  const int n = gdk_pixbuf_get_n_channels(screen);
  auto at = [&](int x, int y) { return px + y * stride + x * n; };
  // Inside the tab strip far below the buttons: its green fill.
  const guchar* strip = at(40 + 2 * 900, 40 + 2 * 180);
  EXPECT_EQ(strip[0], 32);
  EXPECT_EQ(strip[1], 200);
  EXPECT_EQ(strip[2], 32);
  g_object_unref(screen);
}

}  // namespace
