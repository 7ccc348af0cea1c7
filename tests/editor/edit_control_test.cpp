#include "editor/edit_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/activation.h"
#include "pageprep/copy_address.h"
#include "pageprep/edit_copy.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "pageprep/url_ops.h"
#include "support/private_temp.h"

namespace {

using pq::FramePath;
using pq::PageStatus;

// One document of the fake page.
struct FakeDoc {
  std::string outerHTML;
  int frameCount = 0;
  std::vector<pq::ElementInfo> elements;
  pq::SpanSnapshot spans;
  // What the edit pane did to it.
  std::vector<std::string> styles;
  std::vector<pq::ElementChange> changes;
  bool hooked = false;
};

pq::ElementInfo Element(const std::string& tag, int parent, const std::string& id = "", const std::string& text = "") {
  pq::ElementInfo e;
  e.tag = tag;
  e.parent = parent;
  e.id = id;
  e.text = text;
  return e;
}

// A document holding edit spans with these texts (html the same), in a DIV.
FakeDoc Page(const std::string& outerHTML, const std::vector<std::string>& spanTexts, int frames = 0) {
  FakeDoc d;
  d.outerHTML = outerHTML;
  d.frameCount = frames;
  d.elements.push_back(Element("DIV", -1));
  for (std::size_t i = 0; i < spanTexts.size(); ++i) {
    const std::string id = "ZZZEDIT" + std::to_string(i + 1);
    d.elements.push_back(Element("SPAN", 0, id, spanTexts[i]));
    d.spans.elements[id].innerHTML = spanTexts[i];
  }
  return d;
}

class FakeBrowser : public pq::EditPaneBrowser {
 public:
  void Navigate(const std::string& url) override { Log("navigate " + url); }
  void Stop() override { Log("stop"); }
  std::string OuterHTML(const FramePath& f) override { return Doc(f, "outerHTML").outerHTML; }
  std::string MarkersAndMeta(const FramePath& f) override { return Doc(f, "markersAndMeta").outerHTML; }
  int FrameCount(const FramePath& f) override { return Doc(f, "frameCount").frameCount; }
  bool NavigateFrame(const FramePath& f, const std::string& url) override {
    Log("navigateFrame " + pq::FramePathLiteral(f) + " " + pq::LastPathSegment(url));
    const auto it = copies.find(pq::LastPathSegment(url));
    if (it == copies.end()) return false;
    docs[f] = it->second;
    if (!neverLoads.count(it->first)) pending.push_back({f, url});
    return true;
  }
  std::vector<pq::ElementInfo> Elements(const FramePath& f, const std::vector<std::string>&) override {
    return Doc(f, "elements").elements;
  }
  std::vector<pq::ElementInfo> ActivationElements(const FramePath& f) override {
    if (duringRead) {  // the main loop runs while the page is read
      auto hook = std::move(duringRead);
      hook();
    }
    auto& d = Doc(f, "activationElements");
    auto elements = d.elements;
    for (auto& e : elements)
      if (auto html = d.spans.InnerHTML(e.id)) e.html = *html;
    return elements;
  }
  int ApplyChanges(const FramePath& f, const std::vector<pq::ElementChange>& changes) override {
    auto& d = Doc(f, "apply");
    d.changes.insert(d.changes.end(), changes.begin(), changes.end());
    for (const auto& c : changes) {
      if (c.property != "innerHTML") continue;
      const std::string id = d.elements[static_cast<std::size_t>(c.index)].id;
      d.spans.elements[id].innerHTML = c.value;
    }
    return static_cast<int>(changes.size());
  }
  std::optional<pq::SpanSnapshot> Spans(const FramePath& f) override { return Doc(f, "spans").spans; }
  bool AddStyleSheet(const FramePath& f, const std::string& css) override {
    Doc(f, "style").styles.push_back(css);
    return true;
  }
  bool HookDocumentEvents(const FramePath& f, const std::vector<pq::CtrlKeyPass>&) override {
    Doc(f, "hook").hooked = true;
    return true;
  }
  std::optional<pq::ElementInfo> ElementById(const FramePath&, const std::string&) override { return std::nullopt; }
  bool SetElementById(const FramePath& f, const std::string& id, const std::string& property,
                      const std::string&) override {
    Log("set " + pq::FramePathLiteral(f) + " " + id + " " + property);
    return true;
  }
  std::optional<pq::ElementInfo> ActiveElement(const FramePath&) override { return std::nullopt; }
  std::vector<std::string> FrameSources(const FramePath& f) override {
    Log("frameSources " + pq::FramePathLiteral(f));
    return sources;
  }
  std::string SelectionText(const FramePath&) override { return ""; }
  bool ExecCommand(const FramePath&, const std::string&, const std::string&) override { return false; }
  // The frames asked for load while the pane waits (one event per wait), like the real loop.
  bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds) override {
    ++waits;
    if (duringWait) {
      auto hook = std::move(duringWait);
      hook();
    }
    if (!pending.empty()) {
      const auto at = lastFirst ? pending.end() - 1 : pending.begin();
      const auto [frame, url] = *at;
      pending.erase(at);
      control->OnDocumentComplete(frame, url);
    }
    return done();
  }

  FakeDoc& Doc(const FramePath& f, const std::string& what) {
    ++roundTrips;
    Log(what + " " + pq::FramePathLiteral(f));
    return docs[f];
  }
  void Log(const std::string& s) { calls.push_back(s); }

  pq::EditControl* control = nullptr;
  std::map<FramePath, FakeDoc> docs;
  std::map<std::string, FakeDoc> copies;  // frame copies by file name
  std::set<std::string> neverLoads;
  std::vector<std::string> sources;  // the addresses the top document's frame elements name
  bool lastFirst = false;  // frames complete in the reverse order of their navigation
  std::vector<std::pair<FramePath, std::string>> pending;
  std::function<void()> duringWait;
  std::function<void()> duringRead;
  std::vector<std::string> calls;
  int roundTrips = 0;
  int waits = 0;
};

std::string EditHTML(const std::string& meta = "", const std::string& fullPath = "http://site.test/index.htm") {
  std::string html = "<html><head>" +
                     (meta.empty() ? std::string() : "<meta name=\"pqedit\" content=\"" + meta + "\">") +
                     "</head><body></body></html>";
  html = pq::AddMarker(html, "FullPath", fullPath);
  return pq::AddMarker(html, "OrigURL", "http://site.test/");
}

class EditControlTest : public ::testing::Test {
 protected:
  EditControlTest() : problems_("help.htm") {
    browser_.control = &control_;
    control_.ButtonsEnable = [this] { events_ += "ButtonsEnable;"; };
    control_.NavigateComplete = [this] { events_ += "NavigateComplete;"; };
    control_.UndoChange = [this](bool& e) { events_ += std::string("UndoChange ") + (e ? "1;" : "0;"); };
    control_.RedoChange = [this](bool& e) { events_ += std::string("RedoChange ") + (e ? "1;" : "0;"); };
  }
  pq::Fetcher Fetch() {
    return [this](const std::string& url) {
      fetched_.push_back(url);
      return url.find("/pagequill/?type=check") != std::string::npos ? checkReply_ : std::string();
    };
  }
  // Navigate, then the engine lets the edit copy through and completes it.
  void Load() {
    control_.Navigate();
    bool cancel = false;
    control_.OnBeforeNavigate(pq::CopyAddressOf(pq::TempFolder() + "webed.htm"), cancel);
    ASSERT_FALSE(cancel);
    control_.OnNavigateComplete({}, pq::CopyAddressOf(pq::TempFolder() + "webed.htm"));
    control_.OnDocumentComplete({}, pq::CopyAddressOf(pq::TempFolder() + "webed.htm"));
  }
  // A frame table entry with an edit copy that the fake loads.
  void AddFrame(const FakeDoc& copy, const std::string& meta = "", bool editable = true, bool hasFrames = false) {
    auto& e = frames_[frames_.Counter];
    const std::string name = "frmpage" + std::to_string(frames_.Counter) + ".htm";
    e.File = pq::TempFolder() + name;
    e.page.edit.html = "<html><head>" + (meta.empty() ? "" : "<meta name=pqedit content=" + meta + ">") + "</head></html>";
    e.Editable = editable;
    e.HasFrames = hasFrames;
    browser_.copies[name] = copy;
    ++frames_.Counter;
  }
  const FakeDoc& Top() { return browser_.docs[{}]; }
  static std::string CopyPath() { return pq::TempFolder() + "webed.htm"; }
  static void WriteCopy(const std::string& text) { std::ofstream(CopyPath(), std::ios::binary) << text; }
  // The engine completing the edit copy it was sent to.
  void Complete() {
    control_.OnNavigateComplete({}, pq::CopyAddressOf(CopyPath()));
    control_.OnDocumentComplete({}, pq::CopyAddressOf(CopyPath()));
  }
  int Navigations() const {
    int n = 0;
    for (const auto& c : browser_.calls) n += c.rfind("navigate ", 0) == 0;
    return n;
  }
  bool Held(const std::string& url) {
    bool cancel = false;
    control_.OnBeforeNavigate(url, cancel);
    return cancel;
  }

  pqtest::PrivateTemp temp_;
  FakeBrowser browser_;
  pq::EditStatusBar status_;
  pq::WindowState window_;
  pq::FrameTable frames_;
  pq::SiteStatus site_;
  pq::Problems problems_;
  std::string checkReply_ = "@@ok@@Y@@N@@Y@@";
  std::vector<std::string> fetched_;
  pq::EditControl control_{browser_, status_, window_, frames_, site_, problems_, Fetch()};
  std::string events_;
};

TEST_F(EditControlTest, APageWithoutFrames) {
  browser_.docs[{}] = Page(EditHTML(), {"Welcome ", "Cakes"});
  { std::ofstream(pq::TempFolder() + "webed.htm") << "copy"; }
  window_.EditTabPreparing = true;
  EXPECT_TRUE(control_.NavigationBlocked());
  Load();
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;ButtonsEnable;NavigateComplete;");
  EXPECT_EQ(browser_.calls.front(), "navigate " + pq::CopyAddressOf(pq::TempFolder() + "webed.htm"));
  ASSERT_EQ(fetched_.size(), 1u);
  EXPECT_EQ(fetched_[0].rfind("http://site.test/pagequill/?type=check&now=", 0), 0u);
  EXPECT_EQ(site_.Status, PageStatus::Editable);
  EXPECT_TRUE(problems_.OKtoPublish);
  EXPECT_EQ(status_.Icon(), pq::EditStatusIcon::Tick);
  EXPECT_FALSE(window_.EditTabPreparing);
  EXPECT_TRUE(control_.NavigationBlocked());
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "webed.htm"));
  // Activated: one style sheet, events hooked, the first span offered for the caret.
  EXPECT_EQ(Top().styles.size(), 1u);
  EXPECT_TRUE(Top().hooked);
  EXPECT_EQ(control_.InitialControl().id, "ZZZEDIT1");
  // The spans as they are after activation, with the trailing blank kept as "&nbsp;".
  ASSERT_EQ(control_.Documents().size(), 1u);
  EXPECT_TRUE(control_.Documents()[0].activated);
  EXPECT_EQ(*control_.Documents()[0].spans.InnerHTML("ZZZEDIT1"), "Welcome&nbsp;");
  EXPECT_EQ(control_.OrigURL(), "http://site.test/");
  // Once loaded, the pane goes nowhere and opens no window.
  bool cancel = false;
  control_.OnBeforeNavigate("http://site.test/other.htm", cancel);
  EXPECT_TRUE(cancel);
  cancel = false;
  control_.OnNewWindow(cancel);
  EXPECT_TRUE(cancel);
  control_.FocusInitialControl();
  EXPECT_EQ(browser_.calls.back(), "set [] ZZZEDIT1 focus");
}

TEST_F(EditControlTest, AddressWithEmptyHostIsRefusedEvenWhileLoading) {
  control_.Navigate();
  bool cancel = false;
  control_.OnBeforeNavigate("http:///index.htm", cancel);
  EXPECT_TRUE(cancel);
}

TEST_F(EditControlTest, StatusBarSaysNotEditableWhenPublishingIsNotPossible) {
  const struct {
    const char* reply;
    const char* meta;
    PageStatus shown;
  } cases[] = {
      {"@@ok@@Y@@N@@Y@@", "", PageStatus::Editable},
      {"@@ok@@Y@@N@@Y@@", "n", PageStatus::NotEditable},
      {"", "", PageStatus::NotEditable},  // no site script: editable, but it cannot be published
      {"@@ok@@Y@@N@@N@@", "y", PageStatus::Editable},
  };
  for (const auto& c : cases) {
    checkReply_ = c.reply;
    browser_.docs[{}] = Page(EditHTML(c.meta), {"Text"});
    status_.SetStatus(PageStatus::Unknown);
    Load();
    const pq::EditStatusIcon icon =
        c.shown == PageStatus::Editable ? pq::EditStatusIcon::Tick : pq::EditStatusIcon::Cross;
    EXPECT_EQ(status_.Icon(), icon) << c.reply << " " << c.meta;
    // The page is activated either way: only publishing depends on the check.
    EXPECT_TRUE(browser_.docs[{}].hooked);
  }
}

TEST_F(EditControlTest, FramesetLoadsItsFramesTogetherAndActivatesTheEditableOnes) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {"Menu"}));
  AddFrame(Page("", {"News"}), "n");
  Load();
  EXPECT_EQ(site_.Status, PageStatus::Part);
  EXPECT_EQ(status_.Icon(), pq::EditStatusIcon::Exclamation);
  // Both frames are sent to their copies at once; each is activated once it has loaded.
  std::vector<std::string> frameCalls;
  for (const auto& c : browser_.calls)
    if (c.rfind("navigateFrame", 0) == 0 || c.rfind("style", 0) == 0) frameCalls.push_back(c);
  EXPECT_EQ(frameCalls, (std::vector<std::string>{"style []", "navigateFrame [0] frmpage1.htm",
                                                  "navigateFrame [1] frmpage2.htm", "style [0]", "style [1]"}));
  EXPECT_NE(browser_.docs[{0}].styles[0].find("read-write"), std::string::npos);
  EXPECT_EQ(browser_.docs[{1}].styles[0].find("read-write"), std::string::npos);  // shown inert
  EXPECT_TRUE(browser_.docs[{1}].hooked);
  ASSERT_EQ(control_.Documents().size(), 3u);
  EXPECT_EQ(control_.Documents()[1].frame, FramePath{0});
  EXPECT_EQ(control_.Documents()[1].entry, 1);
  EXPECT_TRUE(control_.Documents()[1].activated);
  EXPECT_FALSE(control_.Documents()[2].activated);
  EXPECT_EQ(control_.InitialControl().frame, FramePath{0});
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;ButtonsEnable;NavigateComplete;");
  // The frame table's own counter is left for the code that filled it.
  EXPECT_EQ(frames_.Counter, 3);
}

TEST_F(EditControlTest, WithoutPublishingEveryFrameIsActivated) {
  checkReply_ = "";
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {"Menu"}));
  AddFrame(Page("", {"News"}), "", /*editable=*/false);
  Load();
  EXPECT_NE(browser_.docs[{1}].styles[0].find("read-write"), std::string::npos);
  EXPECT_TRUE(control_.Documents()[2].activated);
}

TEST_F(EditControlTest, DeletedTextInALaterFrameWinsTheCaret) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {"Menu"}));
  FakeDoc second = Page("", {"News"});
  second.spans.elements["ZZZEDIT1"].innerHTML = pq::kDeletedTextHTML;
  AddFrame(second);
  Load();
  EXPECT_EQ(control_.InitialControl().frame, FramePath{1});
  EXPECT_EQ(control_.InitialControl().id, "ZZZEDIT1");
  EXPECT_TRUE(control_.InitialControlFixed());
  EXPECT_EQ(*control_.Documents()[2].spans.InnerHTML("ZZZEDIT1"), "");
}

TEST_F(EditControlTest, FramesCompletingInAnyOrderGiveTheSameDocumentsAndCaret) {
  for (const bool lastFirst : {false, true}) {
    browser_.lastFirst = lastFirst;
    frames_ = pq::FrameTable{};
    browser_.copies.clear();
    browser_.docs.clear();
    browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 3);
    AddFrame(Page("", {"Menu"}));
    FakeDoc deleted = Page("", {"News"});
    deleted.spans.elements["ZZZEDIT1"].innerHTML = pq::kDeletedTextHTML;
    AddFrame(deleted);
    AddFrame(Page("", {"Hours"}));
    Load();
    ASSERT_EQ(control_.Documents().size(), 4u) << lastFirst;
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(control_.Documents()[static_cast<std::size_t>(i)].entry, i) << lastFirst;
      EXPECT_EQ(control_.Documents()[static_cast<std::size_t>(i)].frame, FramePath{i - 1}) << lastFirst;
    }
    // The deleted text in the middle frame holds the caret whichever frame came first.
    EXPECT_EQ(control_.InitialControl().frame, FramePath{1}) << lastFirst;
    EXPECT_TRUE(control_.InitialControlFixed()) << lastFirst;
  }
}

TEST_F(EditControlTest, UnreadableAndSlowFramesAreSkipped) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 3);
  frames_[frames_.Counter++].File = pq::kFrameError;
  AddFrame(Page("", {"Slow"}));
  AddFrame(Page("", {"Fine"}));
  browser_.neverLoads.insert("frmpage2.htm");
  Load();
  EXPECT_EQ(browser_.docs.count({0}), 0u);  // never touched
  EXPECT_FALSE(browser_.docs[{1}].hooked);  // did not load in time: not activated
  EXPECT_TRUE(browser_.docs[{2}].hooked);
  ASSERT_EQ(control_.Documents().size(), 2u);
  EXPECT_EQ(control_.Documents()[1].entry, 3);
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;ButtonsEnable;NavigateComplete;");
}

TEST_F(EditControlTest, AFramesetFrameThatNeverLoadsEndsTheWalk) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {}, 1), "", true, /*hasFrames=*/true);
  AddFrame(Page("", {"Inner"}));  // belongs to the frameset above
  AddFrame(Page("", {"Second"}));
  browser_.neverLoads.insert("frmpage1.htm");
  Load();
  // Nothing is matched to the wrong entry: the rest stays unactivated.
  EXPECT_FALSE(browser_.docs[{1}].hooked);
  EXPECT_EQ(control_.Documents().size(), 1u);
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;ButtonsEnable;NavigateComplete;");
}

TEST_F(EditControlTest, NestedFramesets) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {"Menu"}));
  AddFrame(Page("", {}, 2), "", false, true);
  AddFrame(Page("", {"News"}));
  AddFrame(Page("", {"Hours"}));
  Load();
  for (const FramePath& p : {FramePath{0}, FramePath{1, 0}, FramePath{1, 1}})
    EXPECT_TRUE(browser_.docs[p].hooked) << pq::FramePathLiteral(p);
  ASSERT_EQ(control_.Documents().size(), 5u);
  EXPECT_EQ(control_.Documents()[4].frame, (FramePath{1, 1}));
  EXPECT_EQ(control_.Documents()[4].entry, 4);
}

TEST_F(EditControlTest, AStopOrANewPageAbandonsTheActivation) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  AddFrame(Page("", {"Menu"}));
  AddFrame(Page("", {"News"}));
  window_.EditTabPreparing = true;
  browser_.duringWait = [this] { control_.StopBrowser(); };
  Load();
  EXPECT_TRUE(control_.LoadStopped());
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;");
  EXPECT_FALSE(window_.EditTabPreparing);  // the navigation buttons work again
  EXPECT_FALSE(browser_.docs[{0}].hooked);  // nothing is activated after the stop
  EXPECT_FALSE(browser_.docs[{1}].hooked);
  // A document completing after the stop is ignored.
  const int before = browser_.roundTrips;
  control_.OnDocumentComplete({}, "file:///x/webed.htm");
  EXPECT_EQ(browser_.roundTrips, before);

  // A new page while a frame loads: the old activation ends quietly, the new one completes.
  events_.clear();
  browser_.duringWait = [this] { Load(); };
  Load();
  EXPECT_EQ(events_, "UndoChange 0;RedoChange 0;UndoChange 0;RedoChange 0;ButtonsEnable;NavigateComplete;");
}

TEST_F(EditControlTest, RoundTripsDoNotGrowWithTheNumberOfElements) {
  auto tripsFor = [this](int spans) {
    std::vector<std::string> texts(static_cast<std::size_t>(spans), "Text ");
    browser_.docs[{}] = Page(EditHTML(), texts);
    browser_.roundTrips = 0;
    Load();
    return browser_.roundTrips;
  };
  const int few = tripsFor(3);
  EXPECT_EQ(tripsFor(300), few);
  EXPECT_LE(few, 8);
}

TEST_F(EditControlTest, EventsReachQEvent) {
  pq::DocumentEvent e;
  e.frame = {1};
  e.type = "keypress";
  e.keyCode = 65;
  control_.qEvent(e);
  EXPECT_EQ(control_.LastEvent.frame, FramePath{1});
  EXPECT_EQ(control_.LastEvent.keyCode, 65);
}

TEST_F(EditControlTest, WhileTheEditCopyLoadsTheFramesWithCopiesDoNotLoadFromTheSiteFirst) {
  AddFrame(Page("", {"Menu"}));
  frames_[1].WebURL = "http://site.test/menu.htm";
  WriteCopy("");
  { std::ofstream(frames_[1].File) << "copy"; }
  frames_[frames_.Counter].File = pq::kFrameError;
  frames_[frames_.Counter++].WebURL = "http://maps.test/map.htm";
  control_.Navigate();
  EXPECT_TRUE(Held("http://site.test/menu.htm"));
  EXPECT_FALSE(Held("http://maps.test/map.htm"));  // no copy: it shows the site's own
  EXPECT_FALSE(Held(pq::CopyAddressOf(frames_[1].File)));
  // A table left from an earlier page (its copies loaded and deleted) holds back nothing.
  pq::DeleteFileQuietly(frames_[1].File);
  control_.Navigate();
  EXPECT_FALSE(Held("http://site.test/menu.htm"));
}

// An edit copy loaded while the browse pane still loads its page is read as soon as it has
// loaded, but neither checked nor activated until Navigate asks for the same copy: whether that
// comes before it completed, after its read, or while it is being read.
TEST_F(EditControlTest, AnEarlyEditCopyIsTakenOverWhenNavigateAsksForTheSameCopy) {
  enum When { BeforeComplete, AfterRead, DuringRead };
  for (const When when : {BeforeComplete, AfterRead, DuringRead}) {
    browser_.docs[{}] = Page(EditHTML(), {"Welcome"});
    browser_.calls.clear();
    events_.clear();
    fetched_.clear();
    WriteCopy("<html>early</html>");
    control_.Preload();
    const auto navigate = [&] {
      WriteCopy("<html>early</html>");  // written again on completion, the same
      control_.Navigate();
    };
    if (when == DuringRead) browser_.duringRead = navigate;
    if (when != BeforeComplete) Complete();
    if (when == AfterRead) {
      EXPECT_TRUE(fetched_.empty());
      EXPECT_TRUE(Top().styles.empty());
      EXPECT_EQ(events_.find("NavigateComplete"), std::string::npos);
      navigate();
    }
    if (when == BeforeComplete) {
      navigate();
      Complete();
    }
    EXPECT_EQ(Navigations(), 1) << when;
    EXPECT_EQ(std::count(browser_.calls.begin(), browser_.calls.end(), "activationElements []"), 1) << when;
    EXPECT_NE(events_.find("ButtonsEnable;NavigateComplete;"), std::string::npos) << when;
    EXPECT_EQ(Top().styles.size(), 1u) << when;
    EXPECT_EQ(control_.InitialControl().id, "ZZZEDIT1") << when;
    EXPECT_FALSE(pq::FileExists(CopyPath())) << when;
  }
}

TEST_F(EditControlTest, AnEarlyEditCopyThatIsNotTheOneAskedForIsLoadedAgain) {
  for (const bool stopped : {false, true}) {
    browser_.docs[{}] = Page(EditHTML(), {"Welcome"});
    browser_.calls.clear();
    events_.clear();
    WriteCopy("<html>early</html>");
    control_.Preload();
    Complete();
    if (stopped) control_.StopBrowser();
    WriteCopy(stopped ? "<html>early</html>" : "<html>changed meanwhile</html>");
    Load();
    EXPECT_EQ(Navigations(), 2) << stopped;
    EXPECT_EQ(Top().styles.size(), 1u) << stopped;
    EXPECT_NE(events_.find("ButtonsEnable;NavigateComplete;"), std::string::npos) << stopped;
  }
}

// Its frames are not prepared yet: every frame is held back, and those without copies are sent
// to the pages their elements name once the walk reaches them.
TEST_F(EditControlTest, AnEarlyEditCopyHoldsBackEveryFrameUntilItsCopiesAreKnown) {
  browser_.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 2);
  frames_[frames_.Counter++].File = pq::kFrameError;
  AddFrame(Page("", {"News"}));
  browser_.sources = {"http://maps.test/map.htm", "http://site.test/news.htm"};
  WriteCopy("early");
  control_.Preload();
  EXPECT_TRUE(Held("http://site.test/news.htm"));
  EXPECT_TRUE(Held("http://maps.test/map.htm"));
  EXPECT_FALSE(Held(pq::CopyAddressOf(CopyPath())));
  Complete();
  WriteCopy("early");
  browser_.duringWait = [&] { EXPECT_FALSE(Held("http://maps.test/map.htm")); };
  control_.Navigate();
  EXPECT_NE(std::find(browser_.calls.begin(), browser_.calls.end(), "navigateFrame [0] map.htm"), browser_.calls.end());
  EXPECT_TRUE(browser_.docs[{1}].hooked);
  EXPECT_NE(events_.find("NavigateComplete;"), std::string::npos);
}

// Frames that have loaded by the time the walk looks go together: one read, one activation.
TEST_F(EditControlTest, FramesLoadedTogetherAreReadAndActivatedTogether) {
  struct CountingBrowser : FakeBrowser {
    std::vector<std::optional<pq::ActivationRead>> ReadAllForActivation(const std::vector<FramePath>& frames) override {
      batches.push_back(frames.size());
      return FakeBrowser::ReadAllForActivation(frames);
    }
    std::vector<std::size_t> batches;
  };
  CountingBrowser browser;
  browser.control = nullptr;
  pq::EditControl control{browser, status_, window_, frames_, site_, problems_, Fetch()};
  browser.control = &control;
  browser.docs[{}] = Page(EditHTML("", "http://site.test/frames.htm"), {}, 3);
  for (const char* text : {"One", "Two", "Three"}) {
    AddFrame(Page("", {text}));
    browser.copies = browser_.copies;
  }
  // All three complete during the first wait.
  browser.duringWait = [&] {
    while (!browser.pending.empty()) {
      const auto [frame, url] = browser.pending.front();
      browser.pending.erase(browser.pending.begin());
      control.OnDocumentComplete(frame, url);
    }
  };
  control.Navigate();
  control.OnNavigateComplete({}, pq::CopyAddressOf(CopyPath()));
  control.OnDocumentComplete({}, pq::CopyAddressOf(CopyPath()));
  EXPECT_EQ(browser.batches, (std::vector<std::size_t>{3}));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(browser.docs[{i}].hooked) << i;
  EXPECT_EQ(control.Documents().size(), 4u);
}

}  // namespace
