// The demonstration window of the skin, shown on Xvfb: screenshots of the window and of both
// notices, which are answered with real clicks.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pqtest::Pump;
using pqtest::WaitFor;

// Clicks a button of the dialog that is showing, from inside its modal loop.
struct DialogClicker {
  GtkWidget** button;
  bool uncheck;
  GtkWidget* check;
  std::string shot;
};

gboolean ClickWhenShown(gpointer data) {
  auto* c = static_cast<DialogClicker*>(data);
  if (!*c->button || !gtk_widget_get_mapped(*c->button)) return G_SOURCE_CONTINUE;
  if (!c->shot.empty()) {
    c->shot = pqtest::Shot(c->shot);
    c->shot.clear();
    return G_SOURCE_CONTINUE;  // one more round so the picture is taken before the click
  }
  auto click = [](GtkWidget* w) {
    GdkWindow* gw = gtk_widget_get_window(gtk_widget_get_toplevel(w));
    int ox = 0, oy = 0, x = 0, y = 0;
    gdk_window_get_origin(gw, &ox, &oy);
    gtk_widget_translate_coordinates(w, gtk_widget_get_toplevel(w), 4, 4, &x, &y);
    pqtest::RunCommand({"xdotool", "mousemove", "--sync", std::to_string(ox + x),
                        std::to_string(oy + y), "click", "1"});
  };
  if (c->uncheck) {
    click(c->check);
    c->uncheck = false;
    return G_SOURCE_CONTINUE;
  }
  click(*c->button);
  return G_SOURCE_REMOVE;
}

TEST(SkinDemo, ShowsTheSkinnedWindowWithItsControls) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->window())); }));
  Pump(400);
  EXPECT_FALSE(demo.skin->WindowManagerMoves()) << "Xvfb has no window manager";
  EXPECT_EQ(demo.skin->ImagePicture("ImgClose"), "ImgCloseNorm");
  EXPECT_EQ(demo.skin->ImagePicture("ImgNormMax"), "ImgMaxNorm");
  EXPECT_EQ(demo.buttons["Forward"]->ShownPicture(), "ForwardDisabled");
  EXPECT_EQ(demo.buttons["Paste"]->ShownPicture(), "PasteDisabled");
  EXPECT_EQ(demo.buttons["Back"]->ShownPicture(), "BackNormal");
  const std::string shot = pqtest::Shot("");
  EXPECT_TRUE(std::filesystem::exists(shot));
}

TEST(SkinDemo, HoverAndPressedLooks) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->window())); }));
  Pump(300);
  // The pointer over Home, then held down on Publish; the drop button lit.
  auto [hx, hy] = demo.ScreenPoint(demo.buttons["Home"]->widget(), 20, 20);
  pqtest::MoveTo(hx, hy);
  ASSERT_TRUE(WaitFor([&] { return demo.buttons["Home"]->ShownPicture() == "HomeHighlight"; }));
  pqtest::Shot("-highlight");
  auto [px, py] = demo.ScreenPoint(demo.buttons["Publish"]->widget(), 20, 20);
  pqtest::MoveTo(px, py);
  pqtest::Press();
  ASSERT_TRUE(WaitFor([&] { return demo.buttons["Publish"]->ShownPicture() == "PublishPressed"; }));
  pqtest::Shot("-pressed");
  pqtest::Release();
  auto [cx, cy] = demo.ScreenPoint(demo.skin->Image("ImgClose")->widget(), 8, 8);
  pqtest::MoveTo(cx, cy);
  pqtest::MoveTo(cx + 1, cy + 1);
  ASSERT_TRUE(WaitFor([&] { return demo.skin->ImagePicture("ImgClose") == "ImgCloseHover"; }));
  pqtest::Shot("-close-hover");
}

TEST(SkinDemo, LinkNoticeAnswersYesAndStoresItsBox) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->window())); }));
  Pump(300);
  // The notice is created inside the handler; find its Yes button once it shows.
  static GtkWidget* yes = nullptr;
  static GtkWidget* check = nullptr;
  yes = check = nullptr;
  guint finder = g_timeout_add(50, [](gpointer) -> gboolean {
    for (GList* l = gtk_window_list_toplevels(); l; l = l->next) {
      auto* w = GTK_WIDGET(l->data);
      if (GTK_IS_DIALOG(w) && gtk_widget_get_mapped(w) &&
          g_strcmp0(gtk_window_get_title(GTK_WINDOW(w)), "Link Amended") == 0) {
        yes = gtk_dialog_get_widget_for_response(GTK_DIALOG(w), 1);
      }
    }
    return G_SOURCE_CONTINUE;
  }, nullptr);
  DialogClicker clicker{&yes, false, nullptr, "-link-notice"};
  g_timeout_add(100, ClickWhenShown, &clicker);
  gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton));
  g_source_remove(finder);
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 1");
  EXPECT_EQ(demo.settings.GetSetting("HideMsg", "LinkAmend"), "Y");
  // Switched off now: answered without a window.
  gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton));
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 0");
  (void)check;
}

TEST(SkinDemo, LayoutNoticeWithItsBoxClearedComesAgain) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->window())); }));
  Pump(300);
  static GtkWidget* ok = nullptr;
  static GtkWidget* check = nullptr;
  ok = check = nullptr;
  guint finder = g_timeout_add(50, [](gpointer) -> gboolean {
    for (GList* l = gtk_window_list_toplevels(); l; l = l->next) {
      auto* w = GTK_WIDGET(l->data);
      if (GTK_IS_DIALOG(w) && gtk_widget_get_mapped(w) &&
          g_strcmp0(gtk_window_get_title(GTK_WINDOW(w)), "Layout may differ") == 0) {
        ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(w), 3);
        // The check box is the only toggle button of the notice.
        std::function<void(GtkWidget*)> find = [&](GtkWidget* x) {
          if (GTK_IS_CHECK_BUTTON(x)) check = x;
          if (GTK_IS_CONTAINER(x)) {
            GList* kids = gtk_container_get_children(GTK_CONTAINER(x));
            for (GList* k = kids; k; k = k->next) find(GTK_WIDGET(k->data));
            g_list_free(kids);
          }
        };
        find(w);
      }
    }
    return G_SOURCE_CONTINUE;
  }, nullptr);
  DialogClicker clicker{&ok, true, nullptr, "-layout-notice"};
  guint waiter = g_timeout_add(100, [](gpointer data) -> gboolean {
    auto* c = static_cast<DialogClicker*>(data);
    if (!check) return G_SOURCE_CONTINUE;
    c->check = check;
    g_timeout_add(100, ClickWhenShown, c);
    return G_SOURCE_REMOVE;
  }, &clicker);
  gtk_button_clicked(GTK_BUTTON(demo.layoutNoticeButton));
  g_source_remove(finder);
  (void)waiter;
  EXPECT_EQ(demo.settings.GetSetting("HideMsg", "DifferentLayout"), "N");
}

}  // namespace
