// Picture buttons under Xvfb with real pointer events: highlight and its timed leave, Click
// only on a release inside, disabled and temporarily disabled buttons.
#include <gtest/gtest.h>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pqtest::MoveTo;
using pqtest::WaitFor;

class PictureButtonE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = std::make_unique<pqtest::SkinDemoWindow>();
    ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(demo->buttons["Back"]->Widget()); }));
    pqtest::Flush();
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    pqtest::Release();
    demo.reset();
    pqtest::Flush();
  }
  std::pair<int, int> Point(const char* button, int dx = 20, int dy = 20) {
    return demo->ScreenPoint(demo->buttons[button]->Widget(), dx, dy);
  }
  std::string Shown(const char* button) { return demo->buttons[button]->ShownPicture(); }
  bool Becomes(const char* button, const std::string& picture, int ms = 2000) {
    return WaitFor([&] { return Shown(button) == picture; }, ms);
  }
  int Clicks(const std::string& button) {
    return static_cast<int>(std::count(demo->events.begin(), demo->events.end(), "Click " + button));
  }
  void ClickAt(std::pair<int, int> p) {
    MoveTo(p.first, p.second);
    pqtest::Press();
    pqtest::Release();
  }

  std::unique_ptr<pqtest::SkinDemoWindow> demo;
};

TEST_F(PictureButtonE2e, HighlightsUnderThePointerAndLetsGoWhenItLeaves) {
  auto p = Point("Home");
  MoveTo(p.first, p.second);
  EXPECT_TRUE(Becomes("Home", "HomeHighlight")) << Shown("Home");
  // Off the button, onto the pane: the leave timer restores the normal picture.
  MoveTo(p.first, p.second + 300);
  EXPECT_TRUE(Becomes("Home", "HomeNormal", 1000)) << Shown("Home");
  EXPECT_EQ(Clicks("Home"), 0);
}

TEST_F(PictureButtonE2e, ClickOnlyOnAReleaseInside) {
  ClickAt(Point("Back"));
  EXPECT_TRUE(WaitFor([&] { return Clicks("Back") == 1; })) << demo->LastEvent();

  // Press, drag off and release: no Click, normal picture.
  auto p = Point("Refresh");
  MoveTo(p.first, p.second);
  pqtest::Press();
  EXPECT_TRUE(Becomes("Refresh", "RefreshPressed")) << Shown("Refresh");
  MoveTo(p.first + 200, p.second + 200);
  pqtest::Release();
  pqtest::Flush();
  EXPECT_EQ(Clicks("Refresh"), 0);
  EXPECT_TRUE(Becomes("Refresh", "RefreshNormal")) << Shown("Refresh");
}

TEST_F(PictureButtonE2e, DisabledAndTemporarilyDisabledButtonsTakeNoClick) {
  EXPECT_EQ(Shown("Forward"), "ForwardDisabled");
  ClickAt(Point("Forward"));
  pqtest::Flush();
  EXPECT_EQ(Clicks("Forward"), 0);
  EXPECT_EQ(Shown("Forward"), "ForwardDisabled");

  demo->buttons["Go"]->TmpDisable();
  EXPECT_EQ(Shown("Go"), "GoNormal") << "keeps its normal look";
  ClickAt(Point("Go"));
  pqtest::Flush();
  EXPECT_EQ(Clicks("Go"), 0);
  demo->buttons["Go"]->TmpEnable();
  ClickAt(Point("Go", 22, 20));
  EXPECT_TRUE(WaitFor([&] { return Clicks("Go") == 1; }));

  // Enabled again while the pointer rests on it: highlighted at once.
  auto f = Point("Forward");
  MoveTo(f.first, f.second);
  demo->buttons["Forward"]->enable();
  pqtest::Flush();
  EXPECT_EQ(Shown("Forward"), "ForwardNormal") << "never hovered while disabled";
  MoveTo(f.first + 2, f.second + 1);
  EXPECT_TRUE(Becomes("Forward", "ForwardHighlight")) << Shown("Forward");
}

}  // namespace
