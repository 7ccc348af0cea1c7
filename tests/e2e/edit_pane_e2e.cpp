// The edit pane beside the browse pane on the demo site: exactly the permitted text becomes
// editable, everything else stays inert, activation leaves no trace in what will be published,
// and the site check decides the status bar and the Publishing notices.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "edit_pane_window.h"
#include "editor/activation.h"
#include "publishing/widgets/publish_complete_dialog.h"
#include "engine/in_page_runtime.h"
#include "pageprep/temp_files.h"
#include "pageprep/url_ops.h"
#include "text/text_util.h"
#include "private_folders.h"
#include "skin_e2e_support.h"
#include "support/canned_http_server.h"
#include "support/file_text.h"
#include "support/site_server.h"

namespace {

namespace fs = std::filesystem;
using pq::PageStatus;
using pq::ProblemNotice;

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb(1, 1280, 800));

using pqtest::PrivateFolders;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool ok = false;
};

class EditPaneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folders_ = new PrivateFolders("/tmp/pq-edit-e2e-XXXXXX");
    site_ = new pqtest::SiteServer();
    if (!site_->ok()) return;
    window_ = new pqtest::EditPaneWindow(site_->url() + "/index.htm");
    window_->Show();
    pqtest::WaitFor([] { return window_->Count("NavigateComplete") > 0; }, 30000);
  }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
    delete site_;
    site_ = nullptr;
    delete folders_;
  }
  void SetUp() override {
    ASSERT_TRUE(site_ && site_->ok()) << "the site server did not start";
    ASSERT_TRUE(window_);
  }

  static pq::EditControl& Edit() { return window_->edit->Control(); }
  static pq::engine::WebView& EditView() { return window_->edit->View(); }

  // Shows a page in the browse pane and waits until the edit pane has made it editable.
  static bool Load(const std::string& url) {
    const int before = window_->Count("NavigateComplete");
    const int failed = window_->Count("PageCantBeDisplayed");
    window_->browse->Control().Navigate(url);
    const bool done = pqtest::WaitFor(
        [&] { return window_->Count("NavigateComplete") > before || window_->Count("PageCantBeDisplayed") > failed; },
        30000);
    return done && window_->Count("NavigateComplete") > before;
  }

  // The element's box in the edit view, in screen coordinates.
  static Rect ScreenRect(const std::string& selector, const pq::FramePath& frame = {}) {
    std::string walk = "window";
    for (int i : frame) walk += ".frames[" + std::to_string(i) + "]";
    auto v = EditView().Evaluate("(() => { const w = " + walk + "; const e = w.document.querySelector(" +
                                 pq::engine::JsString(selector) +
                                 "); if (!e) return null; e.scrollIntoView({block: 'center'});"
                                 " let x = 0, y = 0, f = w; while (f !== window) { const r = f.frameElement.getBoundingClientRect();"
                                 " x += r.left; y += r.top; f = f.parent; }"
                                 " const r = e.getBoundingClientRect(); return [x + r.left, y + r.top, r.width, r.height]; })()");
    Rect r;
    if (!v || v->kind != pq::engine::ScriptValue::Kind::Array || v->size() != 4) return r;
    GtkWidget* web = EditView().Widget();
    int wx = 0, wy = 0, ox = 0, oy = 0;
    gtk_widget_translate_coordinates(web, window_->Window(), 0, 0, &wx, &wy);
    gdk_window_get_origin(gtk_widget_get_window(window_->Window()), &ox, &oy);
    r.x = ox + wx + static_cast<int>(v->items[0].number);
    r.y = oy + wy + static_cast<int>(v->items[1].number);
    r.w = static_cast<int>(v->items[2].number);
    r.h = static_cast<int>(v->items[3].number);
    r.ok = r.w > 0 && r.h > 0;
    return r;
  }
  // Keys typed through xdotool while the main loop runs: the window answers the keyboard
  // requests that typing makes of it.
  static bool TypeKeys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", "40"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    pqtest::ChildProcess xdo;
    if (!xdo.Start(argv)) return false;
    const bool ended = pqtest::WaitFor([&] { return !xdo.Running(); }, 10000);
    pqtest::Pump(400);
    return ended;
  }
  static void Click(int x, int y) {
    pqtest::MoveTo(x, y);
    pqtest::Press();
    pqtest::Release();
  }

  // The spans of the edit copy as the engine reads them when nothing is done to the page: the
  // edit HTML shown in a plain view of its own.
  static std::optional<pq::SpanSnapshot> PlainSpans(const std::string& editHTML, const std::string& base) {
    const std::string path = pq::TempFolder() + "plain-copy.htm";
    pq::WriteEditCopy(path, base, editHTML);
    // Without the page's scripts, which could rewrite a span before it is read.
    pq::engine::WebView::Options o;
    o.pageScripts = false;
    pq::engine::WebView plain(o);
    bool loaded = false;
    plain.DocumentComplete = [&](const pq::FramePath& f, const std::string&) { loaded = loaded || f.empty(); };
    plain.Navigate("file://" + path);
    if (!pqtest::WaitFor([&] { return loaded; }, 10000)) return std::nullopt;
    auto spans = plain.Spans({});
    pq::DeleteFileQuietly(path);
    return spans;
  }

  static PrivateFolders* folders_;
  static pqtest::SiteServer* site_;
  static pqtest::EditPaneWindow* window_;
};

PrivateFolders* EditPaneTest::folders_ = nullptr;
pqtest::SiteServer* EditPaneTest::site_ = nullptr;
pqtest::EditPaneWindow* EditPaneTest::window_ = nullptr;

TEST_F(EditPaneTest, HomePageExactlyTheSpansWithTextAndThePlainLinksAreEditable) {
  pqtest::ShotOnFailure shot;
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  const auto elements = EditView().Elements({}, {"tag", "id", "text", "editable", "parent", "parentId"});
  ASSERT_GT(elements.size(), 20u);
  // Roots of editability: editable elements whose parent is not.
  std::set<std::string> roots;
  for (const auto& e : elements) {
    if (!e.editable) continue;
    if (e.parent >= 0 && elements[static_cast<std::size_t>(e.parent)].editable) continue;
    roots.insert(e.tag == "A" ? "link in " + e.parentId : e.id);
  }
  // Written down from the demo's home page: ZZZANCHOR1 and 11 hold images, ZZZANCHOR15 has no
  // text.
  std::set<std::string> expected;
  for (int i = 1; i <= 18; ++i) expected.insert("ZZZEDIT" + std::to_string(i));
  for (int i : {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 16}) expected.insert("link in ZZZANCHOR" + std::to_string(i));
  EXPECT_EQ(roots, expected);
  // The spans recorded at activation, made from its read, are the page's own as read back.
  const auto live = EditView().Spans({});
  ASSERT_TRUE(live);
  ASSERT_FALSE(Edit().Documents().empty());
  const pq::SpanSnapshot& recorded = Edit().Documents()[0].spans;
  EXPECT_EQ(recorded.elements.size(), live->elements.size());
  for (const auto& [id, span] : live->elements) {
    EXPECT_EQ(recorded.InnerHTML(id).value_or("(none)"), span.innerHTML) << id;
    EXPECT_EQ(recorded.EditableLinkHTML(id), span.editableLinks) << id;
  }
  EXPECT_EQ(window_->site.Status, PageStatus::Editable);
  EXPECT_TRUE(window_->site.SiteReady);
  EXPECT_EQ(window_->edit->Status().Icon(), pq::EditStatusIcon::Tick);
  EXPECT_EQ(window_->edit->Status().Text(), "Changes to this page can be published");
  EXPECT_FALSE(window_->state.EditTabPreparing);
  EXPECT_TRUE(Edit().NavigationBlocked());
  pqtest::Pump(1500);  // let both views paint before the picture
  pqtest::Shot("-home");
}

// The home page's own script fills in #openstate over the span ZZZEDIT5: it does so in the
// browse pane, never in the edit pane, whose span keeps the text of the page's source.
TEST_F(EditPaneTest, ThePagesOwnScriptsRunOnlyInTheBrowsePane) {
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  auto openState = [](pq::engine::WebView& view) {
    auto v = view.Evaluate("(() => { const e = document.getElementById('openstate'); return e ? e.innerHTML : null; })()");
    return v && v->kind == pq::engine::ScriptValue::Kind::String ? v->string : std::string("(none)");
  };
  EXPECT_NE(openState(window_->browse->View()).find("We are"), std::string::npos);
  const std::string edit = openState(EditView());
  EXPECT_EQ(edit.find("We are"), std::string::npos) << edit;
  auto span = EditView().ElementById({}, "ZZZEDIT5");
  ASSERT_TRUE(span);
  EXPECT_EQ(span->parentId, "openstate");
  auto plain = PlainSpans(window_->browse->Control().EditHTML(), window_->browse->Control().WebURL());
  ASSERT_TRUE(plain);
  EXPECT_EQ(span->html, plain->elements["ZZZEDIT5"].innerHTML);
}

// Only our dotted frame marks the focused span: the engine's own focus ring is turned off.
TEST_F(EditPaneTest, TheFocusedSpanHasNoFocusRing) {
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  for (const char* selector : {"#ZZZEDIT1", "#ZZZANCHOR2 a"}) {
    // A real click: the engine rings what the user focuses, not what a script does.
    const Rect r = ScreenRect(selector);
    ASSERT_TRUE(r.ok) << selector;
    Click(r.x + 3, r.y + r.h / 2);
    pqtest::Pump(300);
    auto v = EditView().Evaluate(std::string("(() => { const e = document.querySelector('") + selector +
                                 "'); return [document.activeElement === e,"
                                 " getComputedStyle(e).outlineStyle]; })()");
    ASSERT_TRUE(v && v->size() == 2) << selector;
    EXPECT_TRUE(v->items[0].boolean) << selector;
    EXPECT_EQ(v->items[1].string, "none") << selector;
  }
}

TEST_F(EditPaneTest, ActivationLeavesNoTraceInTheSpans) {
  for (const char* page : {"/index.htm", "/products.htm", "/contact.htm", "/about.htm"}) {
    SCOPED_TRACE(page);
    ASSERT_TRUE(Load(site_->url() + page));
    const std::string editHTML = window_->browse->Control().EditHTML();
    auto plain = PlainSpans(editHTML, window_->browse->Control().WebURL());
    ASSERT_TRUE(plain);
    ASSERT_FALSE(Edit().Documents().empty());
    const pq::SpanSnapshot& live = Edit().Documents()[0].spans;
    ASSERT_EQ(live.elements.size(), plain->elements.size());
    for (const auto& [id, e] : plain->elements) {
      auto it = live.elements.find(id);
      ASSERT_NE(it, live.elements.end()) << id;
      std::string expected = e.innerHTML;
      // The two deliberate changes.
      if (expected == pq::kDeletedTextHTML) expected = "";
      const bool hasText = id.rfind("ZZZEDIT", 0) == 0 && !expected.empty() && expected.back() == ' ';
      if (hasText) expected = expected.substr(0, expected.size() - 1) + "&nbsp;";
      EXPECT_EQ(it->second.innerHTML, expected) << id;
    }
    // And what the live page gives now is what the snapshot holds.
    auto now = EditView().Spans({});
    ASSERT_TRUE(now);
    for (const auto& [id, e] : live.elements) EXPECT_EQ(now->elements[id].innerHTML, e.innerHTML) << id;
  }
}

// A large page's edit copy is written and loaded while the browse pane still loads the page,
// and ends activated like any other.
TEST_F(EditPaneTest, ALargePageIsLoadedEarlyAndActivatedLikeAnyOther) {
  std::string body = "<html><head><title>Large</title></head><body>\n";
  for (int i = 0; body.size() < 300 * 1024; ++i)
    body += "<p>Paragraph " + std::to_string(i) + " with <b>some</b> text and <a href=\"index.htm\">a link</a>.</p>\n";
  std::ofstream(site_->root() + "/large.htm", std::ios::binary) << body << "</body></html>";
  const int early = window_->Count("EarlyEditCopy");
  ASSERT_TRUE(Load(site_->url() + "/large.htm"));
  EXPECT_EQ(window_->Count("EarlyEditCopy"), early + 1);
  ASSERT_EQ(Edit().Documents().size(), 1u);
  EXPECT_TRUE(Edit().Documents()[0].activated);
  const auto first = EditView().ElementById({}, "ZZZEDIT1");
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->editable);
  // What was recorded is what the live page holds.
  const pq::SpanSnapshot& recorded = Edit().Documents()[0].spans;
  auto now = EditView().Spans({});
  ASSERT_TRUE(now);
  EXPECT_GT(recorded.elements.size(), 1000u);
  EXPECT_EQ(now->elements.size(), recorded.elements.size());
  for (const auto& [id, e] : recorded.elements) EXPECT_EQ(now->elements[id].innerHTML, e.innerHTML) << id;
}

TEST_F(EditPaneTest, RealClicksOnLinksGoNowhere) {
  pqtest::ShotOnFailure shot;
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  const std::string location = EditView().LocationURL();
  const int completes = window_->Count("NavigateComplete");
  const int started = window_->Count("StartedNavigation");
  // An editable link text, an image link, and a link that asks for a new window.
  for (const char* selector : {"#ZZZANCHOR5 a", "#ZZZANCHOR1 a", "#ZZZANCHOR14 a"}) {
    SCOPED_TRACE(selector);
    const Rect r = ScreenRect(selector);
    ASSERT_TRUE(r.ok);
    Click(r.x + r.w / 2, r.y + r.h / 2);
    pqtest::Pump(700);
    EXPECT_EQ(EditView().LocationURL(), location);
  }
  EXPECT_EQ(window_->Count("NavigateComplete"), completes);
  EXPECT_EQ(window_->Count("StartedNavigation"), started);  // the browse pane stays too
}

// A real drag with the mouse, in steps as a hand would move it.
void Drag(int fromX, int fromY, int toX, int toY) {
  pqtest::MoveTo(fromX, fromY);
  pqtest::Press();
  for (int i = 1; i <= 6; ++i)
    pqtest::Xdo({"mousemove", "--sync", std::to_string(fromX + (toX - fromX) * i / 6),
                 std::to_string(fromY + (toY - fromY) * i / 6)}, 20);
  pqtest::Release();
}

// Whether both ends of the selection lie inside one editable element.
bool SelectionInsideEditable(pq::engine::WebView& view) {
  auto v = view.Evaluate(
      "(() => { const s = document.getSelection(); if (!s || s.rangeCount === 0 || s.isCollapsed) return true;"
      " const inside = (n) => { const e = n.nodeType === 1 ? n : n.parentElement; return !!e && e.isContentEditable; };"
      " return inside(s.anchorNode) && inside(s.focusNode); })()");
  return v && v->Bool();
}

TEST_F(EditPaneTest, ARealDragOverAHeadingSelectsNothingOutsideTheSpans) {
  pqtest::ShotOnFailure shot;
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  // From the page's logo across the heading: the heading's text is an edit span, so whatever
  // is selected lies inside it; nothing around it can be selected.
  const Rect logo = ScreenRect("#ZZZANCHOR1 img");
  const Rect h1 = ScreenRect("h1");
  ASSERT_TRUE(logo.ok && h1.ok);
  EditView().ExecCommand({}, "unselect");
  Drag(logo.x + 4, logo.y + 4, h1.x + h1.w - 4, h1.y + h1.h - 2);
  EXPECT_TRUE(SelectionInsideEditable(EditView())) << EditView().SelectionText({});
  EXPECT_EQ(EditView().SelectionText({}).find("Lindenhof Bakery\n"), std::string::npos);

  // On a site whose link texts may not be edited, the navigation bar holds nothing editable:
  // a drag across it selects nothing at all.
  pqtest::SiteServer::Options o;
  o.flags = "NNY";
  pqtest::SiteServer fixedLinks(o);
  ASSERT_TRUE(fixedLinks.ok());
  ASSERT_TRUE(Load(fixedLinks.url() + "/index.htm"));
  EXPECT_FALSE(window_->site.LinkTextEditable);
  const Rect nav = ScreenRect("#nav");
  ASSERT_TRUE(nav.ok);
  EditView().ExecCommand({}, "unselect");
  Drag(nav.x + 2, nav.y + nav.h / 2, nav.x + nav.w - 2, nav.y + nav.h / 2);
  EXPECT_EQ(EditView().SelectionText({}), "");
  auto link = EditView().Elements({}, {"tag", "editable"});
  for (const auto& e : link)
    if (e.tag == "A") {
      EXPECT_FALSE(e.editable);
    }
}

TEST_F(EditPaneTest, RealTypingChangesExactlyThatSpan) {
  pqtest::ShotOnFailure shot;
  ASSERT_TRUE(Load(site_->url() + "/index.htm"));
  const pq::SpanSnapshot before = Edit().Documents()[0].spans;
  const Rect r = ScreenRect("#ZZZEDIT6");  // "This week"
  ASSERT_TRUE(r.ok);
  Click(r.x + r.w - 2, r.y + r.h / 2);
  ASSERT_TRUE(TypeKeys({"Z", "q"}));
  auto after = EditView().Spans({});
  ASSERT_TRUE(after);
  std::vector<std::string> changed;
  for (const auto& [id, e] : before.elements)
    if (after->elements[id].innerHTML != e.innerHTML) changed.push_back(id);
  EXPECT_EQ(changed, std::vector<std::string>{"ZZZEDIT6"});
  EXPECT_NE(after->elements["ZZZEDIT6"].innerHTML.find("Zq"), std::string::npos) << after->elements["ZZZEDIT6"].innerHTML;
  // The keys reached qEvent from the page.
  EXPECT_EQ(Edit().LastEvent.frame, pq::FramePath{});
  EXPECT_EQ(Edit().LastEvent.active.id, "ZZZEDIT6");
}

TEST_F(EditPaneTest, FormFieldsOfTheContactPageAreDisabled) {
  ASSERT_TRUE(Load(site_->url() + "/contact.htm"));
  auto v = EditView().Evaluate(
      "(() => { const f = Array.from(document.querySelectorAll('input, textarea, select'));"
      " return [f.length, f.filter((e) => e.disabled).length]; })()");
  ASSERT_TRUE(v && v->size() == 2);
  EXPECT_GE(v->items[0].Int(), 5);
  EXPECT_EQ(v->items[1].Int(), v->items[0].Int());
}

TEST_F(EditPaneTest, DeletedTextIsEmptiedEditableAndTakesTheCaret) {
  std::ofstream(site_->root() + "/deleted.htm")
      << "<html><head><title>Deleted</title></head><body><p>First words</p>"
         "<p>&nbsp;<!--DeletedText--></p><p>Last words</p></body></html>";
  ASSERT_TRUE(Load(site_->url() + "/deleted.htm"));
  const auto& spans = Edit().Documents()[0].spans;
  std::string id;
  for (const auto& [spanId, e] : spans.elements)
    if (spanId.rfind("ZZZEDIT", 0) == 0 && e.innerHTML.empty()) id = spanId;
  ASSERT_FALSE(id.empty()) << "no emptied span";
  EXPECT_EQ(Edit().InitialControl().id, id);
  auto element = EditView().ElementById({}, id);
  ASSERT_TRUE(element);
  EXPECT_TRUE(element->editable);
  Edit().FocusInitialControl();
  auto active = EditView().ActiveElement({});
  ASSERT_TRUE(active);
  EXPECT_EQ(active->id, id);
}

TEST_F(EditPaneTest, PackedReadsBringBackEveryCharacter) {
  std::ofstream(site_->root() + "/odd.htm", std::ios::binary)
      << "<html><head><meta charset=\"utf-8\"></head><body><p>back\\slash \x1e record \x1f field \x1d link "
         "\\r \\f \\l \xc3\xa9</p><p><a href=\"x.htm\">one\x1ftwo</a></p></body></html>";
  ASSERT_TRUE(Load(site_->url() + "/odd.htm"));
  const std::vector<std::string> fields = {"tag", "id", "text", "html", "editable", "parent", "parentId", "href"};
  const auto elements = EditView().Elements({}, fields);
  ASSERT_GT(elements.size(), 3u);
  // Each element as the engine's own script values give it, one element at a time.
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const auto v = EditView().Evaluate(
        "(() => { const list = document.body.getElementsByTagName('*'); const e = list[" + std::to_string(i) +
        "]; const p = e.parentElement; return {tag: e.tagName, id: e.id, text: e.innerText, html: e.innerHTML,"
        " editable: e.isContentEditable, parent: Array.prototype.indexOf.call(list, p),"
        " parentId: p ? p.id : '', href: e.getAttribute('href') || ''}; })()");
    ASSERT_TRUE(v);
    EXPECT_EQ(elements[i].tag, (*v)["tag"].Str());
    EXPECT_EQ(elements[i].id, (*v)["id"].Str());
    EXPECT_EQ(elements[i].text, (*v)["text"].Str());
    EXPECT_EQ(elements[i].html, (*v)["html"].Str());
    EXPECT_EQ(elements[i].editable, (*v)["editable"].Bool());
    EXPECT_EQ(elements[i].parent, (*v)["parent"].Int(-2));
    EXPECT_EQ(elements[i].parentId, (*v)["parentId"].Str());
    EXPECT_EQ(elements[i].href, (*v)["href"].Str());
  }
  // What activation reads: texts of edit spans and of links in anchor spans, and the HTML of edit
  // and anchor spans and links.
  const auto read = EditView().ReadForActivation({});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->frameCount, 0);
  EXPECT_NE(read->markersAndMeta.find("<meta charset=\"utf-8\">"), std::string::npos);
  ASSERT_EQ(read->elements.size(), elements.size());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    EXPECT_EQ(read->elements[i].tag, elements[i].tag);
    EXPECT_EQ(read->elements[i].parent, elements[i].parent);
    const int parent = elements[i].parent;
    const bool editSpan = elements[i].tag == "SPAN" && elements[i].id.rfind("ZZZEDIT", 0) == 0;
    const bool anchorLink = elements[i].tag == "A" && parent >= 0 &&
                            elements[static_cast<std::size_t>(parent)].id.rfind("ZZZANCHOR", 0) == 0;
    EXPECT_EQ(read->elements[i].text, editSpan || anchorLink ? elements[i].text : "") << elements[i].tag;
    const bool withHTML = elements[i].id.rfind("ZZZEDIT", 0) == 0 || elements[i].id.rfind("ZZZANCHOR", 0) == 0 ||
                          elements[i].tag == "A";
    EXPECT_EQ(read->elements[i].html, withHTML ? elements[i].html : "") << elements[i].id;
  }
  auto spans = EditView().Spans({});
  ASSERT_TRUE(spans);
  for (const auto& e : elements) {
    if (e.id.rfind("ZZZEDIT", 0) != 0 && e.id.rfind("ZZZANCHOR", 0) != 0) continue;
    ASSERT_TRUE(spans->elements.count(e.id)) << e.id;
    EXPECT_EQ(spans->elements[e.id].innerHTML, e.html) << e.id;
  }
  EXPECT_NE(spans->elements["ZZZEDIT1"].innerHTML.find("\x1e record \x1f"), std::string::npos);
  // An element described alone comes back whole as well.
  const auto one = EditView().ElementById({}, "ZZZEDIT1");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->html, spans->elements["ZZZEDIT1"].innerHTML);
}

// The site check against the site script's flags and the page's own pqedit value.
TEST_F(EditPaneTest, PageStatusAndNoticesUnderTheSiteFlags) {
  const struct {
    const char* flags;
    const char* page;
    PageStatus status;
    std::vector<ProblemNotice> notices;
  } cases[] = {
      {"YNY", "index.htm", PageStatus::Editable, {}},
      {"YNY", "about.htm", PageStatus::Editable, {}},
      {"YNY", "staff.htm", PageStatus::NotEditable, {ProblemNotice::PageUnsuitable}},
      {"YNN", "index.htm", PageStatus::NotEditable, {ProblemNotice::PageUnsuitable}},
      {"YNN", "about.htm", PageStatus::Editable, {}},
      {"YNN", "staff.htm", PageStatus::NotEditable, {ProblemNotice::PageUnsuitable}},
  };
  std::map<std::string, std::unique_ptr<pqtest::SiteServer>> servers;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.flags) + " " + c.page);
    auto& server = servers[c.flags];
    if (!server) {
      pqtest::SiteServer::Options o;
      o.flags = c.flags;
      server = std::make_unique<pqtest::SiteServer>(o);
    }
    ASSERT_TRUE(server->ok());
    ASSERT_TRUE(Load(server->url() + "/" + c.page));
    EXPECT_TRUE(window_->site.SiteReady);
    EXPECT_EQ(window_->site.EditableByDefault, c.flags[2] == 'Y');
    EXPECT_EQ(window_->site.Status, c.status);
    EXPECT_EQ(window_->problems.OKtoPublish, c.notices.empty());
    std::vector<ProblemNotice> shown;
    for (const auto& n : window_->problems.Notices()) shown.push_back(n.notice);
    EXPECT_EQ(shown, c.notices);
    EXPECT_EQ(window_->edit->Status().Icon(),
              c.status == PageStatus::Editable ? pq::EditStatusIcon::Tick : pq::EditStatusIcon::Cross);
  }
}

TEST_F(EditPaneTest, ASiteWithoutSiteScriptCannotPublish) {
  pqtest::ShotOnFailure shot;
  pqtest::CannedHttpServer plain;
  plain.Set("/index.htm", {200, "text/html", "<html><body><h1>Plain site</h1><p>Nothing to publish with.</p></body></html>"});
  plain.Set("/closed.htm", {200, "text/html",
                            "<html><head><meta name=\"pqedit\" content=\"n\"></head><body><p>Closed page</p></body></html>"});
  ASSERT_TRUE(Load(plain.url() + "/index.htm"));
  EXPECT_FALSE(window_->site.SiteReady);
  EXPECT_EQ(window_->site.Status, PageStatus::Editable);  // editable by default, but not publishable
  EXPECT_FALSE(window_->problems.OKtoPublish);
  ASSERT_EQ(window_->problems.NumMessages, 1);
  EXPECT_EQ(window_->problems.Notices()[0].notice, ProblemNotice::NotSetUp);
  EXPECT_EQ(window_->problems.Text(ProblemNotice::NotSetUp).text,
            "Website " + plain.url().substr(7) +
                " has not been set up for publishing. You should speak to your website designer.");
  EXPECT_EQ(window_->edit->Status().Icon(), pq::EditStatusIcon::Cross);
  // The page is still editable: only publishing is stopped.
  auto span = EditView().ElementById({}, "ZZZEDIT1");
  ASSERT_TRUE(span);
  EXPECT_TRUE(span->editable);
  bool asked = false;
  for (const auto& r : plain.Requests()) asked = asked || r.rfind("/pagequill/?type=check&now=", 0) == 0;
  EXPECT_TRUE(asked);

  ASSERT_TRUE(Load(plain.url() + "/closed.htm"));
  ASSERT_EQ(window_->problems.NumMessages, 2);
  EXPECT_EQ(window_->problems.Notices()[0].notice, ProblemNotice::PageUnsuitable);
  EXPECT_EQ(window_->problems.Notices()[1].notice, ProblemNotice::NotSetUp);
  EXPECT_GT(window_->problems.Notices()[1].top, window_->problems.Notices()[0].top);

  // The dialog as the user sees it; its second More Info link opens a message box, whose
  // Open Help button opens the designers' help page, and the OK button closes it.
  pq::ProblemsDialog dialog(window_->problems, GTK_WINDOW(window_->Window()));
  std::string helpOpened;
  dialog.OpenHelp = [&](const std::string& page) { helpOpened = page; };
  ASSERT_EQ(dialog.MoreInfoLinks.size(), 2u);
  struct Seen {
    pq::ProblemsDialog* dialog;
    std::string title, text;
  } seen{&dialog, "", ""};
  g_timeout_add(1500, +[](gpointer d) -> gboolean {
    auto* seen = static_cast<Seen*>(d);
    pqtest::Shot("-problems");
    g_timeout_add(800, +[](gpointer d) -> gboolean {
      auto* seen = static_cast<Seen*>(d);
      GList* windows = gtk_window_list_toplevels();
      for (GList* w = windows; w; w = w->next) {
        if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data))) continue;
        seen->title = gtk_window_get_title(GTK_WINDOW(w->data));
        gchar* text = nullptr;
        g_object_get(w->data, "text", &text, nullptr);
        seen->text = text ? text : "";
        g_free(text);
        pqtest::Shot("-more-info");
        GtkWidget* open = gtk_dialog_get_widget_for_response(GTK_DIALOG(w->data), 1);
        if (open) gtk_button_clicked(GTK_BUTTON(open));
        else gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
      }
      g_list_free(windows);
      return G_SOURCE_REMOVE;
    }, seen);
    gboolean handled = FALSE;
    g_signal_emit_by_name(seen->dialog->MoreInfoLinks[1], "activate-link", "more-info", &handled);
    gtk_button_clicked(GTK_BUTTON(seen->dialog->OKbutton));
    return G_SOURCE_REMOVE;
  }, &seen);
  dialog.Run();
  EXPECT_FALSE(gtk_widget_get_visible(dialog.Dialog()));
  EXPECT_EQ(seen.title, "Website Not Setup");
  EXPECT_EQ(seen.text, "Your website designer needs to set up a password to enable you to publish changes to your "
                       "website. Your website designer may wish to read \"Setting up publishing\" in "
                       "Pagequill's help for more information");
  EXPECT_EQ(helpOpened, pq::SettingUpHelpAddress());
  EXPECT_EQ(pq::SettingUpHelpAddress().find("/../"), std::string::npos);
  EXPECT_TRUE(fs::exists(pq::SettingUpHelpAddress().substr(7))) << "the help page is missing";
}

TEST_F(EditPaneTest, PublishCompleteOpensThePublishedPage) {
  pqtest::ShotOnFailure shot;
  const std::string url = site_->url() + "/about.htm";
  std::string opened;
  pq::PublishCompleteFrm done(GTK_WINDOW(window_->Window()), url, {}, [&](const std::string& u) {
    opened = u;
    window_->browse->Control().Navigate(u);  // until a window of its own shows published pages
  });
  gchar* caption = nullptr;
  g_object_get(done.LabelURL, "label", &caption, nullptr);
  EXPECT_NE(std::string(caption ? caption : "").find(">" + url.substr(7) + "<"), std::string::npos) << caption;
  g_free(caption);
  const int before = window_->Count("NavigateComplete");
  g_timeout_add(1200, +[](gpointer d) -> gboolean {
    pqtest::Shot("-complete");
    gboolean handled = FALSE;
    g_signal_emit_by_name(static_cast<pq::PublishCompleteFrm*>(d)->LabelURL, "activate-link", "published", &handled);
    return G_SOURCE_REMOVE;
  }, &done);
  done.Run();
  EXPECT_EQ(opened, url);
  EXPECT_FALSE(gtk_widget_get_visible(done.Dialog()));
  ASSERT_TRUE(pqtest::WaitFor([&] { return window_->Count("NavigateComplete") > before; }, 30000));
  EXPECT_EQ(window_->browse->Control().WebURL(), url);
}

TEST_F(EditPaneTest, FramesetFramesLoadTogetherAndFollowTheirFlags) {
  pqtest::ShotOnFailure shot;
  // The moments of each frame document in the edit view, in order.
  std::vector<std::string> moments;
  auto& view = EditView();
  auto navigated = view.NavigateComplete;
  auto completed = view.DocumentComplete;
  view.NavigateComplete = [&, navigated](const pq::FramePath& f, const std::string& url) {
    if (!f.empty() && url.find("frmpage") != std::string::npos) moments.push_back("start " + pq::LastPathSegment(url));
    navigated(f, url);
  };
  view.DocumentComplete = [&, completed](const pq::FramePath& f, const std::string& url) {
    if (!f.empty() && url.find("frmpage") != std::string::npos) moments.push_back("done " + pq::LastPathSegment(url));
    completed(f, url);
  };
  ASSERT_TRUE(Load(site_->url() + "/frames.htm"));
  view.NavigateComplete = navigated;
  view.DocumentComplete = completed;

  // frames.htm: menu and the inner frameset are sent to their copies together; the inner
  // frameset's frames (news and hours) get theirs once it has loaded. Each frame starts once
  // and completes once.
  auto at = [&](const std::string& moment) {
    const auto it = std::find(moments.begin(), moments.end(), moment);
    EXPECT_EQ(std::count(moments.begin(), moments.end(), moment), 1) << moment << " " << ::testing::PrintToString(moments);
    return it - moments.begin();
  };
  EXPECT_EQ(moments.size(), 8u) << ::testing::PrintToString(moments);
  for (int i = 1; i <= 4; ++i) {
    const std::string page = "frmpage" + std::to_string(i) + ".htm";
    EXPECT_LT(at("start " + page), at("done " + page)) << ::testing::PrintToString(moments);
  }
  for (const char* inner : {"start frmpage3.htm", "start frmpage4.htm"})
    EXPECT_LT(at("done frmpage2.htm"), at(inner)) << ::testing::PrintToString(moments);
  const auto& docs = Edit().Documents();
  ASSERT_EQ(docs.size(), 5u);
  const std::vector<pq::FramePath> paths = {{}, {0}, {1}, {1, 0}, {1, 1}};
  for (std::size_t i = 0; i < docs.size(); ++i) {
    EXPECT_EQ(docs[i].frame, paths[i]);
    EXPECT_EQ(docs[i].entry, static_cast<int>(i));
  }
  for (const pq::FramePath& f : {pq::FramePath{0}, pq::FramePath{1, 0}, pq::FramePath{1, 1}}) {
    auto location = view.FrameLocation(f);
    ASSERT_TRUE(location);
    EXPECT_NE(location->find("frmpage"), std::string::npos);
    auto span = view.ElementById(f, "ZZZEDIT1");
    ASSERT_TRUE(span) << pq::FramePathLiteral(f);
    EXPECT_TRUE(span->editable) << pq::FramePathLiteral(f);
  }
  EXPECT_EQ(window_->site.Status, PageStatus::Editable);
  for (int i = 1; i <= 4; ++i) EXPECT_FALSE(pq::FileExists(window_->frames[i].File)) << i;

  // The same frameset on a site where the hours frame says pqedit "n".
  pqtest::SiteServer closed;
  ASSERT_TRUE(closed.ok());
  const std::string hours = closed.root() + "/frame-hours.htm";
  std::string text = pqtest::ReadFile(hours);
  const auto head = text.find("<head>");
  ASSERT_NE(head, std::string::npos);
  text.insert(head + 6, "<meta name=\"pqedit\" content=\"n\">");
  std::ofstream(hours, std::ios::binary | std::ios::trunc) << text;
  ASSERT_TRUE(Load(closed.url() + "/frames.htm"));
  EXPECT_EQ(window_->site.Status, PageStatus::Part);
  EXPECT_EQ(window_->edit->Status().Icon(), pq::EditStatusIcon::Exclamation);
  EXPECT_EQ(window_->edit->Status().Text(), "Some parts of this page cannot be edited/published");
  ASSERT_EQ(Edit().Documents().size(), 5u);
  EXPECT_FALSE(Edit().Documents()[4].activated);
  auto closedSpan = view.ElementById({1, 1}, "ZZZEDIT1");
  ASSERT_TRUE(closedSpan);
  EXPECT_FALSE(closedSpan->editable);
  auto openSpan = view.ElementById({1, 0}, "ZZZEDIT1");
  ASSERT_TRUE(openSpan);
  EXPECT_TRUE(openSpan->editable);
}

}  // namespace
