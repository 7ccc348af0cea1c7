// Editing through the program itself (the object main() runs) on the demo site: the Edit tab's
// buttons act on the span being edited and their enabled states follow the selection, the
// focus and the histories; real pointer and key events.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <string>

#include "browse_e2e_support.h"
#include "core/settings.h"
#include "editing_input.h"
#include "engine/in_page_runtime.h"
#include "main_window_point.h"
#include "program_on_site.h"
#include "support/xvfb.h"

namespace {

using pq::TabHeader;
using pq::ToolbarButton;
using namespace std::chrono_literals;
namespace input = pqtest::editing;

class EditingProgramTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { program_ = new pqtest::ProgramOnSite("/index.htm"); }
  static void TearDownTestSuite() {
    delete program_;
    program_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    ASSERT_TRUE(program_->ok()) << "the site server did not start";
    ASSERT_TRUE(program_->Ready());
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("editing_program_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  static pq::MainFormWindow& W() { return program_->Window(); }
  static pq::engine::WebView& View() { return program_->EditView(); }
  static void ClickWidget(GtkWidget* w, int x, int y) { program_->Click(w, x, y); }
  static void ClickButton(ToolbarButton b) { ClickWidget(W().Buttons().Button(b).Widget(), 29, 25); }
  static bool Enabled(ToolbarButton b) { return gtk_widget_get_sensitive(W().Buttons().Button(b).Widget()); }
  // The caret at the end of a one-line span of the edit pane.
  static void ClickEnd(const std::string& selector) {
    std::optional<pq::engine::ScriptValue> v;
    // Right after the switch to the Edit tab the pane may still be busy for a moment.
    pqtest::WaitFor([&] {
      v = View().Evaluate("(() => { const r = document.querySelector(" + pq::engine::JsString(selector) +
                          ").getBoundingClientRect(); return [r.left + r.width * 0.9, r.top + r.height / 2]; })()");
      return v && v->size() == 2;
    }, 5s);
    ASSERT_TRUE(v && v->size() == 2);
    ClickWidget(View().Widget(), v->items[0].Int(), v->items[1].Int());
    pqtest::WaitFor([&] {
      auto a = View().Evaluate("document.activeElement === document.querySelector(" + pq::engine::JsString(selector) + ")");
      return a && a->Bool();
    }, 3s);
    input::Keys({"End"});
  }
  static void ShowEditTab() { program_->ShowEditTab(); }

  static std::string Html(const std::string& id) {
    auto e = View().ElementById({}, id);
    return e ? e->html : "<gone>";
  }
  // A command reaches the page after the click on a loaded machine: its result, waited for.
  static std::string HtmlOnceIs(const std::string& id, const std::string& want) {
    pqtest::WaitFor([&] { return Html(id) == want; }, 5s);
    return Html(id);
  }

  static pqtest::ProgramOnSite* program_;
};

pqtest::ProgramOnSite* EditingProgramTest::program_ = nullptr;

TEST_F(EditingProgramTest, TheEditTabsButtonsFormatUndoAndFollowTheState) {
  ShowEditTab();
  ASSERT_EQ(W().State().CurrentTab, TabHeader::ImgEdit);
  // Nothing selected yet, nothing to undo.
  EXPECT_FALSE(Enabled(ToolbarButton::Cut));
  EXPECT_FALSE(Enabled(ToolbarButton::Undo));

  const std::string text = "Click the little loaf to see what comes out of the oven today.";
  ClickEnd("#ZZZEDIT11");
  EXPECT_TRUE(Enabled(ToolbarButton::Bold));  // the caret is in editable text
  for (int i = 0; i < 6; ++i) input::Keys({"shift+Left"});
  EXPECT_TRUE(Enabled(ToolbarButton::Cut));
  EXPECT_TRUE(Enabled(ToolbarButton::Copy));
  input::Run(300ms);
  pqtest::editing::ScreenShot(pqtest::ScreenshotDir() + "/editing_program-selection.png");
  ClickButton(ToolbarButton::Bold);
  const std::string bold = "Click the little loaf to see what comes out of the oven <b>today.</b>";
  EXPECT_EQ(HtmlOnceIs("ZZZEDIT11", bold), bold);
  EXPECT_TRUE(pqtest::WaitFor([] { return Enabled(ToolbarButton::Undo); }, 2s));
  EXPECT_FALSE(Enabled(ToolbarButton::Redo));

  ClickButton(ToolbarButton::Undo);
  EXPECT_EQ(HtmlOnceIs("ZZZEDIT11", text), text);
  EXPECT_TRUE(pqtest::WaitFor([] { return !Enabled(ToolbarButton::Undo); }, 2s));
  EXPECT_TRUE(Enabled(ToolbarButton::Redo));
  ClickButton(ToolbarButton::Redo);
  EXPECT_EQ(HtmlOnceIs("ZZZEDIT11", bold), bold);
  EXPECT_TRUE(pqtest::WaitFor([] { return !Enabled(ToolbarButton::Redo); }, 2s));

  // Copy, then Paste at the end of another span: the copied words as plain text.
  ClickEnd("#ZZZEDIT11");
  for (int i = 0; i < 6; ++i) input::Keys({"shift+Left"});
  ClickButton(ToolbarButton::Copy);
  EXPECT_TRUE(Enabled(ToolbarButton::Paste));
  ClickEnd("#ZZZEDIT6");
  ClickButton(ToolbarButton::Paste);
  EXPECT_EQ(HtmlOnceIs("ZZZEDIT6", "This weektoday."), "This weektoday.");
}

TEST_F(EditingProgramTest, WordKeysSelectAndPasteIsOfferedForAClipboardHoldingHtmlAlone) {
  // As a browser copies that offers no plain text.
  pqtest::ChildProcess owner;
  ASSERT_TRUE(owner.Start({std::string(PQ_BIN_DIR) + "/clipboard_owner", "",
                           "<meta charset=\"utf-8\"><b>Fresh</b>&nbsp;rolls<br>daily"}));
  ASSERT_EQ(owner.ReadLine(std::chrono::seconds(10)), "ready");
  ShowEditTab();
  ASSERT_EQ(W().State().CurrentTab, TabHeader::ImgEdit);
  ClickEnd("#ZZZEDIT2");
  // A word selected with Ctrl+Shift+Left in the program's own pane; End puts the caret back.
  input::Keys({"ctrl+shift+Left"});
  EXPECT_EQ(View().SelectionText({}), "Bakery");
  EXPECT_TRUE(pqtest::WaitFor([] { return Enabled(ToolbarButton::Cut); }, 5s));
  input::Keys({"End"});
  EXPECT_TRUE(pqtest::WaitFor([] { return Enabled(ToolbarButton::Paste); }, 5s));
  input::Run(300ms);
  pqtest::editing::ScreenShot(pqtest::ScreenshotDir() + "/editing_program-paste-html.png");
  ClickButton(ToolbarButton::Paste);
  EXPECT_TRUE(pqtest::WaitFor([] { return Html("ZZZEDIT2").find("rolls") != std::string::npos; }, 5s));
  EXPECT_EQ(Html("ZZZEDIT2"), "Welcome to the Lindenhof BakeryFresh&nbsp;rolls<br>daily");
}

}  // namespace
