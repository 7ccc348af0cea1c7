// The web view adapter against a real engine: frames, events, document access, error page.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "engine/web_view.h"
#include "pageprep/copy_address.h"
#include "pageprep/temp_files.h"
#include "support/canned_http_server.h"

namespace {

using pq::FramePath;
using pq::engine::WebView;

std::string PathText(const FramePath& p) { return pq::FramePathLiteral(p); }

class AdapterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto& env = pqtest::BrowseE2E::Get();
    if (!env.ok()) return;
    server_ = std::make_unique<pqtest::CannedHttpServer>();
    auto page = [](const std::string& body) { return pqtest::CannedHttpServer::Reply{200, "text/html", body, false}; };
    server_->Set("/plain.htm", page("<html><head><title>Plain</title></head><body><p id=\"p1\">First <b>bold</b></p>"
                                    "<span id=\"s1\">Span one</span><a id=\"a1\" href=\"plain2.htm\">link</a>"
                                    "<a id=\"blank\" href=\"other.htm\" target=\"_blank\">new window</a></body></html>"));
    server_->Set("/plain2.htm", page("<html><body><p>Second page</p></body></html>"));
    server_->Set("/fs.htm", page("<html><frameset cols=\"50%,50%\"><frame src=\"a.htm\"><frame src=\"inner.htm\">"
                                 "</frameset></html>"));
    server_->Set("/inner.htm", page("<html><frameset rows=\"50%,50%\"><frame src=\"b.htm\"><frame src=\"c.htm\">"
                                    "</frameset></html>"));
    for (const char* f : {"a", "b", "c"})
      server_->Set(std::string("/") + f + ".htm", page(std::string("<html><body>Frame ") + f + "</body></html>"));
    server_->Set("/spans.htm", page("<html><body><span id=\"ZZZEDIT1\">Edit <b>one</b></span> "
                                    "<span id=\"ZZZANCHOR1\"><a id=\"l\" href=\"plain2.htm\" "
                                    "onclick=\"window.clicked = 1\">link text</a></span>"
                                    "<a id=\"after\" href=\"a.htm\">after</a></body></html>"));
    server_->Set("/script.htm", page("<html><body><script>window.pageValue = 42;</script>page</body></html>"));
  }
  static void TearDownTestSuite() { server_.reset(); }
  // Each case gets a fresh window and view, so no case sees what an earlier one loaded.
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window_), 900, 700);
    view_ = std::make_unique<WebView>();
    gtk_container_add(GTK_CONTAINER(window_), view_->Widget());
    gtk_widget_show_all(window_);
    view_->BeforeNavigate = [this](const WebView::NavigationRequest& r, bool& cancel) {
      log_.push_back("before " + r.url + (r.topLevel ? " top" : " frame"));
      if (cancelWhen_ && cancelWhen_(r.url)) cancel = true;
    };
    view_->NavigateComplete = [this](const FramePath& p, const std::string& u) {
      log_.push_back("navigated " + PathText(p) + " " + u);
    };
    view_->DocumentComplete = [this](const FramePath& p, const std::string& u) {
      log_.push_back("complete " + PathText(p) + " " + u);
      if (p.empty()) ++topCompletions_;
    };
    view_->NewWindow = [this](const std::string& u, bool&) { log_.push_back("newwindow " + u); };
    view_->CommandStateChange = [this](int c, bool e) {
      log_.push_back("command " + std::to_string(c) + (e ? " on" : " off"));
    };
    view_->DocumentEventFired = [this](const pq::DocumentEvent& e) { events_.push_back(e); };
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("browse_adapter_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    view_.reset();
    if (window_) gtk_widget_destroy(window_);
    window_ = nullptr;
  }
  // Loads a page and waits for its top-level completion.
  bool Load(const std::string& url) {
    const int before = topCompletions_;
    view_->Navigate(url);
    return pqtest::WaitFor([&] { return topCompletions_ > before; });
  }
  int IndexOf(const std::string& entry) const {
    for (std::size_t i = 0; i < log_.size(); ++i)
      if (log_[i] == entry) return static_cast<int>(i);
    return -1;
  }

  static std::unique_ptr<pqtest::CannedHttpServer> server_;
  GtkWidget* window_ = nullptr;
  std::unique_ptr<WebView> view_;
  std::vector<std::string> log_;
  std::vector<pq::DocumentEvent> events_;
  std::function<bool(const std::string&)> cancelWhen_;
  int topCompletions_ = 0;
};

std::unique_ptr<pqtest::CannedHttpServer> AdapterTest::server_;

TEST_F(AdapterTest, FramesReportTheirPathsAndCompleteBeforeTheTop) {
  const std::string base = server_->url();
  ASSERT_TRUE(Load(base + "/fs.htm"));
  const int top = IndexOf("complete [] " + base + "/fs.htm");
  for (const char* entry : {"complete [0] /a.htm", "complete [1] /inner.htm", "complete [1,0] /b.htm",
                            "complete [1,1] /c.htm"}) {
    std::string e(entry);
    const auto space = e.rfind(' ');
    e = e.substr(0, space + 1) + base + e.substr(space + 1);
    SCOPED_TRACE(e);
    const int at = IndexOf(e);
    EXPECT_GE(at, 0);
    EXPECT_LT(at, top);
  }
  EXPECT_GE(IndexOf("navigated [] " + base + "/fs.htm"), 0);
  EXPECT_GE(IndexOf("navigated [1,1] " + base + "/c.htm"), 0);
  EXPECT_GE(IndexOf("before " + base + "/fs.htm top"), 0);
  EXPECT_GE(IndexOf("before " + base + "/b.htm frame"), 0);

  auto snap = view_->Snapshot();
  ASSERT_TRUE(snap);
  EXPECT_EQ(snap->location, base + "/fs.htm");
  ASSERT_EQ(snap->frames.size(), 2u);
  ASSERT_EQ(snap->frames[1].frames.size(), 2u);
  EXPECT_EQ(snap->frames[1].frames[1].location, base + "/c.htm");
  EXPECT_NE(snap->frames[1].frames[1].outerHTML.find("Frame c"), std::string::npos);
  EXPECT_EQ(view_->FrameCount({1}), 2);
  EXPECT_EQ(view_->FrameLocation({1, 0}).value_or(""), base + "/b.htm");
  EXPECT_FALSE(view_->FrameLocation({5}));

  // A frame navigated on its own reports under its own path.
  log_.clear();
  ASSERT_TRUE(view_->NavigateFrame({0}, base + "/c.htm"));
  ASSERT_TRUE(pqtest::WaitFor([&] { return IndexOf("complete [0] " + base + "/c.htm") >= 0; }));
  EXPECT_EQ(view_->FrameLocation({0}).value_or(""), base + "/c.htm");
}

TEST_F(AdapterTest, ElementsAreReadInOneWalkAndChangedInOneBatch) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  auto elements = view_->Elements({}, {"tag", "id", "text", "html", "editable", "parent"});
  ASSERT_GE(elements.size(), 5u);
  EXPECT_EQ(elements[0].tag, "P");
  EXPECT_EQ(elements[0].id, "p1");
  EXPECT_EQ(elements[0].html, "First <b>bold</b>");
  EXPECT_EQ(elements[1].tag, "B");
  EXPECT_EQ(elements[1].parent, 0);
  EXPECT_EQ(elements[0].parent, -1);
  int span = -1;
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (elements[i].id == "s1") span = static_cast<int>(i);
  ASSERT_GE(span, 0);
  EXPECT_FALSE(elements[static_cast<std::size_t>(span)].editable);

  const int applied = view_->ApplyChanges(
      {}, {{span, "contentEditable", "true"}, {span, "border", "1px dotted"}, {9999, "innerHTML", "x"},
           {0, "noSuchProperty", "x"}});
  EXPECT_EQ(applied, 2);
  auto s1 = view_->ElementById({}, "s1");
  ASSERT_TRUE(s1);
  EXPECT_TRUE(s1->editable);
  EXPECT_EQ(s1->html, "Span one");
  EXPECT_TRUE(view_->SetElementById({}, "s1", "innerHTML", "Changed <i>text</i>"));
  EXPECT_EQ(view_->ElementById({}, "s1")->html, "Changed <i>text</i>");
  EXPECT_FALSE(view_->ElementById({}, "missing"));
  EXPECT_FALSE(view_->SetElementById({}, "missing", "innerHTML", "x"));
}

TEST_F(AdapterTest, HookedDocumentsForwardEventsAndCancelCtrlKeys) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  ASSERT_TRUE(view_->SetElementById({}, "s1", "contentEditable", "true"));
  ASSERT_TRUE(view_->SetElementById({}, "s1", "focus", ""));
  ASSERT_TRUE(view_->HookDocumentEvents({}));
  // Untrusted events from a script reach the same listeners as the user's keys.
  auto prevented = view_->Evaluate(
      "(() => { const e = new KeyboardEvent('keydown', {keyCode: 66, ctrlKey: true, bubbles: true,"
      " cancelable: true}); document.getElementById('s1').dispatchEvent(e); return e.defaultPrevented; })()");
  ASSERT_TRUE(prevented);
  EXPECT_TRUE(prevented->Bool());
  ASSERT_TRUE(pqtest::WaitFor([&] { return !events_.empty(); }));
  const auto& e = events_.back();
  EXPECT_EQ(e.type, "keydown");
  EXPECT_EQ(e.keyCode, 66);
  EXPECT_TRUE(e.ctrlKey);
  EXPECT_TRUE(e.hasActive);
  EXPECT_EQ(e.active.id, "s1");
  EXPECT_TRUE(e.active.editable);
  EXPECT_EQ(e.active.html, "Span one");
  EXPECT_TRUE(e.frame.empty());
}

// The first caret position is never set once the user is in editable text: the check and the
// focus are one step in the page, so a click that arrives meanwhile keeps its caret.
TEST_F(AdapterTest, FocusUnlessEditingLeavesTheUsersCaretAlone) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  ASSERT_TRUE(view_->SetElementById({}, "s1", "contentEditable", "true"));
  ASSERT_TRUE(view_->SetElementById({}, "p1", "contentEditable", "true"));
  ASSERT_TRUE(view_->SetElementById({}, "p1", "focus", ""));
  EXPECT_FALSE(view_->SetElementById({}, "s1", "focusUnlessEditing", ""));
  EXPECT_EQ(view_->ActiveElement({})->id, "p1");
  ASSERT_TRUE(view_->Evaluate("document.activeElement.blur(), true"));
  EXPECT_TRUE(view_->SetElementById({}, "s1", "focusUnlessEditing", ""));
  EXPECT_EQ(view_->ActiveElement({})->id, "s1");
}

// The editor's handler waits for round trips to the page; keys that come meanwhile must wait
// their turn instead of running inside it.
TEST_F(AdapterTest, EventsThatArriveWhileAHandlerWaitsAreDeliveredAfterItInOrder) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  ASSERT_TRUE(view_->SetElementById({}, "s1", "contentEditable", "true"));
  ASSERT_TRUE(view_->SetElementById({}, "s1", "focus", ""));
  ASSERT_TRUE(view_->HookDocumentEvents({}));
  std::vector<std::string> log;
  int running = 0, deepest = 0;
  view_->DocumentEventFired = [&](const pq::DocumentEvent& e) {
    if (e.type != "keyup") return;
    ++running;
    deepest = std::max(deepest, running);
    log.push_back("begin " + std::to_string(e.keyCode));
    // A round trip, as the editor makes: the main loop runs while it waits for the answer.
    auto active = view_->ActiveElement({});
    EXPECT_TRUE(active && active->id == "s1");
    log.push_back("end " + std::to_string(e.keyCode));
    --running;
  };
  // Three keys at once: the second and third reach the view while the first one's handler waits.
  view_->Evaluate(
      "for (const k of [65, 66, 67]) document.getElementById('s1').dispatchEvent("
      "new KeyboardEvent('keyup', {keyCode: k, bubbles: true}));", true);
  ASSERT_TRUE(pqtest::WaitFor([&] { return log.size() == 6; }));
  EXPECT_EQ(log, (std::vector<std::string>{"begin 65", "end 65", "begin 66", "end 66", "begin 67", "end 67"}));
  EXPECT_EQ(deepest, 1);
}

TEST_F(AdapterTest, DroppedClicksLeaveTheMarkupAloneAndSpansAreReadInOneWalk) {
  const std::string url = server_->url() + "/spans.htm";
  ASSERT_TRUE(Load(url));
  const std::string before = view_->OuterHTML();
  auto elements = view_->Elements({}, {"id"});
  int link = -1;
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (elements[i].id == "l") link = static_cast<int>(i);
  ASSERT_GE(link, 0);
  EXPECT_EQ(view_->ApplyChanges({}, {{link, "onclick", ""}}), 1);
  EXPECT_EQ(view_->OuterHTML(), before);
  // A click on a plain link after it: its navigation shows that the dropped click asked for none.
  cancelWhen_ = [](const std::string&) { return true; };
  view_->Evaluate("document.getElementById('l').click(); document.getElementById('after').click()", true);
  ASSERT_TRUE(pqtest::WaitFor([&] { return IndexOf("before " + server_->url() + "/a.htm top") >= 0; }));
  EXPECT_EQ(IndexOf("before " + server_->url() + "/plain2.htm top"), -1);
  EXPECT_EQ(view_->LocationURL(), url);
  auto clicked = view_->Evaluate("String(window.clicked)", true);
  ASSERT_TRUE(clicked);
  EXPECT_EQ(clicked->Str(), "undefined");

  ASSERT_TRUE(view_->SetElementById({}, "l", "contentEditable", "true"));
  auto spans = view_->Spans({});
  ASSERT_TRUE(spans);
  EXPECT_EQ(spans->InnerHTML("ZZZEDIT1").value_or(""), "Edit <b>one</b>");
  EXPECT_EQ(spans->EditableLinkHTML("ZZZANCHOR1"), std::vector<std::string>{"link text"});
  EXPECT_FALSE(spans->InnerHTML("ZZZEDIT2"));
}

TEST_F(AdapterTest, PageScriptsCannotSeeTheRuntime) {
  ASSERT_TRUE(Load(server_->url() + "/script.htm"));
  auto inPage = view_->Evaluate("typeof window.__pq + ' ' + window.pageValue", true);
  ASSERT_TRUE(inPage);
  EXPECT_EQ(inPage->Str(), "undefined 42");
  auto inRuntime = view_->CallRuntime("frameCount", "[]");
  ASSERT_TRUE(inRuntime);
  EXPECT_EQ(inRuntime->Int(-1), 0);
  EXPECT_FALSE(view_->Evaluate("throw new Error('bad page')"));
  EXPECT_FALSE(view_->CallRuntime("snapshot", "[3,1]"));
}

// The runtime is installed in each document as it starts: a call carries only itself. The view's
// first, empty document had no start, so the first call there brings the runtime along.
TEST_F(AdapterTest, ACallSendsOnlyItselfOnceTheDocumentHasTheRuntime) {
  const auto fresh = view_->Stats();
  EXPECT_EQ(view_->FrameCount({}), 0);
  EXPECT_EQ(view_->Stats().roundTrips - fresh.roundTrips, 2);
  const auto installed = view_->Stats();
  EXPECT_EQ(view_->FrameCount({}), 0);
  EXPECT_EQ(view_->Stats().roundTrips - installed.roundTrips, 1);

  ASSERT_TRUE(Load(server_->url() + "/fs.htm"));
  const auto loaded = view_->Stats();
  EXPECT_EQ(view_->FrameCount({1}), 2);
  auto active = view_->ActiveElement({1, 0});
  ASSERT_TRUE(active);
  EXPECT_EQ(active->tag, "BODY");
  EXPECT_EQ(view_->Stats().roundTrips - loaded.roundTrips, 2);
  EXPECT_LT(view_->Stats().bytesSent - loaded.bytesSent, 400);
  // A frame without the runtime is not reached by re-sending it.
  const auto failing = view_->Stats();
  EXPECT_FALSE(view_->CallRuntime("snapshot", "[7]"));
  EXPECT_EQ(view_->Stats().roundTrips - failing.roundTrips, 1);
}

TEST_F(AdapterTest, AnUnreachableAddressShowsTheErrorPage) {
  const std::string url = "http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/gone.htm";
  ASSERT_TRUE(Load(url));
  EXPECT_EQ(view_->LocationURL(), url);
  auto snap = view_->Snapshot();
  ASSERT_TRUE(snap);
  EXPECT_NE(snap->outerText.find("The page cannot be displayed"), std::string::npos);
  EXPECT_EQ(std::count(log_.begin(), log_.end(), "before " + url + " top"), 1);
  // The next navigation works normally.
  ASSERT_TRUE(Load(server_->url() + "/plain2.htm"));
  EXPECT_EQ(view_->Snapshot()->outerText.find("cannot be displayed"), std::string::npos);
}

// Addresses the engine refuses without loading anything: each ends in the error page with its
// reason (and never in an empty page that looks loaded).
TEST_F(AdapterTest, AddressesTheEngineRefusesShowTheErrorPageWithTheReason) {
  const std::string port = server_->url().substr(server_->url().rfind(':'));
  const struct {
    std::string url, reason;
  } cases[] = {
      {"http://  127.0.0.1" + port + "/plain.htm", "blank in its host name"},
      {"http://bad host/x.htm", "blank in its host name (\"bad host\")"},
      {"http://127.0.0.1:9/", "does not connect to port 9,"},
      {"http://127.0.0.1:25/index.htm", "does not connect to port 25,"},
      {"mailto:someone@example.com", "Pagequill opens web pages (http and https) only."},
      {"javascript:alert(1)", "Pagequill opens web pages (http and https) only."},
      {"ftp://127.0.0.1/index.htm", "Pagequill opens web pages (http and https) only."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
    const int before = topCompletions_;
    view_->Navigate(c.url);
    ASSERT_TRUE(pqtest::WaitFor([&] { return topCompletions_ > before; }));
    auto snap = view_->Snapshot();
    ASSERT_TRUE(snap);
    EXPECT_NE(snap->outerText.find("The page cannot be displayed"), std::string::npos) << snap->outerText;
    EXPECT_NE(snap->outerText.find(c.reason), std::string::npos) << snap->outerText;
    EXPECT_NE(snap->outerText.find("Check the address."), std::string::npos);
    EXPECT_EQ(snap->outerText.find("connected to the network"), std::string::npos);
    EXPECT_EQ(topCompletions_, before + 1);
  }
}

// After the engine's page process dies, the pane says so and offers the page again.
TEST_F(AdapterTest, AStoppedEngineProcessShowsAPageThatOffersAReload) {
  const std::string url = server_->url() + "/plain.htm";
  ASSERT_TRUE(Load(url));
  const int before = topCompletions_;
  view_->TerminateEngineProcess();
  ASSERT_TRUE(pqtest::WaitFor([&] { return topCompletions_ > before; }));
  auto snap = view_->Snapshot();
  ASSERT_TRUE(snap);
  EXPECT_NE(snap->outerText.find("The page cannot be displayed"), std::string::npos);
  EXPECT_NE(snap->outerText.find("The web engine stopped"), std::string::npos);
  EXPECT_EQ(snap->outerText.find("network"), std::string::npos);
  auto reload = view_->ElementById({}, "reload");
  ASSERT_TRUE(reload);
  EXPECT_EQ(reload->text, "Reload the page");
  // The offered reload brings the page back.
  const int shown = topCompletions_;
  view_->Evaluate("document.getElementById('reload').click()", true);
  ASSERT_TRUE(pqtest::WaitFor([&] { return topCompletions_ > shown; }));
  EXPECT_EQ(view_->LocationURL(), url);
  EXPECT_NE(view_->Snapshot()->outerText.find("First bold"), std::string::npos);
}

TEST_F(AdapterTest, CancelledNavigationsAndNewWindowsLoadNothing) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  cancelWhen_ = [](const std::string& url) { return url.find("plain2.htm") != std::string::npos; };
  view_->Evaluate("document.getElementById('a1').click()", true);
  view_->Evaluate("document.getElementById('blank').click()", true);
  ASSERT_TRUE(pqtest::WaitFor([&] { return IndexOf("newwindow " + server_->url() + "/other.htm") >= 0; }));
  ASSERT_TRUE(pqtest::WaitFor([&] { return IndexOf("before " + server_->url() + "/plain2.htm top") >= 0; }));
  // Both were refused in their handlers; a round trip to the page lets anything else arrive.
  ASSERT_TRUE(view_->Evaluate("1"));
  EXPECT_EQ(view_->LocationURL(), server_->url() + "/plain.htm");
  EXPECT_FALSE(view_->Busy());
}

TEST_F(AdapterTest, BackAndForwardAvailabilityIsReported) {
  ASSERT_TRUE(Load(server_->url() + "/plain.htm"));
  ASSERT_TRUE(Load(server_->url() + "/plain2.htm"));
  EXPECT_TRUE(view_->CanGoBack());
  log_.clear();
  const int before = topCompletions_;
  view_->GoBack();
  ASSERT_TRUE(pqtest::WaitFor([&] { return topCompletions_ > before; }));
  EXPECT_EQ(view_->LocationURL(), server_->url() + "/plain.htm");
  EXPECT_TRUE(view_->CanGoForward());
  EXPECT_GE(IndexOf("command 1 on"), 0);
}

// What the edit pane does with a frameset's edit copy: the local copy's frames come from the live
// site through its BASE line, and are then navigated to their local copies, one by one.
TEST_F(AdapterTest, ALocalEditCopyReachesItsFramesWithFileAccess) {
  const std::string base = server_->url();
  const std::string folder = pqtest::BrowseE2E::Get().temp();
  {
    std::ofstream(folder + "/copy.htm") << "<BASE HREF=\"" << base << "/fs.htm\">\r\n"
                                        << "<html><frameset cols=\"50%,50%\"><frame src=\"a.htm\"><frame src=\"inner.htm\">"
                                           "</frameset></html>\r\n";
    std::ofstream(folder + "/frame1.htm") << "<BASE HREF=\"" << base << "/a.htm\">\r\n"
                                          << "<html><body><span id=\"ZZZEDIT1\">Local copy</span></body></html>\r\n";
  }
  WebView local(WebView::Options{true, true});
  GtkWidget* win = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_container_add(GTK_CONTAINER(win), local.Widget());
  gtk_widget_show_all(win);
  int top = 0;
  std::vector<std::string> frameCompletions;
  local.DocumentComplete = [&](const FramePath& p, const std::string& u) {
    if (p.empty()) ++top;
    else frameCompletions.push_back(PathText(p) + " " + u);
  };
  local.Navigate("file://" + folder + "/copy.htm");
  ASSERT_TRUE(pqtest::WaitFor([&] { return top == 1; }));
  EXPECT_EQ(local.FrameLocation({1, 1}).value_or(""), base + "/c.htm");

  ASSERT_TRUE(local.NavigateFrame({0}, "file://" + folder + "/frame1.htm"));
  ASSERT_TRUE(pqtest::WaitFor([&] {
    return std::count(frameCompletions.begin(), frameCompletions.end(), "[0] file://" + folder + "/frame1.htm") == 1;
  }));
  auto span = local.ElementById({0}, "ZZZEDIT1");
  ASSERT_TRUE(span);
  EXPECT_EQ(span->html, "Local copy");
  auto snap = local.Snapshot();
  ASSERT_TRUE(snap);
  ASSERT_EQ(snap->frames.size(), 2u);
  EXPECT_TRUE(snap->frames[1].frames[0].readable);
  gtk_container_remove(GTK_CONTAINER(win), local.Widget());
  gtk_widget_destroy(win);
}

// The program's copies are HTML whatever their first bytes, and only views that show copies
// open them: a page from the web cannot put one in its frames.
TEST_F(AdapterTest, ACopyIsReadAsHtmlAndOnlyTheProgramOpensIt) {
  const std::string path = pq::TempFolder() + "webed.htm";
  std::ofstream(path, std::ios::binary)
      << "\xEF\xBB\xBF<BASE HREF=\"" << server_->url() << "/x.htm\">\r\n"
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 "
         "Transitional//EN\" \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>Caf&eacute;<br />"
         "<span id=\"ZZZEDIT1\">Copy</span></p></body></html>\r\n";
  WebView local(WebView::Options{true, true});
  GtkWidget* win = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_container_add(GTK_CONTAINER(win), local.Widget());
  gtk_widget_show_all(win);
  int top = 0;
  local.DocumentComplete = [&](const FramePath& p, const std::string&) { top += p.empty() ? 1 : 0; };
  local.Navigate(pq::CopyAddressOf(path));
  ASSERT_TRUE(pqtest::WaitFor([&] { return top == 1; }));
  const auto type = local.Evaluate("document.contentType");
  EXPECT_EQ(type ? type->Str() : "", "text/html");
  const auto span = local.ElementById({}, "ZZZEDIT1");
  ASSERT_TRUE(span);
  EXPECT_EQ(span->html, "Copy");
  gtk_container_remove(GTK_CONTAINER(win), local.Widget());
  gtk_widget_destroy(win);

  server_->Set("/peek.htm", {200, "text/html",
                             "<html><body><iframe src=\"" + pq::CopyAddressOf(path) + "\"></iframe></body></html>",
                             false});
  ASSERT_TRUE(Load(server_->url() + "/peek.htm"));
  pqtest::Settle(std::chrono::milliseconds(500));
  // Whatever the frame holds, the web page cannot read the copy's text.
  const auto inFrame = view_->Evaluate(
      "(function(){try{const d=document.querySelector('iframe').contentDocument;"
      "return d?String(d.documentElement.outerHTML):'no document'}catch(e){return 'refused'}})()");
  ASSERT_TRUE(inFrame);
  EXPECT_EQ(inFrame->Str().find("ZZZEDIT1"), std::string::npos) << inFrame->Str();
  view_->Navigate(pq::CopyAddressOf(path));
  ASSERT_TRUE(pqtest::WaitFor([&] { return !view_->Busy(); }));
  pqtest::Settle(std::chrono::milliseconds(300));
  EXPECT_NE(view_->OuterHTML().find("web pages"), std::string::npos) << view_->OuterHTML();
}

TEST_F(AdapterTest, ALargePageIsReadWhole) {
  std::string body = "<html><body>";
  for (int i = 0; body.size() < 1024 * 1024; ++i) body += "<p>Paragraph " + std::to_string(i) + " of a large page</p>\n";
  body += "<p id=\"last\">The end</p></body></html>";
  server_->Set("/large.htm", {200, "text/html", body, false});
  ASSERT_TRUE(Load(server_->url() + "/large.htm"));
  auto snap = view_->Snapshot();
  ASSERT_TRUE(snap);
  EXPECT_GT(snap->outerHTML.size(), 1024u * 1024u);
  EXPECT_NE(snap->outerText.find("The end"), std::string::npos);
}

}  // namespace
