#include "shell/browse_control.h"

#include <gtest/gtest.h>

#include "support/private_temp.h"

#include <cstdlib>
#include <filesystem>
#include <map>

#include "pageprep/temp_files.h"
#include "support/file_text.h"

namespace {

namespace fs = std::filesystem;

class FakeBrowser : public pq::BrowsePaneBrowser {
 public:
  void Navigate(const std::string& url) override { calls += "navigate " + url + ";"; }
  void GoHome() override { calls += "home;"; }
  void GoBack() override { calls += "back;"; }
  void GoForward() override { calls += "forward;"; }
  void Refresh() override { calls += "refresh;"; }
  void Stop() override { calls += "stop;"; }
  std::string LocationURL() const override { return document ? document->location : ""; }
  bool Busy() const override { return busy; }
  std::shared_ptr<const pq::PageDocument> TopDocument() override { return document; }
  std::string DocumentCharset() override { return charset; }
  void ReloadReadingUndeclaredAs(const std::string& c) override { calls += "reload as " + c + ";"; }

  std::shared_ptr<pq::DocumentSnapshot> document;
  bool busy = false;
  std::string charset = "windows-1252";
  std::string calls;
};

const std::string kSite = "http://127.0.0.1:9/";

class BrowseControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_.StartedNavigation = [this] { events_ += "StartedNavigation;"; };
    control_.NavigationComplete = [this] { events_ += "NavigationComplete;"; };
    control_.PageCantBeDisplayed = [this] { events_ += "PageCantBeDisplayed;"; };
    control_.ForwardEnable = [this](bool e) { events_ += std::string("ForwardEnable ") + (e ? "1;" : "0;"); };
    control_.BackEnable = [this](bool e) { events_ += std::string("BackEnable ") + (e ? "1;" : "0;"); };
    control_.ButtonsDisable = [this] { events_ += "ButtonsDisable;"; };
    control_.ButtonsEnable = [this] { events_ += "ButtonsEnable;"; };
    control_.UpdateAddressBar = [this](const std::string& a) { events_ += "UpdateAddressBar " + a + ";"; };
    status_.Progress().Changed = [this] {
      statuses_ += status_.Text() + " " + std::to_string(status_.Progress().ShownPercent()) + "/" +
                   std::to_string(status_.Progress().TargetPercent()) + ";";
    };
  }

  std::string Fetch(const std::string& url) {
    const std::string bare = url.substr(0, url.find("?now="));
    if (auto hook = onFetch_) hook(bare);  // a copy: the hook may replace itself
    auto it = pages_.find(bare);
    return it == pages_.end() ? std::string() : it->second;
  }
  void Show(const std::string& url, std::vector<std::string> frameUrls = {}) {
    auto d = std::make_shared<pq::DocumentSnapshot>();
    d->location = url;
    d->outerHTML = "<html><body>shown</body></html>";
    for (const auto& f : frameUrls) {
      pq::DocumentSnapshot frame;
      frame.location = f;
      d->frames.push_back(frame);
    }
    browser_.document = d;
  }
  // A top-level page load as the engine reports it.
  void Load(const std::string& url, std::vector<std::string> frameUrls = {}) {
    bool cancel = false;
    control_.OnBeforeNavigate(url, true, cancel);
    control_.OnTopNavigationStarted(url);
    Show(url, std::move(frameUrls));
    control_.OnDocumentComplete(true);
  }
  bool EditCopyWritten() const { return pq::FileExists(pq::TempFolder() + "webed.htm"); }

  pqtest::PrivateTemp temp_;
  const std::string& base_ = temp_.path();
  FakeBrowser browser_;
  pq::StatusBar status_;
  pq::WindowState window_;
  pq::FrameTable frames_;
  std::map<std::string, std::string> pages_;
  std::function<void(const std::string&)> onFetch_;
  pq::BrowseControl control_{browser_, status_, window_, frames_,
                             [this](const std::string& url) { return Fetch(url); }};
  std::string events_;
  std::string statuses_;
};

TEST_F(BrowseControlTest, APageLoadRaisesItsEventsAndShowsItsProgress) {
  const std::string url = kSite + "index.htm";
  pages_[url] = "<html><body><p>Home</p></body></html>";
  Load(url);
  EXPECT_EQ(events_, "UpdateAddressBar " + url + ";StartedNavigation;ButtonsDisable;NavigationComplete;");
  EXPECT_EQ(statuses_, "Loading page 10/50;Preparing edit tab 50/65;Preparing edit tab 70/95;");
  EXPECT_TRUE(EditCopyWritten());
  EXPECT_EQ(control_.WebURL(), url);
  EXPECT_EQ(control_.OriginalHTML(), pages_[url]);
  EXPECT_FALSE(control_.busy());
  EXPECT_TRUE(window_.EditTabPreparing);
  EXPECT_EQ(window_.StartPageUrl, url);
  EXPECT_FALSE(control_.AddressShown());
}

TEST_F(BrowseControlTest, AFramesetShowsItsAddressOnceAndCompletesOnce) {
  const std::string url = kSite + "frames.htm";
  pages_[url] = "<html><frameset><frame src=a.htm><frame src=b.htm></frameset></html>";
  bool cancel = false;
  control_.OnBeforeNavigate(url, true, cancel);
  control_.OnTopNavigationStarted(url);
  browser_.busy = true;
  Show(url, {kSite + "a.htm", kSite + "b.htm"});
  for (const char* f : {"a.htm", "b.htm"}) {
    control_.OnBeforeNavigate(kSite + f, false, cancel);
    control_.OnDocumentComplete(false);  // frames complete while the page still loads
  }
  browser_.busy = false;
  control_.OnDocumentComplete(true);
  EXPECT_EQ(events_, "UpdateAddressBar " + url +
                         ";StartedNavigation;StartedNavigation;StartedNavigation;ButtonsDisable;NavigationComplete;");
  EXPECT_EQ(frames_.Counter, 3);
  EXPECT_TRUE(pq::FileExists(pq::TempFolder() + "frmpage2.htm"));
}

TEST_F(BrowseControlTest, AFrameNavigatingOnItsOwnPreparesThePageAgain) {
  const std::string url = kSite + "frames.htm";
  Show(url, {kSite + "a.htm"});
  control_.OnDocumentComplete(true);
  events_.clear();
  bool cancel = false;
  control_.OnBeforeNavigate(kSite + "c.htm", false, cancel);
  Show(url, {kSite + "c.htm"});
  control_.OnDocumentComplete(false);
  EXPECT_EQ(events_, "StartedNavigation;ButtonsDisable;NavigationComplete;");
  EXPECT_EQ(frames_[1].Source(), "");  // c.htm is not served: its serialisation stands in
  EXPECT_NE(frames_[1].EditHTML().find("OrigURL=\"" + kSite + "c.htm\""), std::string::npos);
}

TEST_F(BrowseControlTest, AnAddressWithAnEmptyHostIsCancelledSilently) {
  bool cancel = false;
  control_.OnBeforeNavigate("http:///index.htm", true, cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(events_, "");
  EXPECT_EQ(statuses_, "");
  EXPECT_FALSE(control_.busy());
  control_.Navigate("http:///index.htm");  // never handed to the engine, which would take "index.htm" as host
  EXPECT_EQ(browser_.calls, "");
}

TEST_F(BrowseControlTest, BlanksAroundAnAddressAreDroppedBeforeAnythingElse) {
  control_.Navigate("  " + kSite + "index.htm \t");
  control_.Navigate("   ");
  control_.Navigate(" http:///index.htm");
  EXPECT_EQ(browser_.calls, "navigate " + kSite + "index.htm;");
}

TEST_F(BrowseControlTest, AfterStopALateCompletionPreparesNothingAndTheNextPageWorks) {
  bool cancel = false;
  control_.OnBeforeNavigate(kSite + "slow.htm", true, cancel);
  control_.StopBrowser();
  EXPECT_EQ(browser_.calls, "stop;");
  Show(kSite + "slow.htm");
  control_.OnDocumentComplete(true);
  EXPECT_FALSE(EditCopyWritten());
  EXPECT_EQ(events_.find("NavigationComplete"), std::string::npos);

  events_.clear();
  Load(kSite + "next.htm");
  EXPECT_TRUE(EditCopyWritten());
  EXPECT_EQ(events_, "UpdateAddressBar " + kSite + "next.htm;StartedNavigation;ButtonsDisable;NavigationComplete;");
}

TEST_F(BrowseControlTest, GoingHomeBackOrForwardClearsStopped) {
  using Op = void (pq::BrowseControl::*)();
  for (Op op : {&pq::BrowseControl::GoHome, &pq::BrowseControl::GoBack, &pq::BrowseControl::GoForward}) {
    control_.StopBrowser();
    ASSERT_TRUE(control_.Stopped());
    (control_.*op)();
    EXPECT_FALSE(control_.Stopped());
  }
  EXPECT_EQ(browser_.calls, "stop;home;stop;back;stop;forward;");
}

TEST_F(BrowseControlTest, TheErrorPageRaisesPageCantBeDisplayedAndWritesNothing) {
  bool cancel = false;
  control_.OnBeforeNavigate("http://127.0.0.1:1/", true, cancel);
  Show("http://127.0.0.1:1/");
  browser_.document->outerText = "The page cannot be displayed";
  control_.OnDocumentComplete(true);
  EXPECT_EQ(events_, "UpdateAddressBar http://127.0.0.1:1/;StartedNavigation;PageCantBeDisplayed;");
  EXPECT_FALSE(EditCopyWritten());
  EXPECT_FALSE(control_.AddressShown());
  EXPECT_FALSE(window_.EditTabPreparing);
}

TEST_F(BrowseControlTest, AnEditCopyThatCannotBeWrittenEndsLikeTheErrorPage) {
  const std::string url = kSite + "index.htm";
  pages_[url] = "<html><body><p>Home</p></body></html>";
  fs::create_directory(pq::TempFolder() + "webed.htm");  // the copy cannot be opened for writing
  Load(url);
  EXPECT_EQ(events_, "UpdateAddressBar " + url +
                         ";StartedNavigation;ButtonsDisable;ButtonsEnable;PageCantBeDisplayed;");
  EXPECT_FALSE(window_.EditTabPreparing);
  EXPECT_FALSE(control_.AddressShown());
  EXPECT_EQ(control_.WebURL(), "");
  EXPECT_TRUE(window_.StartPageUrl.empty());
}

// The engine cannot recognise UTF-16 without a byte-order mark: such a page comes again, read as
// its bytes show, without asking to leave the page it is; once only, whatever the engine does.
TEST_F(BrowseControlTest, AUtf16PageWithoutMarkIsLoadedAgainReadInItsCharset) {
  using namespace std::string_literals;
  int asked = 0;
  control_.MayLeavePage = [&] {
    ++asked;
    return true;
  };
  const std::string url = kSite + "wide.htm";
  pages_[url] = "<\0p\0>\0"s;
  Load(url);
  EXPECT_EQ(browser_.calls, "reload as UTF-16LE;");
  EXPECT_EQ(events_, "UpdateAddressBar " + url + ";StartedNavigation;ButtonsDisable;ButtonsEnable;");
  EXPECT_FALSE(window_.EditTabPreparing);
  EXPECT_EQ(asked, 1);

  events_.clear();
  browser_.charset = "UTF-16LE";
  Load(url);  // the reload
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(events_, "UpdateAddressBar " + url + ";StartedNavigation;ButtonsDisable;NavigationComplete;");

  // An engine that does not read it so is asked once, not again.
  browser_.charset = "windows-1252";
  browser_.calls.clear();
  Load(url);
  Load(url);
  EXPECT_EQ(browser_.calls, "reload as UTF-16LE;");

  // Pages the engine reads by themselves, or cannot read at all, come once.
  const struct {
    std::string bytes;
    const char* engineReads;
  } once[] = {
      {"\0<\0p"s, "UTF-16BE"},
      {"\xFF\xFE<\0p\0"s, "UTF-16LE"},
      {"<\0\0\0p\0\0\0"s, "windows-1252"},
      {"<p>a\0b</p>"s, "windows-1252"},
  };
  for (const auto& c : once) {
    pages_[url] = c.bytes;
    browser_.charset = c.engineReads;
    browser_.calls.clear();
    events_.clear();
    Load(url);
    EXPECT_EQ(browser_.calls, "") << testing::PrintToString(c.bytes);
    EXPECT_NE(events_.find("NavigationComplete"), std::string::npos) << testing::PrintToString(c.bytes);
  }
}

TEST_F(BrowseControlTest, WhilePublishingOnlyTheAddressBoxFollows) {
  window_.PublishShowing = true;
  Load(kSite + "index.htm");
  EXPECT_EQ(events_, "UpdateAddressBar " + kSite + "index.htm;StartedNavigation;");
  EXPECT_EQ(statuses_, "");
  EXPECT_FALSE(EditCopyWritten());
  control_.SetStatusText("Done", 100, 100);
  EXPECT_EQ(statuses_, "");
}

TEST_F(BrowseControlTest, ANavigationDuringTheFetchAbandonsTheStalePage) {
  const std::string first = kSite + "first.htm", second = kSite + "second.htm";
  pages_[first] = "<html>first</html>";
  pages_[second] = "<html>second</html>";
  onFetch_ = [&](const std::string& url) {
    if (url != first) return;
    onFetch_ = nullptr;
    Load(second);  // the user went on while the first page was being fetched
  };
  Load(first);
  EXPECT_EQ(control_.WebURL(), second);
  EXPECT_EQ(control_.OriginalHTML(), pages_[second]);
  size_t completions = 0;
  for (size_t p = events_.find("NavigationComplete"); p != std::string::npos;
       p = events_.find("NavigationComplete", p + 1))
    ++completions;
  EXPECT_EQ(completions, 1u);
}

TEST_F(BrowseControlTest, ANewerFramesetLoadedWhileTheOlderFramesAreFetchedKeepsItsCopies) {
  const std::string older = kSite + "old.htm", newer = kSite + "new.htm";
  pages_[older] = "<html><frameset><frame src=oa.htm><frame src=ob.htm></frameset></html>";
  pages_[newer] = "<html><frameset><frame src=na.htm></frameset></html>";
  for (const char* f : {"oa.htm", "ob.htm", "na.htm"})
    pages_[kSite + f] = std::string("<html><body><p>frame ") + f + "</p></body></html>";
  // The user goes on while the older page's second frame is being fetched, after its first
  // frame has been fetched already.
  onFetch_ = [&](const std::string& url) {
    if (url != kSite + "ob.htm") return;
    onFetch_ = nullptr;
    Load(newer, {kSite + "na.htm"});
  };
  Load(older, {kSite + "oa.htm", kSite + "ob.htm"});

  const std::string frame1 = pq::TempFolder() + "frmpage1.htm";
  EXPECT_NE(pqtest::ReadFile(frame1).find("frame na.htm"), std::string::npos);
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "frmpage2.htm"));  // nothing of the older page
  EXPECT_EQ(frames_.Counter, 2);
  EXPECT_EQ(frames_[1].File, frame1);
  EXPECT_EQ(frames_[1].Source(), pages_[kSite + "na.htm"]);
  EXPECT_NE(pqtest::ReadFile(pq::TempFolder() + "webed.htm").find("<frame src=na.htm>"),
            std::string::npos);
  EXPECT_EQ(control_.WebURL(), newer);
}

TEST_F(BrowseControlTest, BrowserEventsMapToThePanesEvents) {
  control_.OnCommandStateChange(1, true);
  control_.OnCommandStateChange(2, false);
  control_.OnCommandStateChange(3, true);
  EXPECT_EQ(events_, "ForwardEnable 1;BackEnable 0;");
  bool cancel = false;
  control_.OnNewWindow(cancel);
  EXPECT_TRUE(cancel);
  window_.PublishState = "publishing";
  control_.OnDownloadComplete();
  EXPECT_EQ(window_.PublishState, "");
  control_.Navigate(kSite);
  control_.refresh();
  EXPECT_EQ(browser_.calls, "navigate " + kSite + ";refresh;");
}

// The page's answer arriving: its edit copy is written from a fetch of its own and the edit pane
// is told to start loading it; the preparation on completion takes that fetch's answers.
TEST_F(BrowseControlTest, AnEarlyEditCopyIsWrittenAsThePageArrivesAndItsFetchServesTheCompletion) {
  const std::string url = kSite + "big.htm";
  pages_[url] = "<html><body><p>Big</p>" + std::string(200 * 1024, ' ') + "</body></html>";
  std::vector<std::string> fetched;
  onFetch_ = [&](const std::string& u) {
    fetched.push_back(u);
    onFetch_ = [&](const std::string& again) { fetched.push_back(again); };
  };
  std::string early;
  control_.EarlyEditCopy = [&] { early = pqtest::ReadFile(pq::TempFolder() + "webed.htm"); };
  bool cancel = false;
  control_.OnBeforeNavigate(url, true, cancel);
  control_.OnTopNavigationStarted(url);
  browser_.busy = true;
  control_.OnTopCommitted(url);
  control_.OnTopCommitted(url);  // the engine tells it twice: once is enough
  ASSERT_FALSE(early.empty());
  EXPECT_NE(early.find("Big"), std::string::npos);
  EXPECT_EQ(events_.find("NavigationComplete"), std::string::npos);
  const std::size_t fetchesEarly = fetched.size();
  browser_.busy = false;
  Show(url);
  control_.OnDocumentComplete(true);
  EXPECT_NE(events_.find("NavigationComplete"), std::string::npos);
  EXPECT_EQ(pqtest::ReadFile(pq::TempFolder() + "webed.htm"), early);
  EXPECT_EQ(fetched.size(), fetchesEarly) << "the completion fetched again";
  // The next load of the same address fetches afresh.
  Load(url);
  EXPECT_GT(fetched.size(), fetchesEarly);
}

TEST_F(BrowseControlTest, NoEarlyEditCopyWhereItCouldReplaceWhatTheUserKeepsOrWouldNotPay) {
  const std::string url = kSite + "index.htm";
  pages_[url] = "<html><body>Home</body></html>" + std::string(200 * 1024, ' ');
  pages_[kSite + "small.htm"] = "<html><body>Small</body></html>";
  const struct {
    const char* what;
    std::string address;
    bool topLevel;
    bool publishing;
    bool completedMeanwhile;
  } cases[] = {
      {"a frame's own navigation", url, false, false, false},
      {"the publish dialog showing", url, true, true, false},
      {"not a web address", "file:///tmp/index.htm", true, false, false},
      {"an error page", kSite + "missing.htm", true, false, false},
      {"the page completed during the fetch", url, true, false, true},
      {"a small page", kSite + "small.htm", true, false, false},
  };
  for (const auto& c : cases) {
    bool early = false;
    control_.EarlyEditCopy = [&] { early = true; };
    window_.PublishShowing = c.publishing;
    bool cancel = false;
    control_.OnBeforeNavigate(c.address, c.topLevel, cancel);
    browser_.busy = !c.completedMeanwhile;
    control_.OnTopCommitted(c.address);
    EXPECT_FALSE(early) << c.what;
  }
  window_.PublishShowing = false;
}

}  // namespace
