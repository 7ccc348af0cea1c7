// The skinned window under a real window manager (openbox on Xvfb): dragging and resizing are
// handed to the window manager and give the same results as the skin's own handling.
#include <gtest/gtest.h>

#include <thread>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"
#include "e2e/window_manager_on_xvfb.h"

namespace {

using pqtest::GtkOnXvfbWithWindowManager;

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new GtkOnXvfbWithWindowManager);

using pq::skin::Rect;
using pqtest::MoveTo;
using pqtest::WaitFor;

class SkinUnderWindowManager : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GtkOnXvfbWithWindowManager::haveWm) GTEST_SKIP() << "openbox is not installed";
    demo = std::make_unique<pqtest::SkinDemoWindow>(Rect{60, 50, 900, 600});
    ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo->skin->Window())); }));
    ASSERT_TRUE(WaitFor([&] { return demo->LaidOut(); })) << "pictures not placed";
    // The window manager has placed the window and given it the focus: clicks reach it now.
    ASSERT_TRUE(WaitFor([&] { return gtk_window_is_active(demo->skin->Window()); })) << "the window has no focus";
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    pqtest::Release();
    demo.reset();
    pqtest::Flush();
  }
  Rect Window() const { return demo->skin->WindowRect(); }
  std::unique_ptr<pqtest::SkinDemoWindow> demo;
};

TEST_F(SkinUnderWindowManager, TheWindowManagerMovesAndResizes) {
  ASSERT_TRUE(demo->skin->WindowManagerMoves());
  const Rect before = Window();
  EXPECT_EQ(before.width, 900);
  MoveTo(before.x + 400, before.y + 30);
  pqtest::Press();
  for (int step = 1; step <= 5; ++step) MoveTo(before.x + 400 + 30 * step, before.y + 30 + 16 * step);
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] {
    const Rect r = Window();
    return r.x == before.x + 150 && r.y == before.y + 80 && r.width == 900;
  })) << "window at " << Window().x << "," << Window().y;

  // The left edge far to the right: the window manager stops at the minimum width.
  const Rect moved = Window();
  MoveTo(moved.x + 4, moved.y + 300);
  pqtest::Press();
  for (int step = 1; step <= 4; ++step) MoveTo(moved.x + 4 + 150 * step, moved.y + 300);
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] {
    const Rect r = Window();
    return r.width == pq::skin::kMinWidth && r.Right() == moved.Right();
  })) << "at " << Window().x << " width " << Window().width;
}

TEST_F(SkinUnderWindowManager, MaximiseAndRestore) {
  const Rect before = Window();
  auto [x, y] = demo->ScreenPoint(demo->skin->Image("ImgNormMax")->Widget(), 10, 10);
  MoveTo(x, y);
  pqtest::Press();
  pqtest::Release();
  const Rect work = demo->skin->WorkArea();
  EXPECT_TRUE(WaitFor([&] { return Window() == work; }))
      << Window().x << "," << Window().y << " " << Window().width << "x" << Window().height;
  ASSERT_TRUE(WaitFor([&] { return demo->LaidOut(); })) << "the pictures did not follow the new size";
  auto [mx, my] = demo->ScreenPoint(demo->skin->Image("ImgNormMax")->Widget(), 10, 10);
  MoveTo(mx, my);
  pqtest::Press();
  pqtest::Release();
  EXPECT_TRUE(WaitFor([&] { return Window() == before; }))
      << Window().x << "," << Window().y << " " << Window().width << "x" << Window().height;
}

TEST_F(SkinUnderWindowManager, MinimiseImageIconifiesTheWindow) {
  auto [x, y] = demo->ScreenPoint(demo->skin->Image("ImgMin")->Widget(), 10, 10);
  MoveTo(x, y);
  pqtest::Press();
  pqtest::Release();
  GdkWindow* w = gtk_widget_get_window(GTK_WIDGET(demo->skin->Window()));
  EXPECT_TRUE(WaitFor([&] { return (gdk_window_get_state(w) & GDK_WINDOW_STATE_ICONIFIED) != 0; }));
}

}  // namespace
