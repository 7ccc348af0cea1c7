// The demonstration window of the skin, shown on Xvfb: screenshots of the window and of both
// notices, which are answered with real clicks.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pqtest::WaitFor;

GtkWidget* FindDialog(const std::string& title) {
  GtkWidget* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* l = all; l; l = l->next)
    if (GTK_IS_DIALOG(l->data) && gtk_widget_get_mapped(GTK_WIDGET(l->data)) &&
        title == gtk_window_get_title(GTK_WINDOW(l->data)))
      found = GTK_WIDGET(l->data);
  g_list_free(all);
  return found;
}

GtkWidget* FindCheckBox(GtkWidget* w) {
  if (GTK_IS_CHECK_BUTTON(w)) return w;
  GtkWidget* found = nullptr;
  if (GTK_IS_CONTAINER(w)) {
    GList* kids = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* k = kids; k && !found; k = k->next) found = FindCheckBox(GTK_WIDGET(k->data));
    g_list_free(kids);
  }
  return found;
}

// A real click in the middle of a widget of a dialog.
void ClickWidget(GtkWidget* w) {
  GtkWidget* top = gtk_widget_get_toplevel(w);
  int ox = 0, oy = 0, x = 0, y = 0;
  gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
  gtk_widget_translate_coordinates(w, top, 6, gtk_widget_get_allocated_height(w) / 2, &x, &y);
  pqtest::RunCommand({"xdotool", "mousemove", "--sync", std::to_string(ox + x),
                      std::to_string(oy + y), "click", "1"},
                     "", std::chrono::seconds(10));
}

// Answers the modal notice titled `title` from inside its loop once it shows, after a
// screenshot; a notice still open after 15 s is closed so that the test fails, not hangs.
struct NoticeDriver {
  std::string title;
  std::string shotSuffix;
  std::function<void(GtkWidget* dialog)> answer;
  bool shot = false;
  bool answered = false;
};

gboolean DriveNotice(gpointer data) {
  auto* d = static_cast<NoticeDriver*>(data);
  GtkWidget* dialog = FindDialog(d->title);
  if (!dialog) return G_SOURCE_CONTINUE;
  if (!d->shot) {
    d->shot = true;
    pqtest::Shot(d->shotSuffix);
    return G_SOURCE_CONTINUE;
  }
  d->answer(dialog);
  d->answered = true;
  return G_SOURCE_REMOVE;
}

void RunWithNotice(NoticeDriver& d, const std::function<void()>& trigger) {
  const guint drive = g_timeout_add(100, DriveNotice, &d);
  const guint guard = g_timeout_add(15000, [](gpointer data) -> gboolean {
    auto* drv = static_cast<NoticeDriver*>(data);
    if (GtkWidget* dialog = FindDialog(drv->title))
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
    return G_SOURCE_REMOVE;
  }, &d);
  trigger();
  for (guint id : {drive, guard})
    if (GSource* src = g_main_context_find_source_by_id(nullptr, id)) g_source_destroy(src);
  EXPECT_TRUE(d.answered) << "the notice \"" << d.title << "\" did not show or was not answered";
}

TEST(SkinDemo, ShowsTheSkinnedWindowWithItsControls) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
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
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
  // The pointer over Home, then held down on Publish; the drop button lit.
  auto [hx, hy] = demo.ScreenPoint(demo.buttons["Home"]->Widget(), 20, 20);
  pqtest::MoveTo(hx, hy);
  ASSERT_TRUE(WaitFor([&] { return demo.buttons["Home"]->ShownPicture() == "HomeHighlight"; }));
  pqtest::Shot("-highlight");
  auto [px, py] = demo.ScreenPoint(demo.buttons["Publish"]->Widget(), 20, 20);
  pqtest::MoveTo(px, py);
  pqtest::Press();
  ASSERT_TRUE(WaitFor([&] { return demo.buttons["Publish"]->ShownPicture() == "PublishPressed"; }));
  pqtest::Shot("-pressed");
  pqtest::Release();
  auto [cx, cy] = demo.ScreenPoint(demo.skin->Image("ImgClose")->Widget(), 8, 8);
  pqtest::MoveTo(cx, cy);
  pqtest::MoveTo(cx + 1, cy + 1);
  ASSERT_TRUE(WaitFor([&] { return demo.skin->ImagePicture("ImgClose") == "ImgCloseHover"; }));
  pqtest::Shot("-close-hover");
}

TEST(SkinDemo, LinkNoticeAnswersYesAndStoresItsBox) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
  NoticeDriver yes{"Link Amended", "-link-notice", [](GtkWidget* dialog) {
                     GtkWidget* check = FindCheckBox(dialog);
                     EXPECT_TRUE(check && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)))
                         << "ticked the first time";
                     ClickWidget(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 1));
                   }};
  RunWithNotice(yes, [&] { gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton)); });
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 1");
  EXPECT_EQ(demo.settings.GetSetting("HideMsg", "LinkAmend"), "Y");
  // Switched off now: answered without a window.
  gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton));
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 0");
}

TEST(SkinDemo, LinkNoticeNoWithItsBoxClearedComesAgain) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
  auto clearAndNo = [](GtkWidget* dialog) {
    GtkWidget* check = FindCheckBox(dialog);
    if (check && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check))) {
      ClickWidget(check);
      pqtest::Flush();
    }
    ClickWidget(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 2));
  };
  NoticeDriver no{"Link Amended", "", clearAndNo};
  RunWithNotice(no, [&] { gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton)); });
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 2");
  EXPECT_EQ(demo.settings.GetSetting("HideMsg", "LinkAmend"), "N");
  NoticeDriver again{"Link Amended", "", [](GtkWidget* dialog) {
                       GtkWidget* check = FindCheckBox(dialog);
                       EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)))
                           << "offered clear after being cleared";
                       ClickWidget(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 1));
                     }};
  RunWithNotice(again, [&] { gtk_button_clicked(GTK_BUTTON(demo.linkNoticeButton)); });
  EXPECT_EQ(demo.LastEvent(), "AskLinkChange 1");
}

TEST(SkinDemo, LayoutNoticeOkWithItsBoxTickedIsNotShownAgain) {
  pqtest::ShotOnFailure keep;
  pqtest::SkinDemoWindow demo;
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(demo.skin->Window())); }));
  pqtest::Flush();
  NoticeDriver ok{"Layout may differ", "-layout-notice", [](GtkWidget* dialog) {
                    ClickWidget(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 3));
                  }};
  RunWithNotice(ok, [&] { gtk_button_clicked(GTK_BUTTON(demo.layoutNoticeButton)); });
  EXPECT_EQ(demo.settings.GetSetting("HideMsg", "DifferentLayout"), "Y");
  gtk_button_clicked(GTK_BUTTON(demo.layoutNoticeButton));
  EXPECT_EQ(demo.LastEvent(), "ShowLayoutNotice");
  EXPECT_FALSE(FindDialog("Layout may differ"));
}

}  // namespace
