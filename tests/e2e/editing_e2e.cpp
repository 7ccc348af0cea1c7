// Editing with real keys and pointer events: the marked-up demo home page in a web view wired to
// the editing logic (frames, Enter, shortcuts, paste, drag, menu, link protection, undo/redo).
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "editing_harness.h"
#include "engine/clipboard.h"
#include "pageprep/add_spans.h"
#include "support/canned_http_server.h"
#include "support/file_text.h"

namespace {

using pqtest::EditingHarness;

class EditingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!pqtest::BrowseE2E::Get().ok()) return;
    server_ = std::make_unique<pqtest::CannedHttpServer>();
    const std::string site = std::string(PQ_SOURCE_DIR) + "/demo/site/";
    server_->Set("/index.htm", {200, "text/html; charset=utf-8", pq::AddSpans(pqtest::ReadFile(site + "index.htm")), false});
    server_->Set("/style.css", {200, "text/css", pqtest::ReadFile(site + "style.css"), false});
    server_->Set("/logo.svg", {200, "image/svg+xml", pqtest::ReadFile(site + "logo.svg"), false});
    server_->Set("/site.js", {200, "text/javascript", pqtest::ReadFile(site + "site.js"), false});
  }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    pane_ = std::make_unique<EditingHarness>();
    ASSERT_TRUE(pane_->Load(server_->url() + "/index.htm"));
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("editing_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    pane_.reset();
  }
  static std::unique_ptr<pqtest::CannedHttpServer> server_;
  std::unique_ptr<EditingHarness> pane_;
};
std::unique_ptr<pqtest::CannedHttpServer> EditingTest::server_;

TEST_F(EditingTest, TypingFramesTheSpanAndGivesOneUndoEntryPerVisit) {
  EditingHarness& p = *pane_;
  p.ClickEnd("#ZZZEDIT6");
  EXPECT_TRUE(pqtest::WaitFor([&] { return p.Border("ZZZEDIT6") == "1px dotted"; }, std::chrono::seconds(3)));
  p.Type(" and next");
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week and next");
  ASSERT_EQ(p.session->History().UndoCount(), 1);
  EXPECT_EQ(p.session->History().UndoEntries()[0].html, "This week");
  EditingHarness::Shot("editing-span-framed");
  // The pane's frame lines pulse.
  const int inset = p.frame->Inset();
  EXPECT_TRUE(pqtest::WaitFor([&] { return p.frame->Inset() != inset; }, std::chrono::seconds(2)));
  // Another span: the first loses its frame; a second visit gives a second entry.
  p.ClickEnd("#ZZZEDIT2");
  EXPECT_EQ(p.Border("ZZZEDIT6"), "");
  EXPECT_EQ(p.Border("ZZZEDIT2"), "1px dotted");
  p.Type("!");
  EXPECT_EQ(p.session->History().UndoCount(), 2);
  EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "UndoChange 1"), 1);
}

TEST_F(EditingTest, EnterGivesALineBreakAndNoNewParagraph) {
  EditingHarness& p = *pane_;
  p.ClickEnd("#ZZZEDIT6");
  p.Keys({"Return"});
  p.Type("x");
  // The engine keeps a placeholder break at the end while the caret is there.
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week<br>x<br>");
  // Leaving the span tidies it.
  p.ClickEnd("#ZZZEDIT2");
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week<br>x");
  // A break typed at the end is tidied too.
  p.Keys({"Return", "Return"});
  EXPECT_EQ(p.Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery<br><br><br>");
  p.ClickEnd("#ZZZEDIT6");
  EXPECT_EQ(p.Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery");
}

TEST_F(EditingTest, CtrlBEmboldensAndCtrlZUndoesIt) {
  EditingHarness& p = *pane_;
  const std::string text = "Click the little loaf to see what comes out of the oven today.";
  p.ClickEnd("#ZZZEDIT11");
  const std::string bold = "Click the little loaf to see what comes out of the oven <b>today.</b>";
  for (int i = 0; i < 6; ++i) p.Keys({"shift+Left"});
  EXPECT_TRUE(p.selection);
  p.Keys({"ctrl+b"});
  EXPECT_EQ(p.Html("ZZZEDIT11"), bold);
  p.Keys({"ctrl+z"});
  EXPECT_EQ(p.Html("ZZZEDIT11"), text);
  p.Keys({"ctrl+y"});
  EXPECT_EQ(p.Html("ZZZEDIT11"), bold);
  // Other Ctrl keys do nothing at all (Ctrl+A would select the page, Ctrl+Enter break the line);
  // with nothing selected Ctrl+X and Ctrl+I change nothing either.
  // Nothing stays selected after the redo, so the Ctrl+X below has nothing to cut.
  EXPECT_EQ(p.view->SelectionText({}), "");
  p.Keys({"ctrl+a", "ctrl+Return", "ctrl+x", "ctrl+i"});
  EXPECT_EQ(p.Html("ZZZEDIT11"), bold);
}

TEST_F(EditingTest, CtrlVPastesPlainText) {
  EditingHarness& p = *pane_;
  pq::engine::PutHTMLClipboard("<b>bold</b> <script>x()</script>", "", "", "a <b>&amp;</b> \"q\"\nline two");
  p.ClickEnd("#ZZZEDIT6");
  p.Keys({"ctrl+v"});
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This weeka &lt;b&gt;&amp;amp;&lt;/b&gt; \"q\"<br>line two");
  EXPECT_EQ(p.session->History().UndoCount(), 1);
}

TEST_F(EditingTest, RightClickOffersTheMenuOnlyInEditableText) {
  EditingHarness& p = *pane_;
  p.Click("#ZZZEDIT11", 3, 0.3);
  EXPECT_TRUE(pqtest::WaitFor([&] { return p.menu->Visible(); }, std::chrono::seconds(3)));
  EditingHarness::Shot("editing-context-menu");
  // Nothing is selected: Cut and Copy are greyed.
  EXPECT_FALSE(gtk_widget_is_sensitive(p.menu->Menu_Cut()));
  pqtest::Xdo({"key", "Escape"});
  EXPECT_TRUE(pqtest::WaitFor([&] { return !p.menu->Visible(); }, std::chrono::seconds(3)));
  // A heading's own box beside its text, and the bar between the links: no menu at all.
  p.Click("h1", 3, 0.97);
  pqtest::editing::Run(std::chrono::milliseconds(300));
  EXPECT_FALSE(p.menu->Visible());
  p.Click("#nav", 3, 0.97);
  pqtest::editing::Run(std::chrono::milliseconds(300));
  EXPECT_FALSE(p.menu->Visible());
}

TEST_F(EditingTest, AnEmptiedLinkIsRefusedAndGetsTheCaretBack) {
  EditingHarness& p = *pane_;
  pqtest::MessageBoxWatch boxes;
  p.ClickEnd("#ZZZANCHOR16 a");
  p.Keys({"shift+Home", "Delete"});
  p.ClickEnd("#ZZZEDIT6");
  EXPECT_TRUE(pqtest::WaitFor([&] { return !boxes.seen.empty(); }, std::chrono::seconds(5)));
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(boxes.seen[0], "Link Deleted: You cannot completely delete a link");
  pqtest::editing::Run(std::chrono::milliseconds(500));
  auto active = p.view->ActiveElement({});
  ASSERT_TRUE(active);
  EXPECT_EQ(active->parentId, "ZZZANCHOR16");
  EXPECT_EQ(boxes.seen.size(), 1u);
  // Preview and publishing stop too, with the same message.
  EXPECT_FALSE(p.session->CheckLink());
}

TEST_F(EditingTest, AChangedLinkAsksOnceAndNoRestoresIt) {
  EditingHarness& p = *pane_;
  p.linkAnswer = 2;
  p.ClickEnd("#ZZZANCHOR16 a");
  p.Type("!!");
  p.ClickEnd("#ZZZEDIT6");
  EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "link notice"), 1);
  EXPECT_EQ(p.Html("ZZZANCHOR16"), "<a href=\"contact.htm\" contenteditable=\"true\">Write to us</a>");
}

TEST_F(EditingTest, UndoAndRedoAcrossTwoSpans) {
  EditingHarness& p = *pane_;
  p.ClickEnd("#ZZZEDIT6");
  p.Type("1");
  p.ClickEnd("#ZZZEDIT2");
  p.Type("2");
  p.session->UndoMe();
  EXPECT_EQ(p.Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery");
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week1");
  p.session->UndoMe();
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week");
  p.session->RedoMe();
  EXPECT_EQ(p.Html("ZZZEDIT6"), "This week1");
  p.session->RedoMe();
  EXPECT_EQ(p.Html("ZZZEDIT2"), "Welcome to the Lindenhof Bakery2");
}

}  // namespace
