// The program's main window as the user meets it: the program object that main() runs, on a
// private Xvfb against the site server and the demo site, driven by real pointer and key
// events (xdotool).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "core/settings.h"
#include "engine/wait_until.h"
#include "main_window_point.h"
#include "pageprep/temp_files.h"
#include "publishing/widgets/problems_dialog.h"
#include "shell/widgets/pagequill_app.h"
#include "support/xvfb.h"
#include "support/child_process.h"
#include "support/canned_http_server.h"
#include "support/site_server.h"
#include "support/memory_settings.h"

namespace {

using pq::TabHeader;
using pq::ToolbarButton;
using namespace std::chrono_literals;

// --- real input

// Lets the main loop handle what real input caused.
void Pump(std::chrono::milliseconds t = 150ms) {
  pq::engine::WaitUntil([] { return false; }, t);
}

void Xdo(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  const auto r = pqtest::RunCommand(argv, "", std::chrono::seconds(10));
  EXPECT_EQ(r.exitCode, 0) << "xdotool: " << r.err;
  Pump();
}

// Records what the Edit header shows each time it becomes enabled or disabled.
class HeaderWatch {
 public:
  HeaderWatch();
  ~HeaderWatch() { g_signal_handler_disconnect(widget_, handler_); }
  std::string Changes() const { return changes_; }

 private:
  static void OnFlags(GtkWidget* w, GtkStateFlags previous, gpointer self);
  GtkWidget* widget_;
  gulong handler_ = 0;
  std::string changes_;
};

// A screenshot kept beside the failure screenshots, for looking at the product.
void Shot(const std::string& name) {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  pqtest::RunCommand({"import", "-display", display, "-window", "root", pqtest::ScreenshotDir() + "/" + name + ".png"});
}

class MainWindowTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (!pqtest::BrowseE2E::Get().ok()) return;
    // Cases here type into pages they never publish; leaving such a page asks first, and the
    // answer here is always to leave (the question itself is tested with publishing).
    g_timeout_add(200, +[](gpointer) -> gboolean {
      GList* all = gtk_window_list_toplevels();
      for (GList* w = all; w; w = w->next) {
        const char* title = gtk_window_get_title(GTK_WINDOW(w->data));
        if (title && std::string(title) == "Unpublished Changes" && GTK_IS_DIALOG(w->data) &&
            gtk_widget_get_mapped(GTK_WIDGET(w->data)))
          gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_YES);
      }
      g_list_free(all);
      return G_SOURCE_CONTINUE;
    }, nullptr);
    site_ = new pqtest::SiteServer();
    if (!site_->ok()) return;
    settings_ = new pq::MemorySettings();
    // The different-layout notice would stop each switch to the Edit tab.
    settings_->SaveSetting("HideMsg", "DifferentLayout", "Y");
    home_ = site_->url() + "/index.htm";
    service_ = site_->url() + "/check.php";
    app_ = new pq::PagequillApp(*settings_, {home_.c_str(), service_.c_str()});
    app_->Ended = [](int code) { ended_ = code; };
    startedAt_ = std::chrono::steady_clock::now();
    app_->Start();
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
    delete settings_;
    delete site_;
  }
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    ASSERT_TRUE(site_ && site_->ok()) << "the site server did not start";
    ASSERT_TRUE(app_);
    // Every case starts on the Browse tab with a page ready.
    ASSERT_TRUE(pqtest::WaitFor([] { return !W().Form().FirstActivation(); }, 30s));
    ASSERT_TRUE(WaitReady());
    if (W().State().CurrentTab != TabHeader::ImgBrowse) Click(W().Header(TabHeader::ImgBrowse).Widget(), 20, 10);
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("main_window_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  static pq::MainFormWindow& W() { return app_->Window(); }
  static std::string Url(const std::string& path) { return site_->url() + "/" + path; }

  // The screen position of a point of a widget of the main window.
  static std::pair<int, int> ScreenPoint(GtkWidget* w, int x, int y) { return pqtest::MainWindowPoint(W(), w, x, y); }
  static void Click(GtkWidget* w, int x, int y) {
    const auto [sx, sy] = ScreenPoint(w, x, y);
    Xdo({"mousemove", "--sync", std::to_string(sx + 1), std::to_string(sy)});
    Xdo({"mousemove", "--sync", std::to_string(sx), std::to_string(sy)});
    Xdo({"click", "1"});
  }
  static void ClickButton(ToolbarButton b) { Click(W().Buttons().Button(b).Widget(), 29, 25); }
  static bool EditHeaderEnabled() {
    return gtk_widget_get_sensitive(W().Header(TabHeader::ImgEdit).Widget()) &&
           W().Form().Tabs().Look(TabHeader::ImgEdit).enabled;
  }
  // The page is displayed, its edit copy loaded, the Edit header enabled.
  static bool WaitReady() {
    return pqtest::WaitFor([] {
      return EditHeaderEnabled() && !W().State().EditTabPreparing &&
             !W().BrowsePaneWidget().View().Busy();
    }, 30s);
  }
  // Types into the address box and presses Enter.
  static void TypeAddress(const std::string& text) {
    Click(W().AddressBox().TextBox(), 20, 10);
    Xdo({"key", "ctrl+a"});
    Xdo({"type", "--delay", "5", text});
    Xdo({"key", "Return"});
  }
  static std::string Shown() { return W().BrowsePaneWidget().Control().WebURL(); }

  static pqtest::SiteServer* site_;
  static pq::MemorySettings* settings_;
  static pq::PagequillApp* app_;
  static std::string home_, service_;
  static int ended_;
  static std::chrono::steady_clock::time_point startedAt_;
};

pqtest::SiteServer* MainWindowTest::site_ = nullptr;
pq::MemorySettings* MainWindowTest::settings_ = nullptr;
pq::PagequillApp* MainWindowTest::app_ = nullptr;
std::string MainWindowTest::home_, MainWindowTest::service_;
int MainWindowTest::ended_ = -1;
std::chrono::steady_clock::time_point MainWindowTest::startedAt_;

HeaderWatch::HeaderWatch() : widget_(MainWindowTest::W().Header(TabHeader::ImgEdit).Widget()) {
  handler_ = g_signal_connect(widget_, "state-flags-changed", G_CALLBACK(OnFlags), this);
}
void HeaderWatch::OnFlags(GtkWidget* w, GtkStateFlags previous, gpointer self) {
  const bool was = !(previous & GTK_STATE_FLAG_INSENSITIVE);
  const bool now = gtk_widget_get_sensitive(w);
  if (was == now) return;
  static_cast<HeaderWatch*>(self)->changes_ += std::string(now ? "enabled " : "disabled ") +
      MainWindowTest::W().Header(TabHeader::ImgEdit).Picture() + ";";
}

// Runs first (cases run in the order written): the start-up as the user sees it.
TEST_F(MainWindowTest, StartUpShowsTheSplashThenFillsTheWorkAreaWithTheHomePage) {
  ASSERT_TRUE(app_->Splash());
  EXPECT_TRUE(app_->Splash()->Check().Connected());
  EXPECT_GE(app_->Splash()->Check().Ticks(), pq::SplashCheck::kMinimumTicks);
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(app_->Splash()->Window())));
  EXPECT_EQ(W().Skin().WindowRect(), W().Skin().WorkArea());
  EXPECT_TRUE(W().State().WindowMaximized);
  EXPECT_EQ(Shown(), home_);
  EXPECT_EQ(W().AddressBox().Text(), home_);
  // The first page never enters the history.
  EXPECT_EQ(settings_->GetSetting("History", "Num1"), "");
  EXPECT_EQ(W().BrowsePaneWidget().Status().Text(), "Done");
}

TEST_F(MainWindowTest, AnAddressTypedWithEnterNavigatesAndEntersTheHistory) {
  HeaderWatch watch;
  TypeAddress(Url("about.htm"));
  ASSERT_TRUE(WaitReady());
  // The Edit header greyed while the page loaded, and came back when its edit copy was ready.
  EXPECT_EQ(watch.Changes(), "disabled ImgEditDisabled;enabled ImgEditUnselect;");
  EXPECT_EQ(Shown(), Url("about.htm"));
  EXPECT_EQ(settings_->GetSetting("History", "Num1"), Url("about.htm"));
  EXPECT_EQ(settings_->GetSetting("History", "Num2"), "");
}

TEST_F(MainWindowTest, EditTabShowsTheEditPaneAndBrowseReturns) {
  Click(W().Header(TabHeader::ImgEdit).Widget(), 40, 12);
  EXPECT_EQ(W().State().CurrentTab, TabHeader::ImgEdit);
  EXPECT_TRUE(gtk_widget_get_visible(W().EditPaneWidget().Widget()));
  EXPECT_FALSE(gtk_widget_get_visible(W().BrowsePaneWidget().Widget()));
  EXPECT_FALSE(gtk_widget_get_visible(W().AddressBox().Widget()));
  EXPECT_TRUE(gtk_widget_get_visible(W().Buttons().Button(ToolbarButton::Publish).Widget()));
  EXPECT_FALSE(gtk_widget_get_visible(W().Buttons().Button(ToolbarButton::Back).Widget()));
  EXPECT_EQ(W().Header(TabHeader::ImgEdit).Picture(), "ImgEditNorm");
  // The caret is in the first editable span, and typing changes that span.
  pq::engine::WebView& view = W().EditPaneWidget().View();
  const pq::FramePath frame = W().EditPaneWidget().Control().InitialControl().frame;
  const std::string id = W().EditPaneWidget().Control().InitialControl().id;
  EXPECT_EQ(id.rfind("ZZZEDIT", 0), 0u) << id;
  std::optional<pq::ElementInfo> active;
  EXPECT_TRUE(pqtest::WaitFor([&] {
    active = view.ActiveElement(frame);
    return active && active->id == id;
  }, 5s)) << (active ? active->id : "no active element");
  const auto before = view.ElementById(frame, id);
  ASSERT_TRUE(before);
  Xdo({"type", "--delay", "20", "Fresh "});
  Pump(300ms);
  const auto after = view.ElementById(frame, id);
  ASSERT_TRUE(after);
  EXPECT_NE(after->html, before->html);
  EXPECT_NE(after->text.find("Fresh"), std::string::npos) << after->text;
  // Put the site's text back, so that leaving the page asks nothing in the cases that follow.
  EXPECT_TRUE(view.SetElementById(frame, id, "innerHTML", before->html));
  Click(W().Header(TabHeader::ImgBrowse).Widget(), 40, 12);
  EXPECT_EQ(W().State().CurrentTab, TabHeader::ImgBrowse);
  EXPECT_TRUE(gtk_widget_get_visible(W().BrowsePaneWidget().Widget()));
  EXPECT_FALSE(gtk_widget_get_visible(W().EditPaneWidget().Widget()));
  EXPECT_EQ(W().Header(TabHeader::ImgBrowse).Picture(), "ImgBrowseNorm");
}

TEST_F(MainWindowTest, TheEditHeaderHoversUnderThePointer) {
  GtkWidget* edit = W().Header(TabHeader::ImgEdit).Widget();
  const auto [x, y] = ScreenPoint(edit, 40, 12);
  Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
  Xdo({"mousemove", "--sync", std::to_string(x + 2), std::to_string(y)});
  EXPECT_EQ(W().Header(TabHeader::ImgEdit).Picture(), "ImgEditNorm");
  EXPECT_EQ(W().State().CurrentTab, TabHeader::ImgBrowse);
  // Over the window's own surface (the title band) the hover goes.
  const auto [fx, fy] = ScreenPoint(GTK_WIDGET(W().Window()), 400, 40);
  Xdo({"mousemove", "--sync", std::to_string(fx), std::to_string(fy)});
  Xdo({"mousemove", "--sync", std::to_string(fx + 2), std::to_string(fy)});
  EXPECT_EQ(W().Header(TabHeader::ImgEdit).Picture(), "ImgEditUnselect");
}

TEST_F(MainWindowTest, ASmallWindowIsLaidOutAsTheSmallestSize) {
  const pq::skin::Rect work = W().Skin().WindowRect();
  W().Skin().SetWindowRect({work.x, work.y, 500, 300});
  ASSERT_TRUE(pqtest::WaitFor([] { return W().Skin().WindowRect().width == 500; }, 5s));
  Pump(300ms);
  const pq::skin::Rect pane = W().Skin().Layout().pane;
  EXPECT_EQ(pane.width, 665 - 2 * pane.x);
  int w = 0, h = 0;
  gtk_widget_get_size_request(W().BrowsePaneWidget().Widget(), &w, &h);
  EXPECT_EQ(w, pane.width);
  EXPECT_EQ(h, pane.height);
  W().Skin().SetWindowRect(work);
  ASSERT_TRUE(pqtest::WaitFor([&] { return W().Skin().WindowRect() == work; }, 5s));
  Pump(300ms);
  gtk_widget_get_size_request(W().BrowsePaneWidget().Widget(), &w, &h);
  EXPECT_EQ(w, work.width - 2 * pane.x);
}

TEST_F(MainWindowTest, NavigationButtons) {
  TypeAddress(Url("history.htm"));
  ASSERT_TRUE(WaitReady());
  ASSERT_EQ(Shown(), Url("history.htm"));
  ASSERT_TRUE(W().Buttons().Button(ToolbarButton::Back).State().Enabled());

  ClickButton(ToolbarButton::Back);
  ASSERT_TRUE(WaitReady());
  EXPECT_NE(Shown(), Url("history.htm"));
  EXPECT_TRUE(pqtest::WaitFor([] { return W().Buttons().Button(ToolbarButton::Forward).State().Enabled(); }, 5s));

  ClickButton(ToolbarButton::Forward);
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(Shown(), Url("history.htm"));

  ClickButton(ToolbarButton::Home);
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(Shown(), home_);

  // Refresh and Go navigate to what the address box says.
  W().AddressBox().SetText(Url("products.htm"));
  ClickButton(ToolbarButton::Refresh);
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(Shown(), Url("products.htm"));
  W().AddressBox().SetText(Url("staff.htm"));
  ClickButton(ToolbarButton::Go);
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(Shown(), Url("staff.htm"));
}

TEST_F(MainWindowTest, WhileAnEditCopyIsPreparedOnlyGoNavigates) {
  W().State().EditTabPreparing = true;  // as during a slow preparation
  const std::string before = Shown();
  ClickButton(ToolbarButton::Home);
  Pump(500ms);
  EXPECT_FALSE(W().BrowsePaneWidget().View().Busy());
  EXPECT_EQ(Shown(), before);
  W().AddressBox().SetText(Url("about.htm"));
  ClickButton(ToolbarButton::Go);
  EXPECT_TRUE(pqtest::WaitFor([] { return Shown() == Url("about.htm"); }, 20s));
  ASSERT_TRUE(WaitReady());
}

TEST_F(MainWindowTest, APageThatCannotBeDisplayedLeavesEditDisabledAndShowsDone) {
  HeaderWatch watch;
  pq::StatusBar& status = W().BrowsePaneWidget().Status();
  std::vector<std::string> statuses;
  auto previous = status.Progress().Changed;
  status.Progress().Changed = [&, previous] {
    statuses.push_back(status.Text() + " " + std::to_string(status.Progress().TargetPercent()));
    if (previous) previous();
  };
  TypeAddress("http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/nothing.htm");
  EXPECT_TRUE(pqtest::WaitFor([] {
    return W().BrowsePaneWidget().Status().Text() == "Done" && !W().BrowsePaneWidget().View().Busy();
  }, 20s));
  Pump(1s);
  status.Progress().Changed = previous;
  EXPECT_FALSE(EditHeaderEnabled());
  EXPECT_EQ(watch.Changes(), "disabled ImgEditDisabled;");
  EXPECT_EQ(W().Header(TabHeader::ImgEdit).Picture(), "ImgEditDisabled");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Done 100"), statuses.end());
  // Clicking the greyed header does nothing.
  Click(W().Header(TabHeader::ImgEdit).Widget(), 40, 12);
  EXPECT_EQ(W().State().CurrentTab, TabHeader::ImgBrowse);
  ClickButton(ToolbarButton::Home);
  ASSERT_TRUE(WaitReady());
}

TEST_F(MainWindowTest, TheHelpImageOpensTheUserGuide) {
  pq::skin::SkinImage* help = W().Skin().Image("ImgHelp");
  ASSERT_TRUE(help);
  Click(help->Widget(), 20, 9);
  ASSERT_TRUE(W().Help());
  EXPECT_TRUE(pqtest::WaitFor([] { return gtk_widget_get_visible(GTK_WIDGET(W().Help()->Window())); }, 5s));
  EXPECT_TRUE(pqtest::WaitFor([] {
    return W().Help()->View().LocationURL().find("/help/website/using.htm") != std::string::npos &&
           !W().Help()->View().Busy();
  }, 10s));
  EXPECT_NE(W().Help()->View().OuterHTML({}).find("Using Pagequill"), std::string::npos);
  Pump(2s);
  Shot("main_window_help");
  // A second page, then Back and Forward between the two.
  auto at = [](const char* page) {
    return pqtest::WaitFor([page] {
      return W().Help()->View().LocationURL().find(page) != std::string::npos && !W().Help()->View().Busy();
    }, 10s);
  };
  EXPECT_FALSE(gtk_widget_get_sensitive(W().Help()->BackButton()));
  W().OpenHelp(pq::SettingUpHelpAddress());
  ASSERT_TRUE(at("/help/setting-up-publishing.htm"));
  Pump(300ms);
  ASSERT_TRUE(gtk_widget_get_sensitive(W().Help()->BackButton()));
  gtk_button_clicked(GTK_BUTTON(W().Help()->BackButton()));
  EXPECT_TRUE(at("/help/website/using.htm"));
  Pump(300ms);
  ASSERT_TRUE(gtk_widget_get_sensitive(W().Help()->ForwardButton()));
  gtk_button_clicked(GTK_BUTTON(W().Help()->ForwardButton()));
  EXPECT_TRUE(at("/help/setting-up-publishing.htm"));
  gtk_widget_hide(GTK_WIDGET(W().Help()->Window()));
  Pump();
}

// The page's notices, as the Publish command shows them, over the main window.
TEST_F(MainWindowTest, ProblemsDialogOverTheMainWindow) {
  TypeAddress(Url("staff.htm"));  // a page its designer closed to editing
  ASSERT_TRUE(WaitReady());
  const pq::Problems& problems = W().EditPaneWidget().PageProblems();
  EXPECT_FALSE(problems.OKtoPublish);
  EXPECT_GT(problems.NumMessages, 0);
  pq::ProblemsDialog dialog(problems, W().Window());
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog.Dialog())), W().Window());
  gtk_widget_show_all(dialog.Dialog());
  Pump(800ms);
  Shot("main_window_problems");
  gtk_widget_hide(dialog.Dialog());
  Pump();
}

// Runs last: the close image ends the program.
TEST_F(MainWindowTest, ZTheCloseImageEndsTheProgram) {
  pq::skin::SkinImage* close = W().Skin().Image("ImgClose");
  ASSERT_TRUE(close);
  Click(close->Widget(), 10, 10);
  EXPECT_EQ(ended_, 0);
}

}  // namespace
