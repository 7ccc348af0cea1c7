#include "editor/edit_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <map>
#include <set>
#include <vector>

namespace pq {
namespace {

// A page of spans and links, a clipboard, a user who answers as told, and timers that fire
// when the test says so. Calls are logged as short lines.
struct FakePage : EditingPage {
  std::map<std::string, SpanContents> elements;  // by id (one document)
  std::map<std::string, std::string> borders;
  std::map<std::string, LinkContents> links;      // by anchor span id
  std::string activeId;                           // editable element with the focus, "" none
  std::optional<std::string> clipboard;
  int linkAnswer = 1;
  std::vector<std::string> log;
  std::set<EditTimer> armed;
  int reads = 0;
  std::function<void()> duringRead;

  std::optional<SpanContents> ReadElement(const DocumentIdentity&, const std::string& id) override {
    ++reads;
    auto it = elements.find(id);
    if (it == elements.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> ReadHtml(const DocumentIdentity& doc, const std::string& id) override {
    // What the main loop lets in while the engine answers (once).
    if (auto meanwhile = std::exchange(duringRead, nullptr)) meanwhile();
    auto e = ReadElement(doc, id);
    if (!e) return std::nullopt;
    return e->html;
  }
  bool SetElement(const DocumentIdentity&, const std::string& id, const std::string& property,
                  const std::string& value) override {
    if (!elements.count(id)) return false;
    if (property == "innerHTML") {
      elements[id] = {value, value};
      log.push_back("write " + id + " " + value);
    } else if (property == "border") {
      borders[id] = value;
    } else if (property == "focus") {
      activeId = id;
      log.push_back("focus " + id);
    } else if (property == "focusUnlessEditing") {
      if (!activeId.empty()) return false;
      activeId = id;
      log.push_back("focus " + id);
    }
    return true;
  }
  std::optional<LinkContents> ReadLink(const DocumentIdentity&, const std::string& id) override {
    auto it = links.find(id);
    if (it == links.end()) return std::nullopt;
    return it->second;
  }
  bool WriteLink(const DocumentIdentity&, const std::string& id, const std::string& html) override {
    links[id] = {html, html};
    log.push_back("link " + id + " " + html);
    return true;
  }
  bool FocusLink(const DocumentIdentity&, const std::string& id) override {
    log.push_back("focus link " + id);
    return links.count(id) > 0;
  }
  bool ActiveIsEditable(const DocumentIdentity&) override { return !activeId.empty(); }
  bool FocusActive(const DocumentIdentity&) override {
    log.push_back("refocus " + activeId);
    return true;
  }
  bool ExecCommand(const DocumentIdentity& doc, const std::string& command) override {
    log.push_back("exec " + command + " " + FramePathLiteral(doc.frame));
    return true;
  }
  void RunEngineCommand(EngineCommand c) override {
    log.push_back(c == EngineCommand::kCut ? "engine cut" : c == EngineCommand::kCopy ? "engine copy" : "engine paste");
  }
  void CollapseSelection(const DocumentIdentity&) override { log.push_back("collapse"); }
  std::optional<std::string> ClipboardText() override { return clipboard; }
  void PutHTMLClipboard(const std::string& fragment, const std::string& prefix, const std::string& suffix,
                        const std::string& plain) override {
    log.push_back("clipboard " + prefix + fragment + suffix + " | " + plain);
  }
  void ShowLinkDeleted() override { log.push_back("message link deleted"); }
  int AskLinkChange() override {
    log.push_back("notice");
    return linkAnswer;
  }
  void ShowMenu(const DocumentIdentity&, int x, int y) override {
    log.push_back("menu " + std::to_string(x) + "," + std::to_string(y));
  }
  void ArmTimer(EditTimer timer, std::chrono::milliseconds) override { armed.insert(timer); }

  // The user types: the span's HTML changes.
  void Type(const std::string& id, const std::string& html) { elements[id] = {html, html}; }
};

DocumentEvent Event(std::string type, std::string spanId, const FakePage& page, FramePath frame = {}) {
  DocumentEvent e;
  e.type = std::move(type);
  e.frame = std::move(frame);
  e.hasActive = true;
  if (spanId.rfind("ZZZANCHOR", 0) == 0) {
    e.active.tag = "A";
    e.active.editable = true;
    e.active.parentId = spanId;
    e.active.html = page.links.at(spanId).html;
  } else if (!spanId.empty()) {
    e.active.tag = "SPAN";
    e.active.id = spanId;
    e.active.editable = true;
    e.active.html = page.elements.at(spanId).html;
  } else {
    e.active.tag = "BODY";
  }
  return e;
}

class EditSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.elements = {{"ZZZEDIT1", {"one", "one"}}, {"ZZZEDIT2", {"two", "two"}},
                     {"ZZZANCHOR1", {"<a href=\"/\">Home</a>", "Home"}}};
    page.links = {{"ZZZANCHOR1", {"Home", "Home"}}};
    session.SelectionChange = [this](bool s) { events.push_back(s ? "selection+" : "selection-"); };
    session.UndoChange = [this](bool a) { events.push_back(a ? "undo+" : "undo-"); };
    session.RedoChange = [this](bool a) { events.push_back(a ? "redo+" : "redo-"); };
    session.SpanEmptied = [this](const SpanRef& s) { events.push_back("emptied " + s.id); };
  }
  void Fire(EditTimer timer) {
    if (page.armed.erase(timer)) session.TimerFired(timer);
  }
  // A visit: the caret enters, the user types, the snapshot timer runs.
  void Visit(const std::string& id, const std::string& typed) {
    page.activeId = id;
    session.qEvent(Event("selectionchange", id, page));
    page.Type(id, typed);
    session.qEvent(Event("keyup", id, page));
    Fire(EditTimer::kTimer3);
  }
  FakePage page;
  EditSession session{page};
  std::vector<std::string> events;
};

TEST_F(EditSessionTest, TypingGivesOneUndoEntryPerVisitAndReadsNothingMore) {
  Visit("ZZZEDIT1", "one!");
  EXPECT_EQ(page.borders["ZZZEDIT1"], "1px dotted");
  ASSERT_EQ(session.History().UndoCount(), 1);
  EXPECT_EQ(session.History().UndoEntries()[0].html, "one");
  const int reads = page.reads;
  for (const char* more : {"one!!", "one!!!"}) {
    page.Type("ZZZEDIT1", more);
    session.qEvent(Event("keyup", "ZZZEDIT1", page));
    Fire(EditTimer::kTimer3);
  }
  EXPECT_EQ(page.reads, reads);
  EXPECT_EQ(session.History().UndoCount(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"selection-", "undo+"}));
}

TEST_F(EditSessionTest, LeavingTidiesOnlyAChangedSpan) {
  page.elements["ZZZEDIT2"] = {"\n two<br>", "two"};
  session.qEvent(Event("selectionchange", "ZZZEDIT2", page));
  session.qEvent(Event("selectionchange", "ZZZEDIT1", page));
  EXPECT_EQ(page.elements["ZZZEDIT2"].html, "\n two<br>");  // untouched: published as it was
  EXPECT_EQ(page.borders["ZZZEDIT2"], "");
  page.Type("ZZZEDIT1", "one<br><br>");
  session.qEvent(Event("click", "", page));
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one");
  page.elements["ZZZEDIT1"] = {"one", "one"};
  session.qEvent(Event("selectionchange", "ZZZEDIT1", page));
  page.elements["ZZZEDIT1"] = {"<br>", "\n"};
  session.qEvent(Event("selectionchange", "ZZZEDIT2", page));
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "");
  EXPECT_NE(std::find(events.begin(), events.end(), "emptied ZZZEDIT1"), events.end());
}

TEST_F(EditSessionTest, ShortcutsRunTheCommandsInTheEventsDocument) {
  DocumentEvent enter = Event("selectionchange", "ZZZEDIT1", page, {1});
  session.qEvent(enter);
  DocumentEvent ctrlB = Event("keydown", "ZZZEDIT1", page, {1});
  ctrlB.ctrlKey = true;
  ctrlB.keyCode = 'B';
  page.armed.clear();
  session.qEvent(ctrlB);
  EXPECT_EQ(page.log.back(), "exec bold [1]");
  EXPECT_TRUE(page.armed.count(EditTimer::kTimer3));  // the change is caught for undo

  page.clipboard = "a <b>&amp;</b> \"q\"\r\nnext";
  DocumentEvent ctrlV = ctrlB;
  ctrlV.keyCode = 'V';
  session.qEvent(ctrlV);
  ASSERT_GE(page.log.size(), 2u);
  EXPECT_EQ(page.log[page.log.size() - 2],
            "clipboard <HTML><BODY>a &lt;b&gt;&amp;amp;&lt;/b&gt; &quot;q&quot;<br>next</BODY></HTML>"
            " | a <b>&amp;</b> \"q\"\r\nnext");
  EXPECT_EQ(page.log.back(), "engine paste");

  // An empty clipboard pastes nothing and leaves the clipboard alone.
  page.clipboard.reset();
  const auto logged = page.log.size();
  session.Edit_Paste();
  EXPECT_EQ(page.log.size(), logged);
}

TEST_F(EditSessionTest, CtrlZRightAfterTypingUndoesThatTyping) {
  session.qEvent(Event("selectionchange", "ZZZEDIT1", page));
  page.Type("ZZZEDIT1", "one!");
  DocumentEvent ctrlZ = Event("keydown", "ZZZEDIT1", page);
  ctrlZ.ctrlKey = true;
  ctrlZ.keyCode = 'Z';
  session.qEvent(ctrlZ);  // before the snapshot timer ran
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one");
  EXPECT_EQ(session.History().RedoCount(), 1);
  Fire(EditTimer::kTimer3);
  EXPECT_EQ(session.History().UndoCount(), 0);
}

// The snapshot timer reads span 1 while the user's click into span 2 comes in: Undo after
// typing in span 2 restores span 2 and never writes span 2's text into span 1.
TEST_F(EditSessionTest, TheCaretMovingOnDuringTheSnapshotReadTakesNothingForTheOldSpan) {
  page.activeId = "ZZZEDIT1";
  session.qEvent(Event("selectionchange", "ZZZEDIT1", page));
  page.duringRead = [this] {
    page.activeId = "ZZZEDIT2";
    session.qEvent(Event("selectionchange", "ZZZEDIT2", page));
  };
  Fire(EditTimer::kTimer3);
  EXPECT_EQ(session.History().UndoCount(), 0);
  page.Type("ZZZEDIT2", "two!");
  session.qEvent(Event("keyup", "ZZZEDIT2", page));
  Fire(EditTimer::kTimer3);
  ASSERT_EQ(session.History().UndoCount(), 1);
  session.UndoMe();
  EXPECT_EQ(page.elements["ZZZEDIT2"].html, "two");
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one");
}

TEST_F(EditSessionTest, UndoAndRedoAcrossTwoSpansInTheRightOrder) {
  Visit("ZZZEDIT1", "one A");
  Visit("ZZZEDIT2", "two B");
  session.UndoMe();
  EXPECT_EQ(page.elements["ZZZEDIT2"].html, "two");
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one A");
  session.UndoMe();
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one");
  session.RedoMe();
  EXPECT_EQ(page.elements["ZZZEDIT1"].html, "one A");
  session.RedoMe();
  EXPECT_EQ(page.elements["ZZZEDIT2"].html, "two B");
  // Typing on after a redo in the current span is undone back to the redone text.
  page.Type("ZZZEDIT2", "two BC");
  session.qEvent(Event("keyup", "ZZZEDIT2", page));
  Fire(EditTimer::kTimer3);
  session.UndoMe();
  EXPECT_EQ(page.elements["ZZZEDIT2"].html, "two B");
  EXPECT_EQ(page.log.back(), "refocus ZZZEDIT2");
}

TEST_F(EditSessionTest, AnEmptiedLinkIsRefocusedAndBlocksPublishing) {
  session.qEvent(Event("selectionchange", "ZZZANCHOR1", page));
  page.links["ZZZANCHOR1"] = {"", "<br>"};
  session.qEvent(Event("click", "", page));
  EXPECT_EQ(page.log.back(), "message link deleted");
  session.qEvent(Event("selectionchange", "", page));  // ignored: a refocus is pending
  Fire(EditTimer::kTimer2);
  EXPECT_EQ(page.log.back(), "focus link ZZZANCHOR1");
  EXPECT_TRUE(page.armed.count(EditTimer::kRefocusLimit));
  session.qEvent(Event("focusin", "ZZZANCHOR1", page));
  EXPECT_EQ(session.State().refocus, Refocus::kNone);

  // Preview and publishing ask too, and stop.
  EXPECT_FALSE(session.CheckLink());
  // A restored link passes.
  page.links["ZZZANCHOR1"] = {"Home", "Home"};
  Fire(EditTimer::kTimer2);
  session.qEvent(Event("focusin", "ZZZANCHOR1", page));
  EXPECT_TRUE(session.CheckLink());
}

TEST_F(EditSessionTest, NoOnTheLinkNoticeRestoresTheLinkAndClearsTheSelection) {
  page.linkAnswer = 2;
  session.qEvent(Event("selectionchange", "ZZZANCHOR1", page));
  page.links["ZZZANCHOR1"] = {"Hone", "Hone"};
  session.qEvent(Event("selectionchange", "ZZZEDIT1", page));
  EXPECT_EQ(std::count(page.log.begin(), page.log.end(), "notice"), 1);
  EXPECT_EQ(page.links["ZZZANCHOR1"].html, "Home");
  Fire(EditTimer::kTimer2);
  EXPECT_EQ(page.log.back(), "exec unselect []");
  EXPECT_EQ(page.borders["ZZZEDIT1"], "");
}

TEST_F(EditSessionTest, MenuInEditableTextAndTabKeepsTheCaret) {
  DocumentEvent right = Event("contextmenu", "ZZZEDIT1", page);
  right.x = 5;
  right.y = 9;
  session.qEvent(right);
  EXPECT_EQ(page.log.back(), "menu 5,9");
  session.qEvent(Event("contextmenu", "", page));
  EXPECT_EQ(page.log.back(), "menu 5,9");
  DocumentEvent tab = Event("keydown", "ZZZEDIT2", page);
  tab.keyCode = 9;
  session.qEvent(tab);
  EXPECT_EQ(page.log.back(), "collapse");
}

TEST_F(EditSessionTest, InitialControlAndNavigate) {
  session.ActivateInitialControl(SpanRef{{}, "ZZZEDIT2"});
  EXPECT_EQ(page.activeId, "ZZZEDIT2");
  EXPECT_EQ(page.borders["ZZZEDIT2"], "1px dotted");
  EXPECT_EQ(session.State().currentSpanId, "ZZZEDIT2");
  // Something editable has the caret: nothing happens.
  const auto logged = page.log.size();
  session.ActivateInitialControl(SpanRef{{}, "ZZZEDIT1"});
  EXPECT_EQ(page.log.size(), logged);
  Visit("ZZZEDIT1", "x");
  session.Navigate();
  EXPECT_EQ(session.History().UndoCount(), 0);
  EXPECT_EQ(session.State().currentSpanId, "");
}

}  // namespace
}  // namespace pq
