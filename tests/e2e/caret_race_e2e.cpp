// The caret after a click into a span, through the whole program on the demo site: a click into
// a span that is not the current one, End at once and typing must put the typed words at the
// end of the span, however quickly the keys follow the click. Real pointer and key events, one
// xdotool run per round so that nothing waits between the click and the keys.
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
using namespace std::chrono_literals;
namespace input = pqtest::editing;

constexpr const char* kTyped = " Also pensioners.";

class CaretRaceTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { program_ = new pqtest::ProgramOnSite("/monthly%20offers.htm"); }
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
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("caret_race_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  static pq::MainFormWindow& W() { return program_->Window(); }
  static pq::engine::WebView& View() { return program_->EditView(); }
  static void ShowEditTab() { program_->ShowEditTab(); }

  // The id of the edit span whose text begins with `start`.
  static std::string SpanStarting(const std::string& start) {
    auto v = View().Evaluate("(() => { for (const s of document.querySelectorAll('span[id^=\"ZZZEDIT\"]'))"
                             " if (s.textContent.startsWith(" + pq::engine::JsString(start) + ")) return s.id;"
                             " return ''; })()");
    return v ? v->Str() : "";
  }
  // Every other edit span's id and text, one per line.
  static std::string OtherSpans(const std::string& a, const std::string& b) {
    auto v = View().Evaluate(
        "Array.from(document.querySelectorAll('span[id^=\"ZZZEDIT\"]'))"
        ".filter((s) => s.id !== " + pq::engine::JsString(a) + " && s.id !== " + pq::engine::JsString(b) + ")"
        ".map((s) => s.id + ' ' + s.textContent).join('\\n')");
    return v ? v->Str() : "<unreadable>";
  }
  static std::string Text(const std::string& id) {
    auto v = View().Evaluate("(() => { const s = document.getElementById(" + pq::engine::JsString(id) +
                             "); return s ? s.textContent.replace(/\\u00a0/g, ' ') : '<gone>'; })()");
    return v ? v->Str() : "<unreadable>";
  }
  // The middle of the span's last word, in the edit pane's coordinates.
  static std::optional<std::pair<int, int>> LastWord(const std::string& id) {
    auto v = View().Evaluate(
        "(() => { const s = document.getElementById(" + pq::engine::JsString(id) + ");"
        " const w = document.createTreeWalker(s, NodeFilter.SHOW_TEXT); let t = null;"
        " while (w.nextNode()) if (w.currentNode.data.trim()) t = w.currentNode;"
        " if (!t) return null; const d = t.data.replace(/\\s+$/, ''); const from = d.search(/\\S+$/);"
        " const r = document.createRange(); r.setStart(t, from + 1); r.setEnd(t, d.length - 2);"
        " const b = r.getClientRects(); const q = b[b.length - 1];"
        " return [Math.round(q.left + q.width / 2), Math.round(q.top + q.height / 2)]; })()");
    if (!v || v->size() != 2) return std::nullopt;
    return std::make_pair(static_cast<int>(v->items[0].Int()), static_cast<int>(v->items[1].Int()));
  }

  static pqtest::ProgramOnSite* program_;
};

pqtest::ProgramOnSite* CaretRaceTest::program_ = nullptr;

TEST_F(CaretRaceTest, WordsTypedAfterClickAndEndLandAtTheEndOfTheParagraph) {
  ShowEditTab();
  ASSERT_EQ(W().State().CurrentTab, TabHeader::ImgEdit);
  // Two paragraphs in turn, so that every click enters a span that is not the current one.
  struct Paragraph {
    std::string id;
    std::string expected;
  };
  Paragraph paragraphs[] = {{SpanStarting("Students get"), "Students get 10 % off with their card."},
                            {SpanStarting("Every Friday"), ""}};
  ASSERT_FALSE(paragraphs[0].id.empty());
  ASSERT_FALSE(paragraphs[1].id.empty());
  paragraphs[1].expected = Text(paragraphs[1].id);
  ASSERT_EQ(Text(paragraphs[0].id), paragraphs[0].expected);
  const std::string othersBefore = OtherSpans(paragraphs[0].id, paragraphs[1].id);

  // The order in which the page saw the events, with the caret's offset: shown when a round fails.
  View().Evaluate("(() => { window.__log = []; const L = (e) => { const s = document.getSelection();"
                  " window.__log.push(e.type + ':' + (e.keyCode||'') + '@' + (s && s.anchorNode ? s.anchorOffset : -1)); };"
                  " for (const t of ['mousedown','mouseup','keydown','selectionchange','focusin']) document.addEventListener(t, L, true); return true; })()");
  constexpr int kRounds = 50;
  int passed = 0;
  for (int round = 0; round < kRounds; ++round) {
    Paragraph& p = paragraphs[round % 2];
    const auto point = LastWord(p.id);
    ASSERT_TRUE(point) << "round " << round << ": no last word in " << p.id;
    const auto [x, y] = pqtest::MainWindowPoint(W(), View().Widget(), point->first, point->second);
    input::Xdo({"mousemove", std::to_string(x), std::to_string(y), "click", "1", "key", "End", "type", "--delay",
                "12", kTyped},
               0);
    p.expected += kTyped;
    // Bounded: the typed words arrive within a moment or the round fails.
    pqtest::WaitFor([&] { return Text(p.id).size() >= p.expected.size(); }, 5s);
    pqtest::Settle(50ms);
    const std::string text = Text(p.id);
    auto log = View().Evaluate("(() => { const l = window.__log.join(' '); window.__log = []; return l; })()");
    EXPECT_EQ(text, p.expected) << "round " << round << " log " << (log ? log->Str() : "");
    if (text != p.expected) {
      input::ScreenShot(pqtest::ScreenshotDir() + "/caret_race-round" + std::to_string(round) + ".png");
      p.expected = text;  // the next rounds go on from what the page holds
    } else {
      ++passed;
    }
  }
  EXPECT_EQ(passed, kRounds);
  // No key went anywhere else (a key that overtakes the click goes to the span left).
  EXPECT_EQ(OtherSpans(paragraphs[0].id, paragraphs[1].id), othersBefore);
}

}  // namespace
