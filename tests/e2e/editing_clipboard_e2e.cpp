// The clipboard as the edit pane uses it, against the real GTK clipboard and the real engine:
// the "HTML Format" block and its companions, the plain-text paste, and the right-click menu.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <string>

#include "browse_e2e_support.h"
#include "editor/formatting.h"
#include "text/html_clipboard.h"
#include "editor/widgets/edit_menu.h"
#include "engine/clipboard.h"
#include "engine/editing_commands.h"
#include "engine/web_view.h"
#include "support/canned_http_server.h"

namespace {

using pq::engine::WebView;

// The bytes the clipboard offers under a target, as another program would receive them.
std::optional<std::string> TargetBytes(const char* target) {
  struct Reply {
    bool done = false;
    std::optional<std::string> bytes;
  } reply;
  gtk_clipboard_request_contents(
      gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), gdk_atom_intern(target, FALSE),
      [](GtkClipboard*, GtkSelectionData* data, gpointer p) {
        auto* r = static_cast<Reply*>(p);
        const int length = gtk_selection_data_get_length(data);
        if (length >= 0) {
          r->bytes = std::string(reinterpret_cast<const char*>(gtk_selection_data_get_data(data)),
                                 static_cast<std::size_t>(length));
        }
        r->done = true;
      },
      &reply);
  // The reply lives on this stack frame: wait for it without a bound only the clipboard sets.
  pqtest::WaitFor([&] { return reply.done; }, std::chrono::seconds(30));
  return reply.bytes;
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display"; }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("editing_clipboard_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
};

TEST_F(ClipboardTest, OffersTheBlockTheMarkupAndThePlainText) {
  const std::string plain = "caf\xC3\xA9 <b>\r\nnext";
  const std::string fragment = pq::PlainTextToHtml(plain);
  ASSERT_TRUE(pq::engine::PutHTMLClipboard(fragment, std::string(pq::kPastePrefix),
                                           std::string(pq::kPasteSuffix), plain));
  EXPECT_EQ(TargetBytes("HTML Format"),
            pq::HtmlFormatBlock(fragment, pq::kPastePrefix, pq::kPasteSuffix));
  EXPECT_EQ(TargetBytes("text/html"),
            pq::HtmlFormatMarkup(fragment, pq::kPastePrefix, pq::kPasteSuffix));
  EXPECT_EQ(pq::engine::ClipboardText(), "caf\xC3\xA9 <b>\nnext");
  EXPECT_TRUE(pq::engine::ClipboardHasText());

  // With HTML alone (as some browsers copy) its text content is the clipboard's text.
  ASSERT_TRUE(pq::engine::PutHTMLClipboard("<b>x</b> &amp;<br>y<script>z()</script>", "", ""));
  EXPECT_TRUE(pq::engine::ClipboardHasText());
  EXPECT_EQ(pq::engine::ClipboardText(), "x &\ny");
  pq::engine::SetClipboardText("again");
  EXPECT_TRUE(pq::engine::ClipboardHasText());
  EXPECT_EQ(pq::engine::ClipboardText(), "again");
}

class PasteTest : public ClipboardTest {
 protected:
  static void SetUpTestSuite() {
    if (!pqtest::BrowseE2E::Get().ok()) return;
    server_ = std::make_unique<pqtest::CannedHttpServer>();
    server_->Set("/edit.htm", {200, "text/html",
                               "<html><body><h1>Heading</h1><p><span id=\"ZZZEDIT1\" "
                               "contenteditable=\"true\">Start</span></p></body></html>",
                               false});
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window_), 700, 400);
    view_ = std::make_unique<WebView>(WebView::Options{.fileAccess = false, .clipboardAccess = true});
    gtk_container_add(GTK_CONTAINER(window_), view_->Widget());
    gtk_widget_show_all(window_);
  }
  static void TearDownTestSuite() {
    view_.reset();
    if (window_) gtk_widget_destroy(window_);
    server_.reset();
  }
  // A fresh page with the caret at the end of the span.
  void Load() {
    int done = 0;
    view_->DocumentComplete = [&](const pq::FramePath& p, const std::string&) { done += p.empty(); };
    view_->Navigate(server_->url() + "/edit.htm");
    ASSERT_TRUE(pqtest::WaitFor([&] { return done > 0; }));
    view_->DocumentComplete = nullptr;
    gtk_widget_grab_focus(view_->Widget());
    view_->Evaluate(
        "{ const s = document.getElementById('ZZZEDIT1'); s.focus();"
        "  getSelection().collapse(s.firstChild, s.firstChild.length); } 0",
        true);
  }
  std::string SpanHtml() {
    auto e = view_->ElementById({}, "ZZZEDIT1");
    return e ? e->html : "<unreadable>";
  }
  // Edit_Paste's steps around the engine's own paste.
  void PastePlain(const std::string& plain) {
    pq::engine::PutHTMLClipboard(pq::PlainTextToHtml(plain), std::string(pq::kPastePrefix),
                                 std::string(pq::kPasteSuffix), plain);
    pq::engine::RunEditingCommand(*view_, pq::engine::EditingCommand::kPaste);
  }
  static std::unique_ptr<pqtest::CannedHttpServer> server_;
  static GtkWidget* window_;
  static std::unique_ptr<WebView> view_;
};
std::unique_ptr<pqtest::CannedHttpServer> PasteTest::server_;
GtkWidget* PasteTest::window_ = nullptr;
std::unique_ptr<WebView> PasteTest::view_;

TEST_F(PasteTest, PastedTextArrivesAsExactlyThatTextWithOneBreakPerLine) {
  Load();
  PastePlain("a <b>&amp;</b> \"q\"");
  EXPECT_EQ(SpanHtml(), "Starta &lt;b&gt;&amp;amp;&lt;/b&gt; \"q\"");
  auto span = view_->ElementById({}, "ZZZEDIT1");
  ASSERT_TRUE(span);
  EXPECT_EQ(span->text, "Starta <b>&amp;</b> \"q\"");

  Load();
  PastePlain("one\r\ntwo");
  EXPECT_EQ(SpanHtml(), "Startone<br>two");
  // After the paste the clipboard still holds the text as it was copied (the desktop's
  // clipboard gives line ends as LF).
  EXPECT_EQ(pq::engine::ClipboardText(), "one\ntwo");
}

TEST_F(PasteTest, CutAndCopyGoThroughTheClipboard) {
  Load();
  view_->Evaluate("getSelection().selectAllChildren(document.getElementById('ZZZEDIT1')); 0", true);
  pq::engine::RunEditingCommand(*view_, pq::engine::EditingCommand::kCopy);
  EXPECT_TRUE(pqtest::WaitFor([] { return pq::engine::ClipboardText() == "Start"; }, std::chrono::seconds(5)));
  pq::engine::RunEditingCommand(*view_, pq::engine::EditingCommand::kCut);
  EXPECT_TRUE(pqtest::WaitFor([&] { return SpanHtml().find("Start") == std::string::npos; }, std::chrono::seconds(5)));
}

TEST_F(ClipboardTest, TheEditMenuOffersCutCopyPasteAndRunsThem) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 300, 200);
  GtkWidget* area = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(window), area);
  gtk_widget_show_all(window);
  pqtest::WaitFor([&] { return gtk_widget_get_mapped(area); });
  {
    pq::EditMenu menu;
    std::string ran;
    menu.Cut = [&] { ran += "cut "; };
    menu.Copy = [&] { ran += "copy "; };
    menu.Paste = [&] { ran += "paste "; };
    GList* items = gtk_container_get_children(GTK_CONTAINER(menu.Menu_Edit()));
    std::string captions;
    for (GList* i = items; i; i = i->next) captions += std::string(gtk_menu_item_get_label(GTK_MENU_ITEM(i->data))) + " ";
    g_list_free(items);
    EXPECT_EQ(captions, "Cut Copy Paste ");
    menu.SetCutEnabled(false);
    menu.SetPasteEnabled(true);
    menu.Popup(area, 20, 30);
    EXPECT_TRUE(pqtest::WaitFor([&] { return menu.Visible(); }, std::chrono::seconds(5)));
    EXPECT_FALSE(gtk_widget_is_sensitive(menu.Menu_Cut()));
    gtk_menu_item_activate(GTK_MENU_ITEM(menu.Menu_Copy()));
    gtk_menu_item_activate(GTK_MENU_ITEM(menu.Menu_Paste()));
    EXPECT_EQ(ran, "copy paste ");
  }
  gtk_widget_destroy(window);
}

}  // namespace
