#include "editor/edit_events.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace pq {
namespace {

// The page's links and the user's answers, as the link check sees them.
struct FakeLinks : LinkAccess {
  std::map<std::string, LinkContents> links;  // by anchor span id
  int answer = 1;                             // to the link-change notice
  int deletedMessages = 0, notices = 0;
  std::vector<std::pair<std::string, std::string>> writes;

  std::optional<LinkContents> ReadLink(const SpanRef& span) override {
    auto it = links.find(span.id);
    if (it == links.end()) return std::nullopt;
    return it->second;
  }
  void WriteLink(const SpanRef& span, const std::string& html) override {
    writes.emplace_back(span.id, html);
    links[span.id] = {html, html};
  }
  void ShowLinkDeleted() override { ++deletedMessages; }
  int AskLinkChange() override {
    ++notices;
    return answer;
  }
};

// Records as the in-page runtime builds them.
DocumentEvent Ev(std::string type, ElementInfo active, FramePath frame = {}) {
  DocumentEvent e;
  e.frame = std::move(frame);
  e.type = std::move(type);
  e.hasActive = true;
  e.active = std::move(active);
  return e;
}
ElementInfo Span(std::string id, std::string html) {
  ElementInfo e;
  e.tag = "SPAN";
  e.id = std::move(id);
  e.editable = true;
  e.html = std::move(html);
  return e;
}
ElementInfo Link(std::string anchorSpan, std::string html) {
  ElementInfo e;
  e.tag = "A";
  e.editable = true;
  e.parentId = std::move(anchorSpan);
  e.html = std::move(html);
  return e;
}
ElementInfo Body() {
  ElementInfo e;
  e.tag = "BODY";
  return e;
}
DocumentEvent Key(std::string type, int code, ElementInfo active, bool ctrl = false, bool shift = false) {
  DocumentEvent e = Ev(std::move(type), std::move(active));
  e.keyCode = code;
  e.ctrlKey = ctrl;
  e.shiftKey = shift;
  return e;
}

class EditEventsTest : public ::testing::Test {
 protected:
  EditDecisions Run(const DocumentEvent& e) { return qEvent(e, state, links); }
  // Timer3 as the session runs it: the candidate, then its live HTML.
  bool Take(const std::string& live) {
    const auto read = SnapshotCandidate(state);
    return read && TakeSnapshot(state, *read, live);
  }
  EditEventState state;
  FakeLinks links;
};

TEST_F(EditEventsTest, EnteringMovingWithinAndLeavingSpans) {
  auto d = Run(Ev("selectionchange", Span("ZZZEDIT1", "one")));
  EXPECT_TRUE(d.checkIcons && d.armTimer3 && d.activeEditable);
  ASSERT_TRUE(d.frame);
  EXPECT_EQ(d.frame->id, "ZZZEDIT1");
  EXPECT_FALSE(d.unframe);
  EXPECT_EQ(state.currentSpanId, "ZZZEDIT1");
  EXPECT_EQ(state.spanHtmlOnEntry, "one");
  EXPECT_EQ(d.selectionChange, false);

  // Another selection inside the same span: only Cut and Copy follow it.
  DocumentEvent select = Ev("selectionchange", Span("ZZZEDIT1", "one!"));
  select.hasText = true;
  d = Run(select);
  EXPECT_FALSE(d.frame || d.unframe || d.readSpanHtmlOnEntry);
  EXPECT_EQ(d.selectionChange, true);
  EXPECT_EQ(state.spanHtmlOnEntry, "one");

  // Into the next span: the first is unframed and tidied with its HTML from entry.
  d = Run(Ev("selectionchange", Span("ZZZEDIT2", "two")));
  ASSERT_TRUE(d.unframe && d.frame);
  EXPECT_EQ(d.unframe->span.id, "ZZZEDIT1");
  EXPECT_EQ(d.unframe->htmlOnEntry, "one");
  EXPECT_EQ(d.frame->id, "ZZZEDIT2");

  // A click outside the editable text leaves it at once, before any selection change.
  d = Run(Ev("click", Body()));
  ASSERT_TRUE(d.unframe);
  EXPECT_EQ(d.unframe->span.id, "ZZZEDIT2");
  EXPECT_EQ(state.currentSpanId, "");
  EXPECT_FALSE(d.activeEditable);
  d = Run(Ev("selectionchange", Body()));
  EXPECT_FALSE(d.unframe || d.frame);
  EXPECT_EQ(d.selectionChange, false);
}

TEST_F(EditEventsTest, TheSameIdInAnotherDocumentIsAnotherSpan) {
  Run(Ev("selectionchange", Span("ZZZEDIT1", "top"), {1}));
  // Same id in another frame, then the same frame loaded again: both are moves.
  auto d = Run(Ev("selectionchange", Span("ZZZEDIT1", "other"), {0}));
  ASSERT_TRUE(d.unframe && d.frame);
  EXPECT_EQ(d.unframe->span.document.frame, FramePath{1});
  EXPECT_EQ(d.frame->document.frame, FramePath{0});
  DocumentEvent reloaded = Ev("selectionchange", Span("ZZZEDIT1", "other"), {0});
  reloaded.load = 1;
  d = Run(reloaded);
  ASSERT_TRUE(d.frame);
  EXPECT_EQ(d.frame->document.load, 1);
}

TEST_F(EditEventsTest, CtrlIsCancelledAndRunsOnlyTheShortcutTable) {
  struct Case {
    int key;
    bool shift, editable, hasText;
    Shortcut expected;
  };
  const Case cases[] = {
      {'B', false, true, false, Shortcut::kBold},
      {'I', false, true, false, Shortcut::kItalic},
      {'U', false, true, false, Shortcut::kUnderline},
      {'Z', false, true, false, Shortcut::kUndo},
      {'Z', true, true, false, Shortcut::kRedo},
      {'Y', false, true, false, Shortcut::kRedo},
      {'X', false, true, true, Shortcut::kCut},
      {'C', false, true, true, Shortcut::kCopy},
      {'V', false, true, false, Shortcut::kPaste},
      {'A', false, true, true, Shortcut::kNone},   // select all: cancelled, nothing runs
      {'P', false, true, false, Shortcut::kNone},
      {'S', false, true, false, Shortcut::kNone},
      {13, false, true, false, Shortcut::kNone},   // Ctrl+Enter
      // Outside editable text only what makes sense there runs.
      {'B', false, false, false, Shortcut::kNone},
      {'V', false, false, false, Shortcut::kNone},
      {'X', false, true, false, Shortcut::kNone},  // nothing selected to cut
      {'Z', false, false, false, Shortcut::kUndo},
  };
  for (const Case& c : cases) {
    EditEventState fresh;
    ElementInfo active = c.editable ? Span("ZZZEDIT1", "x") : Body();
    DocumentEvent e = Key("keydown", c.key, active, true, c.shift);
    e.hasText = c.hasText;
    auto d = qEvent(e, fresh, links);
    EXPECT_TRUE(d.cancelled) << c.key;
    EXPECT_EQ(d.shortcut, c.expected) << static_cast<char>(c.key) << " shift " << c.shift;
    EXPECT_FALSE(d.lineBreak || d.showMenu || d.selectionChange) << c.key;
    // The key's other events are cancelled too, without running the command twice.
    for (const char* type : {"keypress", "keyup", "click"}) {
      auto other = qEvent(Key(type, c.key, active, true, c.shift), fresh, links);
      EXPECT_TRUE(other.cancelled);
      EXPECT_EQ(other.shortcut, Shortcut::kNone);
    }
  }
  EXPECT_EQ(ShortcutKeys(Shortcut::kRedo), "Ctrl+Y");
  EXPECT_EQ(ShortcutKeys(Shortcut::kNone), "");
}

TEST_F(EditEventsTest, WordKeysReachTheEngineOnlyInEditableText) {
  struct Case {
    int key;
    bool shift, editable, passes;
  };
  const Case cases[] = {
      {37, false, true, true},   // Ctrl+Left
      {39, false, true, true},   // Ctrl+Right
      {37, true, true, true},    // Ctrl+Shift+Left selects
      {39, true, true, true},
      {36, false, true, true},   // Ctrl+Home
      {35, true, true, true},    // Ctrl+Shift+End
      {8, false, true, true},    // Ctrl+Backspace
      {46, false, true, true},   // Ctrl+Delete
      {8, true, true, false},    // with Shift a deletion is no word key
      {46, true, true, false},
      {38, false, true, false},  // Ctrl+Up: not a word key
      {37, false, false, false}, // outside editable text nothing passes
      {36, true, false, false},
  };
  for (const Case& c : cases) {
    EditEventState fresh;
    const ElementInfo active = c.editable ? Span("ZZZEDIT1", "x") : Body();
    for (const char* type : {"keydown", "keypress", "keyup"}) {
      const auto d = qEvent(Key(type, c.key, active, true, c.shift), fresh, links);
      EXPECT_EQ(d.cancelled, !c.passes) << type << " " << c.key << " shift " << c.shift;
      EXPECT_EQ(d.shortcut, Shortcut::kNone);
      EXPECT_TRUE(d.armTimer3) << "a word deleted is an edit like any other";
    }
    // A click with Ctrl is never a key.
    EXPECT_TRUE(qEvent(Key("click", c.key, active, true, c.shift), fresh, links).cancelled);
  }
}

TEST_F(EditEventsTest, EnterTabDragAndTheContextMenu) {
  const ElementInfo span = Span("ZZZEDIT3", "text");
  auto d = Run(Key("keydown", 13, span));
  EXPECT_TRUE(d.cancelled && d.lineBreak);
  d = Run(Key("keypress", 13, span));
  EXPECT_TRUE(d.cancelled);
  EXPECT_FALSE(d.lineBreak);  // one line break per Enter
  d = Run(Key("keydown", 9, span));
  EXPECT_FALSE(d.cancelled);
  EXPECT_TRUE(d.keepCaretAfterTab);
  d = Run(Key("keydown", 65, span));
  EXPECT_FALSE(d.cancelled || d.lineBreak || d.keepCaretAfterTab);
  EXPECT_TRUE(Run(Ev("dragstart", span)).cancelled);

  struct MenuCase {
    ElementInfo active;
    bool menu;
  };
  ElementInfo fixedSpan = Span("ZZZEDIT4", "");
  fixedSpan.editable = false;
  ElementInfo otherEditable = Span("title", "");
  const MenuCase cases[] = {{span, true},
                            {Link("ZZZANCHOR1", "home"), true},
                            {Body(), false},
                            {fixedSpan, false},
                            {otherEditable, false}};
  for (const MenuCase& c : cases) {
    EditEventState fresh;
    DocumentEvent e = Ev("contextmenu", c.active);
    e.x = 40;
    e.y = 12;
    d = qEvent(e, fresh, links);
    EXPECT_TRUE(d.cancelled) << c.active.tag << c.active.id;
    EXPECT_EQ(d.showMenu, c.menu) << c.active.tag << c.active.id;
    if (c.menu) {
      EXPECT_EQ(std::make_pair(d.menuX, d.menuY), std::make_pair(40, 12));
    }
  }
}

TEST_F(EditEventsTest, UndoSnapshotOncePerVisitHoldingTheHtmlFromEntry) {
  EXPECT_FALSE(SnapshotCandidate(state));
  Run(Ev("selectionchange", Span("ZZZEDIT1", "before")));
  EXPECT_FALSE(Take("before"));  // caret placed, nothing typed
  EXPECT_TRUE(Take("beforeX"));
  EXPECT_EQ(state.spanHtmlOnEntry, "before");
  EXPECT_FALSE(SnapshotCandidate(state));  // further typing needs no read at all
  EXPECT_FALSE(Take("beforeXY"));
  Run(Ev("selectionchange", Span("ZZZEDIT2", "b")));
  Run(Ev("selectionchange", Span("ZZZEDIT1", "beforeXY")));
  EXPECT_TRUE(Take("beforeXYZ"));
  EXPECT_EQ(state.spanHtmlOnEntry, "beforeXY");
}

// Reading a span lets events in: when the caret moved to another span meanwhile, what was read
// belongs to neither visit. Taken, it would pair the first span with the second's HTML, and
// Undo would write one span's text into the other.
TEST_F(EditEventsTest, AReadOverTakenByTheCaretMovingOnTakesNoSnapshot) {
  Run(Ev("selectionchange", Span("ZZZEDIT1", "Bakery")));
  const auto read = SnapshotCandidate(state);
  ASSERT_TRUE(read);
  Run(Ev("selectionchange", Span("ZZZEDIT11", "Click the loaf")));  // while span 1 is read
  EXPECT_FALSE(TakeSnapshot(state, *read, "Bakery"));
  // Span 11's own visit still gets its entry when it changes.
  const auto next = SnapshotCandidate(state);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->span.id, "ZZZEDIT11");
  EXPECT_TRUE(TakeSnapshot(state, *next, "Click the <b>loaf</b>"));
  EXPECT_EQ(state.spanHtmlOnEntry, "Click the loaf");
  // Leaving and coming back to the same span is a new visit too.
  Run(Ev("selectionchange", Span("ZZZEDIT1", "Bakery")));
  const auto stale = SnapshotCandidate(state);
  Run(Ev("selectionchange", Span("ZZZEDIT2", "b")));
  Run(Ev("selectionchange", Span("ZZZEDIT1", "Bakery!")));
  EXPECT_FALSE(TakeSnapshot(state, *stale, "Bakery!"));
}

TEST_F(EditEventsTest, AnAnchorSpansHtmlIsReadOnEntry) {
  auto d = Run(Ev("selectionchange", Link("ZZZANCHOR2", "Home")));
  ASSERT_TRUE(d.readSpanHtmlOnEntry);
  EXPECT_EQ(d.readSpanHtmlOnEntry->id, "ZZZANCHOR2");
  EXPECT_FALSE(d.frame);  // links wear no frame
  EXPECT_EQ(state.linkSpanId, "ZZZANCHOR2");
  EXPECT_EQ(state.linkHtmlOnEntry, "Home");
  SpanHtmlOnEntryRead(state, "<a href=\"/\">Home</a>");
  EXPECT_TRUE(Take("<a href=\"/\">Hone</a>"));

  // A span that could not be read gives no undo entry rather than one that empties it.
  Run(Ev("selectionchange", Span("ZZZEDIT1", "x")));
  Run(Ev("selectionchange", Link("ZZZANCHOR2", "Hone")));
  SpanHtmlOnEntryRead(state, std::nullopt);
  EXPECT_FALSE(Take("anything"));
}

TEST_F(EditEventsTest, AnEmptiedLinkIsRefusedOnceAndRefocusedWhileEventsAreIgnored) {
  links.links["ZZZANCHOR1"] = {"Home", "Home"};
  Run(Ev("selectionchange", Link("ZZZANCHOR1", "Home")));
  links.links["ZZZANCHOR1"] = {" ", "<br>"};

  // Leaving by a click whose selection change the same record describes: one message.
  auto d = Run(Ev("selectionchange", Body()));
  EXPECT_EQ(links.deletedMessages, 1);
  EXPECT_EQ(d.linkChecks, 1);
  EXPECT_EQ(state.currentSpanId, "ZZZANCHOR1");  // the caret may not move on
  EXPECT_EQ(state.refocus, Refocus::kPending);

  // Events recorded before the refocus are ignored, even once the focus was given back.
  EXPECT_TRUE(Run(Ev("mouseup", Body())).ignored);
  PendingWork w = TakePendingWork(state);
  ASSERT_TRUE(w.refocusLink);
  EXPECT_EQ(w.refocusLink->id, "ZZZANCHOR1");
  EXPECT_TRUE(Run(Ev("click", Body())).ignored);
  EXPECT_EQ(links.deletedMessages, 1);

  // The link's own focus event ends the refocus and is handled.
  d = Run(Ev("focusin", Link("ZZZANCHOR1", "<br>")));
  EXPECT_FALSE(d.ignored);
  EXPECT_EQ(state.refocus, Refocus::kNone);
  EXPECT_EQ(links.deletedMessages, 1);

  // Typing new text and leaving passes, after the change notice.
  links.links["ZZZANCHOR1"] = {"Start", "Start"};
  links.answer = 1;
  Run(Ev("selectionchange", Span("ZZZEDIT1", "x")));
  EXPECT_EQ(links.notices, 1);
  EXPECT_EQ(state.currentSpanId, "ZZZEDIT1");
}

TEST_F(EditEventsTest, AFailedRefocusDoesNotLeaveThePaneDeaf) {
  links.links["ZZZANCHOR1"] = {"Home", "Home"};
  Run(Ev("selectionchange", Link("ZZZANCHOR1", "Home")));
  links.links["ZZZANCHOR1"] = {"", ""};
  Run(Ev("click", Body()));
  TakePendingWork(state);
  RefocusDone(state, false);
  EXPECT_FALSE(Run(Ev("click", Body())).ignored);
}

TEST_F(EditEventsTest, AChangedLinkAsksOnceAndNoRestoresIt) {
  struct Case {
    int answer;
    bool restored, unselect;
  };
  for (const Case c : {Case{1, false, true}, Case{2, true, true}, Case{0, false, false}}) {
    EditEventState s;
    FakeLinks fake;
    fake.answer = c.answer;
    fake.links["ZZZANCHOR1"] = {"Home", "Home"};
    qEvent(Ev("selectionchange", Link("ZZZANCHOR1", "Home")), s, fake);
    fake.links["ZZZANCHOR1"] = {"Start", "Start"};
    qEvent(Ev("click", Body()), s, fake);
    qEvent(Ev("selectionchange", Body()), s, fake);
    qEvent(Ev("selectionchange", Span("ZZZEDIT1", "x")), s, fake);
    EXPECT_EQ(fake.notices, c.answer == 0 ? 2 : 1) << c.answer;
    EXPECT_EQ(!fake.writes.empty(), c.restored) << c.answer;
    if (c.restored) {
      EXPECT_EQ(fake.writes[0], std::make_pair(std::string("ZZZANCHOR1"), std::string("Home")));
    }
    PendingWork w = TakePendingWork(s);
    EXPECT_EQ(w.unselect.has_value(), c.unselect) << c.answer;
    // The unselect also lets go of the span entered meanwhile.
    EXPECT_EQ(w.unframe.has_value(), c.unselect) << c.answer;
  }
}

TEST_F(EditEventsTest, InitialControlAndActivateBox) {
  EXPECT_TRUE(ShouldActivateInitialControl(state, false));
  EXPECT_FALSE(ShouldActivateInitialControl(state, true));
  EXPECT_FALSE(ActivateBoxDocument(state, true));
  EnterSpan(state, {{{2}, 0}, "ZZZEDIT5"}, "hello");
  EXPECT_FALSE(ShouldActivateInitialControl(state, false));
  EXPECT_EQ(state.spanHtmlOnEntry, "hello");
  EXPECT_EQ(ActivateBoxDocument(state, true), (DocumentIdentity{{2}, 0}));
  EXPECT_FALSE(ActivateBoxDocument(state, false));
  // The selection change the focus causes is no move.
  auto d = Run(Ev("selectionchange", Span("ZZZEDIT5", "hello"), {2}));
  EXPECT_FALSE(d.frame || d.unframe);
  ResetEditEvents(state);
  EXPECT_EQ(state.currentSpanId, "");
}

}  // namespace
}  // namespace pq
