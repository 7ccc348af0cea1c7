// The first pagequill window on the demo site: every page displayed gets its edit copy and
// frame copies; the status bar follows the page cycle.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "engine/http_fetch.h"
#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "browse_test_window.h"
#include "support/file_text.h"
#include "support/canned_http_server.h"
#include "support/site_server.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) { return pqtest::ReadFile(path); }

// The demo page built of frames that holds a frameset of its own.
std::string FindNestedFrameset(const std::string& root) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 4 || name.substr(name.size() - 4) != ".htm") continue;
    const std::string text = Read(entry.path().string());
    if (text.find("<frameset") == std::string::npos && text.find("<FRAMESET") == std::string::npos) continue;
    // One of its frames is a frameset too.
    for (size_t p = 0; (p = text.find("src=\"", p)) != std::string::npos; p += 5) {
      const std::string src = text.substr(p + 5, text.find('"', p + 5) - p - 5);
      const std::string inner = Read(root + "/" + src);
      if (inner.find("<frameset") != std::string::npos || inner.find("<FRAMESET") != std::string::npos) return name;
    }
  }
  return "";
}

// The depth-first list of the frames of a displayed page.
void Flatten(const pq::DocumentSnapshot& d, std::vector<const pq::DocumentSnapshot*>& out) {
  for (const auto& f : d.frames) {
    out.push_back(&f);
    Flatten(f, out);
  }
}

class BrowsePaneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto& env = pqtest::BrowseE2E::Get();
    if (!env.ok()) return;
    pqtest::SiteServer::Options options;
    if (const char* root = std::getenv("PQ_BROWSE_SITE")) options.root = root;  // another site to try
    site_ = std::make_unique<pqtest::SiteServer>(options);
    siteRoot_ = site_->root();
  }
  static void TearDownTestSuite() { site_.reset(); }

  // Each case gets a fresh window that has shown its home page, and no edit copy.
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    ASSERT_TRUE(site_ && site_->ok()) << "the site server did not start";
    log_.clear();
    statuses_.clear();
    lastStatusKey_.clear();
    window_ = std::make_unique<pqtest::BrowseTestWindow>(site_->url() + "/index.htm");
    pq::BrowseControl& c = window_->Browse().Control();
    // Watch the pane's events beside the window's own handling of them.
    auto chain = [](std::function<void()>& event, std::function<void()> also) {
      auto previous = event;
      event = [previous, also] {
        also();
        if (previous) previous();
      };
    };
    chain(c.StartedNavigation, [] { Log("StartedNavigation"); });
    chain(c.NavigationComplete, [] { Log("NavigationComplete"); });
    chain(c.PageCantBeDisplayed, [] { Log("PageCantBeDisplayed"); });
    chain(c.ButtonsDisable, [] { Log("ButtonsDisable"); });
    auto update = c.UpdateAddressBar;
    c.UpdateAddressBar = [update](const std::string& a) {
      Log("UpdateAddressBar " + a);
      update(a);
    };
    pq::StatusBar& status = window_->Browse().Status();
    chain(status.Progress().Changed, [&status] {
      // One entry per text and target: the creep in between is left out.
      const std::string entry = status.Text() + " " + std::to_string(status.Progress().ShownPercent()) + "/" +
                                std::to_string(status.Progress().TargetPercent());
      const std::string key = status.Text() + "/" + std::to_string(status.Progress().TargetPercent());
      if (key != lastStatusKey_) statuses_.push_back(entry);
      lastStatusKey_ = key;
    });
    window_->Show();
    ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") > 0; })) << "the home page was not prepared";
    // The view may still report the end of the home page's load: let it, then start clean.
    ASSERT_TRUE(pqtest::WaitFor([] { return !window_->Browse().View().Busy(); }));
    log_.clear();
    statuses_.clear();
    lastStatusKey_.clear();
    pq::DeleteFileQuietly(EditCopy());
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("browse_pane_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    window_.reset();
  }

  static void Log(const std::string& e) { log_.push_back(e); }
  static int Count(const std::string& e) { return static_cast<int>(std::count(log_.begin(), log_.end(), e)); }
  static std::string EditCopy() { return pq::TempFolder() + "webed.htm"; }
  // Types an address into the window's address box and waits until the page has an outcome.
  static bool Enter(const std::string& address) {
    window_->EnterAddress(address);
    return pqtest::WaitFor([] { return Count("NavigationComplete") + Count("PageCantBeDisplayed") > 0; });
  }
  static std::string Url(const std::string& path) { return site_->url() + "/" + path; }

  static std::unique_ptr<pqtest::SiteServer> site_;
  static std::string siteRoot_;
  static std::unique_ptr<pqtest::BrowseTestWindow> window_;
  static std::vector<std::string> log_;
  static std::vector<std::string> statuses_;
  static std::string lastStatusKey_;
};

std::unique_ptr<pqtest::SiteServer> BrowsePaneTest::site_;
std::string BrowsePaneTest::siteRoot_;
std::unique_ptr<pqtest::BrowseTestWindow> BrowsePaneTest::window_;
std::vector<std::string> BrowsePaneTest::log_;
std::vector<std::string> BrowsePaneTest::statuses_;
std::string BrowsePaneTest::lastStatusKey_;

TEST_F(BrowsePaneTest, TheHomePageYieldsItsEditCopy) {
  window_->Browse().Control().GoHome();
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") == 1; }));
  const std::string url = Url("index.htm");
  const std::string source = pq::engine::GetURLText(url);
  ASSERT_FALSE(source.empty());
  const std::string expected = pq::AddMarker(pq::AddMarker(pq::AddSpans(source), "OrigURL", url), "FullPath", url);
  EXPECT_EQ(Read(EditCopy()), "\xEF\xBB\xBF" "<BASE HREF=\"" + url + "\">\r\n" + expected + "\r\n");
  const pq::BrowseControl& c = window_->Browse().Control();
  EXPECT_EQ(c.WebURL(), url);
  EXPECT_EQ(c.OriginalHTML(), source);
  EXPECT_EQ(c.EditHTML(), expected);
  EXPECT_FALSE(c.busy());
  EXPECT_EQ(window_->State().StartPageUrl, url);
  EXPECT_EQ(window_->AddressText(), url);
}

TEST_F(BrowsePaneTest, TheStatusBarFollowsThePageCycle) {
  ASSERT_TRUE(Enter(Url("index.htm")));
  const std::vector<std::string> expected = {"Loading page 10/50", "Preparing edit tab 50/65",
                                             "Preparing edit tab 70/95", "Done 100/100"};
  ASSERT_GE(statuses_.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(statuses_.begin(), statuses_.begin() + 4), expected);
  EXPECT_EQ(log_, (std::vector<std::string>{"UpdateAddressBar " + Url("index.htm"), "StartedNavigation",
                                            "ButtonsDisable", "NavigationComplete"}));
  // The full bar hides itself after its moment.
  pq::StatusBar& status = window_->Browse().Status();
  EXPECT_TRUE(pqtest::WaitFor([&] { return !status.ProgressVisible(); }, std::chrono::seconds(3)));
  EXPECT_EQ(status.Text(), "Done");
}

TEST_F(BrowsePaneTest, TheFramesetYieldsFrameCopiesDepthFirst) {
  const std::string page = FindNestedFrameset(siteRoot_);
  ASSERT_FALSE(page.empty()) << "the demo site has no frameset with a nested frameset";
  ASSERT_TRUE(Enter(Url(page)));
  EXPECT_EQ(Count("NavigationComplete"), 1);
  EXPECT_EQ(Count("UpdateAddressBar " + Url(page)), 1);
  EXPECT_EQ(std::count_if(log_.begin(), log_.end(), [](const std::string& e) { return e.rfind("UpdateAddressBar", 0) == 0; }), 1);

  auto shown = window_->Browse().View().Snapshot();
  ASSERT_TRUE(shown);
  std::vector<const pq::DocumentSnapshot*> frames;
  Flatten(*shown, frames);
  ASSERT_GE(frames.size(), 3u);
  const pq::FrameTable& table = window_->Frames();
  ASSERT_EQ(table.Counter, static_cast<int>(frames.size()) + 1);
  bool nested = false;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const pq::FrameEntry& e = table[static_cast<int>(i) + 1];
    const std::string href = frames[i]->location;
    SCOPED_TRACE(href);
    EXPECT_EQ(e.File, pq::TempFolder() + "frmpage" + std::to_string(i + 1) + ".htm");
    const std::string source = pq::engine::GetURLText(href);
    EXPECT_EQ(e.Source(), source);
    const std::string edit = pq::AddSpans(pq::AddMarker(pq::AddMarker(source, "OrigURL", href), "FullPath", href));
    EXPECT_EQ(e.EditHTML(), edit);
    EXPECT_EQ(Read(e.File), "\xEF\xBB\xBF" "<BASE HREF=\"" + href + "\">\r\n" + edit + "\r\n");
    EXPECT_EQ(e.HasFrames, !frames[i]->frames.empty());
    EXPECT_EQ(e.Editable, href.size() > 4 && (href.substr(href.size() - 4) == ".htm" || href.substr(href.size() - 5) == ".html"));
    nested = nested || e.HasFrames;
  }
  EXPECT_TRUE(nested);
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "frmpage" + std::to_string(frames.size() + 1) + ".htm"));
  EXPECT_NE(Read(EditCopy()).find("<!--OrigURL=\"" + Url(page) + "\"-->"), std::string::npos);
}

// Clicks the first link with this target found in any frame of the page, as a user would.
bool ClickFrameLink(pq::engine::WebView& view, const std::string& target) {
  auto clicked = view.Evaluate(
      "(() => { const find = (w) => { const a = w.document.querySelector('a[target=\"" + target + "\"]');"
      " if (a) return a; for (let i = 0; i < w.frames.length; i++) { const f = find(w.frames[i]); if (f) return f; }"
      " return null; }; const a = find(window); if (!a) return false; a.click(); return true; })()",
      true);
  return clicked && clicked->Bool();
}

TEST_F(BrowsePaneTest, LinksInFramesReachTheAddressBoxOnlyWhenTheyLoadTheWholeWindow) {
  const std::string page = FindNestedFrameset(siteRoot_);
  ASSERT_FALSE(page.empty());
  ASSERT_TRUE(Enter(Url(page)));
  pq::engine::WebView& view = window_->Browse().View();

  // A link into another frame: the page stays, so it is prepared again with the new frame.
  log_.clear();
  auto before = view.Snapshot();
  ASSERT_TRUE(before);
  ASSERT_TRUE(ClickFrameLink(view, "hours") || ClickFrameLink(view, "news"))
      << "the frameset has no link into another of its frames";
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") == 1; }));
  EXPECT_EQ(std::count_if(log_.begin(), log_.end(), [](const std::string& e) { return e.rfind("UpdateAddressBar", 0) == 0; }), 0);
  EXPECT_EQ(window_->Browse().Control().WebURL(), Url(page));

  // A link that loads the whole window from inside a frame.
  log_.clear();
  ASSERT_TRUE(ClickFrameLink(view, "_top"));
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") == 1; }));
  const std::string now = window_->Browse().Control().WebURL();
  EXPECT_NE(now, Url(page));
  EXPECT_EQ(Count("UpdateAddressBar " + now), 1);
  EXPECT_EQ(window_->AddressText(), now);
}

TEST_F(BrowsePaneTest, AFolderAddressResolvesThroughIndexHtm) {
  ASSERT_TRUE(Enter(site_->url() + "/"));
  ASSERT_EQ(Count("NavigationComplete"), 1);
  const std::string copy = Read(EditCopy());
  EXPECT_EQ(pq::GetMarker(copy, "FullPath"), Url("index.htm"));
  EXPECT_EQ(pq::GetMarker(copy, "OrigURL"), site_->url() + "/");
}

TEST_F(BrowsePaneTest, AnUnreachableHostIsReportedAndWritesNothing) {
  const std::string url = "http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/index.htm";
  ASSERT_TRUE(Enter(url));
  EXPECT_EQ(Count("PageCantBeDisplayed"), 1);
  EXPECT_EQ(Count("NavigationComplete"), 0);
  EXPECT_EQ(Count("ButtonsDisable"), 0);
  EXPECT_FALSE(pq::FileExists(EditCopy()));
  EXPECT_EQ(window_->Browse().Status().Text(), "Done");
  EXPECT_FALSE(window_->Browse().Control().AddressShown());
  EXPECT_FALSE(window_->State().EditTabPreparing);
}

// A mistyped address or a failing server shows the server's error page in the browse pane,
// but nothing is prepared for editing, and the status line says why in plain words.
TEST_F(BrowsePaneTest, AnErrorPageIsShownButNotPreparedForEditing) {
  pqtest::CannedHttpServer failing;
  failing.Set("/broken.htm", {500, "text/html", "<html><body><h1>Internal Server Error</h1></body></html>"});
  const struct {
    std::string url;
    std::string why;
  } cases[] = {
      {Url("nosuch.htm"), "This page is not on the website (404 Not Found), so there is nothing to edit"},
      {failing.url() + "/broken.htm", "server error 500"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(EditCopy());
    const int completions = Count("NavigationComplete");
    window_->EnterAddress(c.url);
    EXPECT_TRUE(pqtest::WaitFor([&] {
      return window_->Browse().Status().Text().find(c.why) != std::string::npos;
    })) << c.url << ": " << window_->Browse().Status().Text();
    EXPECT_FALSE(pqtest::WaitFor([&] { return Count("NavigationComplete") > completions; },
                                 std::chrono::milliseconds(500)))
        << c.url;
    EXPECT_FALSE(pq::FileExists(EditCopy())) << c.url;
    EXPECT_NE(window_->Browse().Status().Text().find(c.why), std::string::npos)
        << window_->Browse().Status().Text();
    EXPECT_FALSE(window_->State().EditTabPreparing);
  }
}

TEST_F(BrowsePaneTest, AfterStopALateCompletionPreparesNothingAndTheNextPageWorks) {
  pqtest::CannedHttpServer slow;
  slow.Set("/slow.htm", {200, "text/html", "", true});  // never answers
  window_->EnterAddress(slow.url() + "/slow.htm");
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("StartedNavigation") > 0; }));
  window_->Browse().Control().StopBrowser();
  window_->Browse().Control().OnDocumentComplete(true);  // what a late completion does
  // The engine reports the stopped load; nothing may follow from it.
  ASSERT_TRUE(pqtest::WaitFor([] { return !window_->Browse().View().Busy(); }));
  EXPECT_EQ(Count("NavigationComplete"), 0);
  EXPECT_EQ(Count("ButtonsDisable"), 0);
  EXPECT_FALSE(pq::FileExists(EditCopy()));

  ASSERT_TRUE(Enter(Url("index.htm")));
  EXPECT_EQ(Count("NavigationComplete"), 1);
  EXPECT_TRUE(pq::FileExists(EditCopy()));
  EXPECT_EQ(window_->AddressText(), Url("index.htm"));
}

TEST_F(BrowsePaneTest, AnAddressWithAnEmptyHostDoesNothing) {
  window_->EnterAddress("http:///index.htm");
  // The next page's events come first: the empty-host address raised none before them.
  ASSERT_TRUE(Enter(Url("index.htm")));
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "UpdateAddressBar " + Url("index.htm"));
  EXPECT_EQ(Count("StartedNavigation"), 1);
}

TEST_F(BrowsePaneTest, BlanksAroundATypedAddressAreDropped) {
  const std::string hostAndPath = site_->url().substr(std::string("http://").size()) + "/index.htm";
  for (const std::string& typed : std::vector<std::string>{"  " + Url("index.htm") + " ", "\t " + hostAndPath + "  "}) {
    SCOPED_TRACE(typed);
    log_.clear();
    pq::DeleteFileQuietly(EditCopy());
    ASSERT_TRUE(Enter(typed));
    EXPECT_EQ(Count("NavigationComplete"), 1);
    EXPECT_EQ(window_->AddressText(), Url("index.htm"));
    EXPECT_EQ(window_->Browse().Control().WebURL(), Url("index.htm"));
    EXPECT_TRUE(pq::FileExists(EditCopy()));
  }
}

// Addresses the engine will not load end in its error page with the reason, "Done", and no edit
// copy (never "Loading page" for good, nor an empty page taken as displayed).
TEST_F(BrowsePaneTest, AnAddressTheEngineRefusesEndsInTheErrorPageAndWritesNothing) {
  const struct {
    std::string typed, reason;
  } cases[] = {
      {"http://bad host/index.htm", "blank in its host name"},
      {"http://127.0.0.1:25/index.htm", "port 25"},
      {"127.0.0.1:9/", "port 9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    log_.clear();
    ASSERT_TRUE(Enter(c.typed));
    EXPECT_EQ(Count("PageCantBeDisplayed"), 1);
    EXPECT_EQ(Count("NavigationComplete"), 0);
    EXPECT_EQ(Count("ButtonsDisable"), 0);
    EXPECT_FALSE(pq::FileExists(EditCopy()));
    EXPECT_EQ(window_->Browse().Status().Text(), "Done");
    EXPECT_FALSE(window_->State().EditTabPreparing);
    auto shown = window_->Browse().View().Snapshot();
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->outerText.find(c.reason), std::string::npos) << shown->outerText;
  }
}

TEST_F(BrowsePaneTest, AfterTheEngineStopsThePaneSaysSoAndWritesNothing) {
  ASSERT_TRUE(Enter(Url("index.htm")));
  log_.clear();
  pq::DeleteFileQuietly(EditCopy());
  window_->Browse().View().TerminateEngineProcess();
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("PageCantBeDisplayed") == 1; }));
  EXPECT_EQ(Count("NavigationComplete"), 0);
  EXPECT_FALSE(pq::FileExists(EditCopy()));
  EXPECT_EQ(window_->Browse().Status().Text(), "Done");
  auto shown = window_->Browse().View().Snapshot();
  ASSERT_TRUE(shown);
  EXPECT_NE(shown->outerText.find("The web engine stopped"), std::string::npos);
  EXPECT_NE(shown->outerText.find("Reload the page"), std::string::npos);
  EXPECT_EQ(shown->outerText.find("network"), std::string::npos);
}

}  // namespace
