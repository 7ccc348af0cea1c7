// Editing in the edit pane, as the user does it: real keys and pointer events on the demo site
// served by the site server, through the browse and edit panes wired as the main window wires
// them (the span's frame, Enter, shortcuts and buttons, plain paste, drag, the menu, link
// protection, undo and redo, the buttons' states).
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "edit_pane_window.h"
#include "editing_input.h"
#include "engine/clipboard.h"
#include "engine/in_page_runtime.h"
#include "shell/notices.h"
#include "private_folders.h"
#include "skin_e2e_support.h"
#include "support/site_server.h"
#include "support/memory_settings.h"

namespace {

namespace input = pqtest::editing;

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb(1, 1280, 800));

using pqtest::PrivateFolders;

// The notice as a user answers it: records that it was shown and presses the button given.
struct NoticeUser {
  int shown = 0;
  bool pressYes = true;
  pq::NoticeReply Answer(bool boxTicked) {
    ++shown;
    pq::NoticeReply r;
    r.yes = pressYes;
    r.dontShowAgain = boxTicked;
    return r;
  }
};

class EditingPaneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folders_ = new PrivateFolders("/tmp/pq-editing-e2e-XXXXXX");
    site_ = new pqtest::SiteServer();
    if (!site_->ok()) return;
    window_ = new pqtest::EditPaneWindow(site_->url() + "/index.htm", 1280, 760);
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
    pq::EditControl& e = Edit();
    e.SelectionChange = [this](bool& s) { events_.push_back(s ? "SelectionChange 1" : "SelectionChange 0"); };
    e.CheckIcons = [this](bool editable) { editable_ = editable; };
    e.UndoChange = [this](bool& a) { events_.push_back(a ? "UndoChange 1" : "UndoChange 0"); };
    e.RedoChange = [this](bool& a) { events_.push_back(a ? "RedoChange 1" : "RedoChange 0"); };
    window_->edit->LinkChangeNotice() = [this] {
      return pq::AskLinkChange(settings_, [this](bool ticked) { return notice_.Answer(ticked); });
    };
    ASSERT_TRUE(Load("/index.htm"));
    events_.clear();
  }
  void TearDown() override {
    if (HasFailure()) input::ScreenShot(pqtest::ScreenshotDir() + "/editing_pane_" + Name() + "-failure.png");
  }
  static std::string Name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

  static pq::EditControl& Edit() { return window_->edit->Control(); }
  static pq::engine::WebView& View() { return window_->edit->View(); }

  // A fresh edit copy of the page, made editable.
  static bool Load(const std::string& page) {
    const int before = window_->Count("NavigateComplete");
    window_->browse->Control().Navigate(site_->url() + page);
    return pqtest::WaitFor([&] { return window_->Count("NavigateComplete") > before; }, 30000);
  }

  struct Point {
    int x = 0, y = 0;
    bool ok = false;
  };
  // A point of the element on the screen: fx across its width, in the middle of its height.
  static Point At(const std::string& selector, double fx = 0.5) {
    auto v = View().Evaluate("(() => { const e = document.querySelector(" + pq::engine::JsString(selector) +
                             "); if (!e) return null; const r = e.getBoundingClientRect();"
                             " return [r.left, r.top, r.width, r.height]; })()");
    Point p;
    if (!v || v->size() != 4) return p;
    int wx = 0, wy = 0, ox = 0, oy = 0;
    gtk_widget_translate_coordinates(View().Widget(), window_->Window(), 0, 0, &wx, &wy);
    gdk_window_get_origin(gtk_widget_get_window(window_->Window()), &ox, &oy);
    p.x = ox + wx + static_cast<int>(v->items[0].number + v->items[2].number * fx);
    p.y = oy + wy + static_cast<int>(v->items[1].number + v->items[3].number / 2);
    p.ok = v->items[2].number > 0;
    return p;
  }
  static void Click(const std::string& selector, int button = 1, double fx = 0.5) {
    const Point p = At(selector, fx);
    ASSERT_TRUE(p.ok) << selector;
    input::MoveTo(p.x, p.y);
    input::Xdo({"click", std::to_string(button)});
  }
  // The caret at the end of the element's (one-line) text.
  static void ClickEnd(const std::string& selector) {
    Click(selector, 1, 0.9);
    pqtest::WaitFor([&] {
      auto v = View().Evaluate("document.activeElement === document.querySelector(" + pq::engine::JsString(selector) + ")");
      return v && v->Bool();
    });
    input::Keys({"End"});
  }
  static std::string Html(const std::string& id) {
    auto e = View().ElementById({}, id);
    return e ? e->html : "<gone>";
  }
  int Count(const std::string& e) const { return static_cast<int>(std::count(events_.begin(), events_.end(), e)); }

  static PrivateFolders* folders_;
  static pqtest::SiteServer* site_;
  static pqtest::EditPaneWindow* window_;
  std::vector<std::string> events_;
  bool editable_ = false;
  pq::MemorySettings settings_;
  NoticeUser notice_;
};

PrivateFolders* EditingPaneTest::folders_ = nullptr;
pqtest::SiteServer* EditingPaneTest::site_ = nullptr;
pqtest::EditPaneWindow* EditingPaneTest::window_ = nullptr;

TEST_F(EditingPaneTest, TypingFramesTheSpanAndGivesOneUndoEntryPerVisit) {
  ClickEnd("#ZZZEDIT6");  // "This week"
  auto border = View().Evaluate("document.getElementById('ZZZEDIT6').style.border");
  ASSERT_TRUE(border);
  EXPECT_EQ(border->Str(), "1px dotted");
  EXPECT_TRUE(editable_);
  input::Type(" and next");
  EXPECT_EQ(Html("ZZZEDIT6"), "This week and next");
  EXPECT_EQ(Edit().UndoCount, 1);
  input::Run(std::chrono::milliseconds(700));  // a frame line pulse or two for the picture
  input::ScreenShot(pqtest::ScreenshotDir() + "/editing_pane-span-being-edited.png");
  ClickEnd("#ZZZEDIT2");
  input::Type("!");
  EXPECT_EQ(Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery!");
  EXPECT_EQ(Edit().UndoCount, 2);
  EXPECT_EQ(Count("UndoChange 1"), 1);
  // Undo gives back the text from before each visit, newest first.
  Edit().UndoMe();
  EXPECT_EQ(Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery");
  Edit().UndoMe();
  EXPECT_EQ(Html("ZZZEDIT6"), "This week");
  EXPECT_EQ(Count("UndoChange 0"), 1);
  EXPECT_EQ(Count("RedoChange 1"), 1);
  Edit().RedoMe();
  EXPECT_EQ(Html("ZZZEDIT6"), "This week and next");
  Edit().RedoMe();
  EXPECT_EQ(Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery!");
  EXPECT_EQ(Count("RedoChange 0"), 1);
}

TEST_F(EditingPaneTest, EnterGivesALineBreakAndNeverANewParagraph) {
  ClickEnd("#ZZZEDIT6");
  input::Keys({"Return"});
  input::Type("x");
  const std::string html = Html("ZZZEDIT6");
  EXPECT_EQ(html.rfind("This week<br>x", 0), 0u) << html;
  EXPECT_EQ(html.find("<div"), std::string::npos);
  EXPECT_EQ(html.find("<p"), std::string::npos);
  // Leaving tidies the engine's placeholder break away.
  ClickEnd("#ZZZEDIT2");
  EXPECT_EQ(Html("ZZZEDIT6"), "This week<br>x");
}

TEST_F(EditingPaneTest, CtrlBAndTheBoldButtonEmboldenAndCtrlZUndoes) {
  const std::string text = "Click the little loaf to see what comes out of the oven today.";
  const std::string bold = "Click the little loaf to see what comes out of the oven <b>today.</b>";
  ClickEnd("#ZZZEDIT11");
  for (int i = 0; i < 6; ++i) input::Keys({"shift+Left"});
  EXPECT_EQ(Count("SelectionChange 1"), 6);
  input::Keys({"ctrl+b"});
  EXPECT_EQ(Html("ZZZEDIT11"), bold);
  input::Keys({"ctrl+z"});
  EXPECT_EQ(Html("ZZZEDIT11"), text);
  // The toolbar's button: the selection is made again, the pane runs Bold, the focus returns.
  ClickEnd("#ZZZEDIT11");
  for (int i = 0; i < 6; ++i) input::Keys({"shift+Left"});
  Edit().Bold();
  Edit().ActivateBox();
  input::Run(std::chrono::milliseconds(100));
  EXPECT_EQ(Html("ZZZEDIT11"), bold);
  input::Keys({"ctrl+z"});
  EXPECT_EQ(Html("ZZZEDIT11"), text);
}

TEST_F(EditingPaneTest, PasteFromAnotherProgramArrivesAsPlainText) {
  const std::string quoted = "a <b>&amp;</b> \"q\"";
  pqtest::ChildProcess owner;
  ASSERT_TRUE(owner.Start({std::string(PQ_BIN_DIR) + "/clipboard_owner", quoted, "<b>Bold</b> <i>word</i>"}));
  ASSERT_EQ(owner.ReadLine(std::chrono::seconds(10)), "ready");
  ClickEnd("#ZZZEDIT6");
  input::Keys({"ctrl+v"});
  auto span = View().ElementById({}, "ZZZEDIT6");
  ASSERT_TRUE(span);
  EXPECT_EQ(span->text, "This week" + quoted);
  EXPECT_EQ(span->html, "This weeka &lt;b&gt;&amp;amp;&lt;/b&gt; \"q\"");

  // The Paste button, with two lines copied: one break between them.
  owner.Stop();
  pqtest::ChildProcess lines;
  ASSERT_TRUE(lines.Start({std::string(PQ_BIN_DIR) + "/clipboard_owner", "one\r\ntwo", "<p>one</p><p>two</p>"}));
  ASSERT_EQ(lines.ReadLine(std::chrono::seconds(10)), "ready");
  ClickEnd("#ZZZEDIT2");
  Edit().Edit_Paste();
  Edit().ActivateBox();
  EXPECT_EQ(Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakeryone<br>two");

  // Copied from a browser that offers HTML alone: Paste is offered and pastes its text.
  lines.Stop();
  pqtest::ChildProcess htmlOnly;
  ASSERT_TRUE(htmlOnly.Start({std::string(PQ_BIN_DIR) + "/clipboard_owner", "",
                              "<meta charset=\"utf-8\"><!--StartFragment--><b>Fresh</b> &amp; "
                              "<i>warm</i><script>x()</script><!--EndFragment-->"}));
  ASSERT_EQ(htmlOnly.ReadLine(std::chrono::seconds(10)), "ready");
  EXPECT_TRUE(pqtest::WaitFor([] { return pq::engine::ClipboardHasText(); }, 10000));
  ClickEnd("#ZZZEDIT6");
  input::Keys({"ctrl+v"});
  EXPECT_EQ(Html("ZZZEDIT6"), "This weeka &lt;b&gt;&amp;amp;&lt;/b&gt; \"q\"Fresh &amp; warm");
}

TEST_F(EditingPaneTest, WordKeysMoveSelectAndDeleteByWordInsideTheSpan) {
  const std::string text = "Click the little loaf to see what comes out of the oven today.";
  ASSERT_EQ(Html("ZZZEDIT11"), text);
  auto content = [] {
    auto v = View().Evaluate("document.getElementById('content').innerHTML");
    return v ? v->Str() : std::string("<gone>");
  };
  std::string page;
  // The page is what it was on entering the span (framed) but for the span's html.
  auto onlySpanChanged = [&](const std::string& spanHtml) {
    std::string expected = page;
    expected.replace(expected.find(text), text.size(), spanHtml);
    return content() == expected;
  };
  // The span's text with the no-break spaces the engine keeps at a span's edges as spaces.
  auto words = [] {
    auto span = View().ElementById({}, "ZZZEDIT11");
    std::string t = span ? span->text : "<gone>";
    for (std::size_t at; (at = t.find("\xC2\xA0")) != std::string::npos;) t.replace(at, 2, " ");
    return t;
  };
  auto selected = [] {
    std::string t = View().SelectionText({});
    for (std::size_t at; (at = t.find("\xC2\xA0")) != std::string::npos;) t.replace(at, 2, " ");
    return t;
  };

  ClickEnd("#ZZZEDIT11");
  page = content();
  input::Keys({"ctrl+Left"});
  input::Type("X");
  EXPECT_EQ(words(), "Click the little loaf to see what comes out of the oven Xtoday.");
  input::Keys({"ctrl+Home"});
  input::Type("Y");
  input::Keys({"ctrl+End"});
  input::Type("Z");
  EXPECT_EQ(words(), "YClick the little loaf to see what comes out of the oven Xtoday.Z");

  // Selecting word by word, and back.
  input::Keys({"ctrl+Home", "ctrl+shift+Right", "ctrl+shift+Right"});
  EXPECT_EQ(selected(), "YClick the");
  input::Keys({"ctrl+shift+Left"});
  EXPECT_EQ(selected(), "YClick ");
  input::Keys({"ctrl+End", "ctrl+shift+Home"});
  EXPECT_EQ(selected(), words());

  // Deleting word by word, each an edit that can be undone.
  input::Keys({"ctrl+Home", "ctrl+Delete"});
  EXPECT_EQ(words(), " the little loaf to see what comes out of the oven Xtoday.Z");
  input::Keys({"ctrl+End", "ctrl+Left", "ctrl+BackSpace"});
  EXPECT_EQ(words(), " the little loaf to see what comes out of the Xtoday.Z");
  EXPECT_GE(Edit().UndoCount, 1);

  // At the ends of the span the keys stop: nothing before or after it is selected or deleted.
  const std::string left = Html("ZZZEDIT11");
  const std::string leftWords = words();
  input::Keys({"ctrl+Home", "ctrl+BackSpace", "ctrl+Left", "ctrl+shift+Left", "ctrl+shift+Home"});
  EXPECT_EQ(selected(), "");
  EXPECT_EQ(words(), leftWords);
  input::Keys({"ctrl+shift+End", "ctrl+shift+Right", "ctrl+shift+Right"});
  EXPECT_EQ(selected(), leftWords);
  input::Keys({"ctrl+End", "ctrl+Delete", "ctrl+Right", "ctrl+shift+Right", "ctrl+shift+End"});
  EXPECT_EQ(selected(), "");
  EXPECT_EQ(words(), leftWords);
  input::Type("W");
  EXPECT_TRUE(onlySpanChanged(left + "W")) << content();
  // Other keys with Ctrl stay cancelled: Ctrl+A selects nothing.
  input::Keys({"ctrl+a"});
  EXPECT_EQ(selected(), "");
  EXPECT_EQ(Edit().CurrentSpanId, "ZZZEDIT11");
}

TEST_F(EditingPaneTest, DraggingAWordDoesNothing) {
  const std::string before = Html("ZZZEDIT11");
  const Point word = At("#ZZZEDIT11", 0.05);  // "Click"
  ASSERT_TRUE(word.ok);
  input::MoveTo(word.x, word.y);
  input::Xdo({"click", "--repeat", "2", "--delay", "80", "1"});
  input::Xdo({"mousedown", "1"}, 100);
  for (int dx = 10; dx <= 200; dx += 30) input::MoveTo(word.x + dx, word.y + 60);
  input::Xdo({"mouseup", "1"});
  EXPECT_EQ(Html("ZZZEDIT11"), before);
  EXPECT_EQ(Html("ZZZEDIT15"), ".");
}

TEST_F(EditingPaneTest, RightClickOpensTheMenuInASpanAndNothingOnAHeading) {
  pq::EditMenu& menu = window_->edit->Menu();
  Click("#ZZZEDIT11", 3, 0.3);
  EXPECT_TRUE(pqtest::WaitFor([&] { return menu.Visible(); }));
  input::ScreenShot(pqtest::ScreenshotDir() + "/editing_pane-context-menu.png");
  input::Keys({"Escape"});
  EXPECT_TRUE(pqtest::WaitFor([&] { return !menu.Visible(); }));
  Click("h1", 3, 0.97);  // the heading's own box beside its text
  input::Run(std::chrono::milliseconds(300));
  EXPECT_FALSE(menu.Visible());
}

TEST_F(EditingPaneTest, AnEmptiedLinkIsRefusedAndTheCaretGoesBack) {
  std::vector<std::string> messages;
  const guint watch = g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* seen = static_cast<std::vector<std::string>*>(data);
    GList* tops = gtk_window_list_toplevels();
    for (GList* w = tops; w; w = w->next) {
      if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data))) continue;
      gchar* text = nullptr;
      g_object_get(w->data, "text", &text, nullptr);
      seen->push_back(std::string(gtk_window_get_title(GTK_WINDOW(w->data))) + ": " + (text ? text : ""));
      g_free(text);
      gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
    }
    g_list_free(tops);
    return G_SOURCE_CONTINUE;
  }, &messages);
  ClickEnd("#ZZZANCHOR16 a");  // "Write to us"
  input::Keys({"shift+Home", "Delete"});
  ClickEnd("#ZZZEDIT6");
  EXPECT_TRUE(pqtest::WaitFor([&] { return !messages.empty(); }, 5000));
  input::Run(std::chrono::milliseconds(500));
  EXPECT_EQ(messages, std::vector<std::string>{"Link Deleted: You cannot completely delete a link"});
  auto active = View().ActiveElement({});
  EXPECT_TRUE(active && active->parentId == "ZZZANCHOR16");
  // Preview and publishing ask too: the same message, and they stop.
  bool ok = true;
  Edit().CheckLink(ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(messages.size(), 2u);
  g_source_remove(watch);
}

TEST_F(EditingPaneTest, AChangedLinkAsksOnceAndNoRestoresIt) {
  const std::string link = Html("ZZZANCHOR16");
  notice_.pressYes = false;
  ClickEnd("#ZZZANCHOR16 a");
  input::Type("!!");
  ClickEnd("#ZZZEDIT6");
  EXPECT_EQ(notice_.shown, 1);
  EXPECT_EQ(Html("ZZZANCHOR16"), link);
  EXPECT_EQ(settings_.GetSetting("HideMsg", "LinkAmend"), "Y");
  // Switched off now: the next change is kept without a word.
  ClickEnd("#ZZZANCHOR16 a");
  input::Type("?");
  ClickEnd("#ZZZEDIT6");
  EXPECT_EQ(notice_.shown, 1);
  EXPECT_NE(Html("ZZZANCHOR16").find("Write to us?"), std::string::npos);
}

TEST_F(EditingPaneTest, TheButtonsFollowTheSelectionAndTheFocus) {
  ClickEnd("#ZZZEDIT6");
  EXPECT_TRUE(editable_);
  EXPECT_EQ(Count("SelectionChange 1"), 0);
  input::Keys({"shift+Home"});
  EXPECT_EQ(events_.back(), "SelectionChange 1");
  input::Keys({"End"});
  EXPECT_EQ(events_.back(), "SelectionChange 0");
  Click("#header", 1, 0.6);  // the title band, not editable
  EXPECT_FALSE(editable_);
  EXPECT_EQ(Edit().CurrentSpanId, "");
}

}  // namespace
