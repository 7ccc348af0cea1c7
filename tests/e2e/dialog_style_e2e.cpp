// Every dialog of the program under a real window manager (openbox on Xvfb): a modal dialog of
// the window it opens from, framed by the window manager as a dialog with no minimise or
// maximise, centred on that window; message boxes show the icon of their kind.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "e2e/publishing_e2e_support.h"
#include "editor/edit_events.h"
#include "editor/widgets/edit_menu.h"
#include "editor/widgets/web_view_editing_page.h"
#include "engine/web_view.h"
#include "publishing/problems.h"
#include "publishing/widgets/message_box.h"
#include "publishing/widgets/password_form.h"
#include "publishing/widgets/preview_form.h"
#include "publishing/widgets/problems_dialog.h"
#include "publishing/widgets/publish_complete_dialog.h"
#include "publishing/widgets/publish_form.h"
#include "shell/widgets/notices_dialogs.h"
#include "e2e/window_manager_on_xvfb.h"
#include "support/private_temp.h"

// From gdk/gdkx.h, whose X11 macros clash with the test framework's names.
extern "C" unsigned long gdk_x11_window_get_xid(GdkWindow* window);

namespace {

using pqtest::GtkOnXvfbWithWindowManager;

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new GtkOnXvfbWithWindowManager);

// What the window manager and the toolkit say about one dialog.
struct Seen {
  bool found = false;
  GdkWindowTypeHint hint = GDK_WINDOW_TYPE_HINT_NORMAL;
  GtkWindow* transientFor = nullptr;
  bool modal = false;
  bool ownTitleBand = false;
  std::string allowedActions;  // the window manager's _NET_WM_ALLOWED_ACTIONS
  std::string motifHints;      // what the dialog asks of the frame (_MOTIF_WM_HINTS)
  std::string windowType;      // _NET_WM_WINDOW_TYPE
  int centreDx = 0, centreDy = 0;  // from the parent's centre
  std::string icon;                // a message box's icon name
};

GdkRectangle Frame(GtkWidget* w) {
  GdkRectangle r{};
  if (GdkWindow* g = gtk_widget_get_window(w)) gdk_window_get_frame_extents(g, &r);
  return r;
}

std::string XProp(GtkWidget* w, const char* property) {
  GdkWindow* g = gtk_widget_get_window(w);
  if (!g) return "";
  const auto r = pqtest::RunCommand({"xprop", "-id", std::to_string(gdk_x11_window_get_xid(g)), property});
  return r.out;
}

class DialogStyle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GtkOnXvfbWithWindowManager::haveWm) GTEST_SKIP() << "openbox is not installed";
    main_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_set_title(main_, "Pagequill");
    gtk_window_set_default_size(main_, 900, 640);
    gtk_window_move(main_, 30, 20);
    gtk_widget_show_all(GTK_WIDGET(main_));
    ASSERT_TRUE(pqtest::WaitFor([&] { return gtk_window_is_active(main_); }));
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    if (main_) gtk_widget_destroy(GTK_WIDGET(main_));
    pqtest::Flush();
  }

  // Opens a dialog with `open` (which may run it modally) and looks at the shown window titled
  // `title` once the window manager has framed it; a dialog still running is then closed.
  Seen Look(const std::string& title, const std::function<void()>& open, const std::string& shot = "") {
    struct Watch {
      std::string title, shot;
      Seen seen;
      GtkWidget* parentOf = nullptr;
      int ticks = 0, framed = 0;
    } watch{title, shot, {}, GTK_WIDGET(main_), 0, 0};
    const guint source = g_timeout_add(100, [](gpointer data) -> gboolean {
      auto* w = static_cast<Watch*>(data);
      GtkWindow* dialog = pqtest::WindowTitled(w->title);
      if (!dialog) return ++w->ticks < 150 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
      GtkWidget* widget = GTK_WIDGET(dialog);
      // Framed: the window manager has said what it allows.
      const std::string allowed = XProp(widget, "_NET_WM_ALLOWED_ACTIONS");
      if (allowed.find("_NET_WM_ACTION_CLOSE") == std::string::npos && ++w->ticks < 150) return G_SOURCE_CONTINUE;
      // The frame follows the window manager's decisions a moment later.
      if (++w->framed < 5) return G_SOURCE_CONTINUE;
      Seen& s = w->seen;
      s.found = true;
      s.hint = gtk_window_get_type_hint(dialog);
      s.transientFor = gtk_window_get_transient_for(dialog);
      s.modal = gtk_window_get_modal(dialog);
      s.ownTitleBand = gtk_window_get_titlebar(dialog) != nullptr;
      s.allowedActions = allowed;
      s.windowType = XProp(widget, "_NET_WM_WINDOW_TYPE");
      s.motifHints = XProp(widget, "_MOTIF_WM_HINTS");
      GtkWidget* parent = s.transientFor ? GTK_WIDGET(s.transientFor) : w->parentOf;
      const GdkRectangle d = Frame(widget), p = Frame(parent);
      s.centreDx = (d.x + d.width / 2) - (p.x + p.width / 2);
      s.centreDy = (d.y + d.height / 2) - (p.y + p.height / 2);
      if (GtkWidget* icon = pqtest::FindByName(widget, "MessageIcon")) {
        const gchar* name = nullptr;
        gtk_image_get_icon_name(GTK_IMAGE(icon), &name, nullptr);
        s.icon = name ? name : "";
      }
      if (!w->shot.empty()) pqtest::Shot(w->shot);
      if (GTK_IS_DIALOG(dialog)) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
      return G_SOURCE_REMOVE;
    }, &watch);
    open();
    pqtest::WaitFor([&] { return watch.seen.found || watch.ticks >= 150; }, 20000);
    if (!watch.seen.found) g_source_remove(source);
    return watch.seen;
  }
  // A dialog object that is shown without being run: shown, looked at, hidden.
  Seen LookShown(const std::string& title, GtkWindow* dialog, const std::string& shot = "") {
    Seen s = Look(title, [&] { gtk_widget_show_all(GTK_WIDGET(dialog)); }, shot);
    gtk_widget_hide(GTK_WIDGET(dialog));
    return s;
  }

  void ExpectDialogOf(const Seen& s, GtkWindow* parent, const std::string& title) {
    SCOPED_TRACE(title);
    ASSERT_TRUE(s.found) << "not shown";
    EXPECT_EQ(s.hint, GDK_WINDOW_TYPE_HINT_DIALOG);
    EXPECT_NE(s.windowType.find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos) << s.windowType;
    EXPECT_EQ(s.transientFor, parent);
    EXPECT_TRUE(s.modal);
    EXPECT_FALSE(s.ownTitleBand);
    // Asked for: functions move and close only, decorations border, title and menu (flags 3).
    // Window managers differ in how far they follow it (openbox keeps its minimise button on
    // every window), but none may offer to maximise or resize it.
    EXPECT_NE(s.motifHints.find("= 0x3, 0x24, 0x1a,"), std::string::npos) << s.motifHints;
    EXPECT_EQ(s.allowedActions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << s.allowedActions;
    EXPECT_EQ(s.allowedActions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << s.allowedActions;
    EXPECT_LE(std::abs(s.centreDx), 24) << "not centred across";
    EXPECT_LE(std::abs(s.centreDy), 24) << "not centred down";
  }

  GtkWindow* main_ = nullptr;
};

TEST_F(DialogStyle, MessageBoxesAndQuestionsShowTheIconOfTheirKind) {
  struct Case {
    std::string title;
    std::function<void(GtkWindow*)> open;
    std::string icon;
  };
  const Case cases[] = {
      {"Error", [](GtkWindow* p) { pq::ShowMessage(p, "Error", "Wrong password", pq::MessageIcon::CriticalStop); },
       "dialog-error"},
      {pq::kLinkDeletedTitle,
       [](GtkWindow* p) {
         // The edit pane's own message, from a view inside the main window.
         pq::engine::WebView view;
         gtk_container_add(GTK_CONTAINER(p), view.Widget());
         pq::EditMenu menu;
         pq::WebViewEditingPage page(view, menu);
         page.ShowLinkDeleted();
       },
       "dialog-error"},
      {"Password Needed",
       [](GtkWindow* p) { pq::ShowMessage(p, "Password Needed", "Type the password.", pq::MessageIcon::Information); },
       "dialog-information"},
      {"Unpublished Changes",
       [](GtkWindow* p) { pq::AskQuestion(p, "Unpublished Changes", "Publish them first?", "Yes", "No"); },
       "dialog-question"},
  };
  for (const Case& c : cases) {
    const Seen s = Look(c.title, [&] { c.open(main_); }, c.title == "Error" ? "-error" : "");
    ExpectDialogOf(s, main_, c.title);
    EXPECT_EQ(s.icon, c.icon) << c.title;
  }
}

TEST_F(DialogStyle, NoticesAndPublishingDialogsHaveTheWindowManagersDialogFrame) {
  pqtest::PrivateTemp temp;
  pqtest::TestHost host(temp.path() + "/settings.ini");
  pq::LayoutMsgForm layout(main_);
  ExpectDialogOf(LookShown("Layout may differ", GTK_WINDOW(layout.Dialog()), "-layout"), main_, "Layout may differ");
  pq::LinkChangeFrm link(main_);
  ExpectDialogOf(LookShown("Link Amended", GTK_WINDOW(link.Dialog())), main_, "Link Amended");
  {
    pq::PublishCompleteFrm complete(main_, "http://127.0.0.1/index.htm", {"index.htm"}, nullptr);
    ExpectDialogOf(Look("Publishing Complete", [&] { complete.Run(); }, "-complete"), main_, "Publishing Complete");
  }
  {
    pq::Problems problems;
    pq::SiteStatus status;
    status.SiteReady = true;
    status.Status = pq::PageStatus::NotEditable;
    problems.SetUp(status, "http://127.0.0.1/index.htm");
    pq::ProblemsDialog dialog(problems, main_);
    ExpectDialogOf(Look("Publishing", [&] { dialog.Run(); }), main_, "Publishing");
  }
  pq::Password password(main_, host);
  ExpectDialogOf(LookShown("Publish", password.Window(), "-password"), main_, "Publish");
  pq::Publish publish(main_, host);
  ExpectDialogOf(LookShown("Publish Changes", publish.Window()), main_, "Publish Changes");
  pq::Preview preview(main_, host);
  ExpectDialogOf(LookShown("WebPage Preview", preview.Window()), main_, "WebPage Preview");
}

}  // namespace
