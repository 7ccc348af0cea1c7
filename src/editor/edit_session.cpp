#include "editor/edit_session.h"

#include "editor/formatting.h"
#include "text/html_clipboard.h"

namespace pq {

class EditSession::Links : public LinkAccess {
 public:
  explicit Links(EditingPage& page) : page_(page) {}
  std::optional<LinkContents> ReadLink(const SpanRef& span) override { return page_.ReadLink(span.document, span.id); }
  void WriteLink(const SpanRef& span, const std::string& html) override { page_.WriteLink(span.document, span.id, html); }
  void ShowLinkDeleted() override { page_.ShowLinkDeleted(); }
  int AskLinkChange() override { return page_.AskLinkChange(); }

 private:
  EditingPage& page_;
};

class EditSession::Spans : public SpanStore {
 public:
  explicit Spans(EditingPage& page) : page_(page) {}
  std::optional<SpanContents> ReadSpan(const SpanRef& span) override { return page_.ReadElement(span.document, span.id); }
  bool WriteSpan(const SpanRef& span, const std::string& html) override {
    return page_.SetElement(span.document, span.id, "innerHTML", html);
  }

 private:
  EditingPage& page_;
};

EditSession::EditSession(EditingPage& page) : page_(page) {
  history_.UndoChange = [this](bool available) {
    if (UndoChange) UndoChange(available);
  };
  history_.RedoChange = [this](bool available) {
    if (RedoChange) RedoChange(available);
  };
}

void EditSession::qEvent(const DocumentEvent& event) {
  Links links(page_);
  const EditDecisions d = pq::qEvent(event, state_, links);
  if (d.ignored) return;
  if (d.checkIcons && CheckIcons) CheckIcons(d.activeEditable);
  if (d.armTimer3) page_.ArmTimer(EditTimer::kTimer3, kTimer3Interval);
  if (d.unframe) Leave(*d.unframe);
  if (d.frame) page_.SetElement(d.frame->document, d.frame->id, "border", kFocusFrame);
  if (d.readSpanHtmlOnEntry) {
    SpanHtmlOnEntryRead(state_, page_.ReadHtml(d.readSpanHtmlOnEntry->document, d.readSpanHtmlOnEntry->id));
  }
  if (d.selectionChange && SelectionChange) SelectionChange(*d.selectionChange);
  if (d.showMenu) page_.ShowMenu(DocumentIdentity{event.frame, event.load}, d.menuX, d.menuY);
  if (d.shortcut != Shortcut::kNone) RunShortcut(d.shortcut);
  if (d.keepCaretAfterTab) page_.CollapseSelection(DocumentIdentity{event.frame, event.load});
  SchedulePendingWork();
}

void EditSession::Leave(const SpanLeft& left) {
  page_.SetElement(left.span.document, left.span.id, "border", "");
  Tidy(left);
}

void EditSession::Tidy(const SpanLeft& left) {
  const std::optional<SpanContents> live = page_.ReadElement(left.span.document, left.span.id);
  if (!live) return;
  const SpanTidy tidy = TidySpan(live->html, live->text, left.htmlOnEntry);
  if (tidy.html) page_.SetElement(left.span.document, left.span.id, "innerHTML", *tidy.html);
  if (tidy.empty && SpanEmptied) SpanEmptied(left.span);
}

void EditSession::SchedulePendingWork() {
  if (state_.refocus == Refocus::kPending || state_.unselectPending) {
    page_.ArmTimer(EditTimer::kTimer2, kTimer2Interval);
  }
}

void EditSession::TimerFired(EditTimer timer) {
  switch (timer) {
    case EditTimer::kTimer2: DoPendingWork(); break;
    case EditTimer::kTimer3: TakeSnapshotIfChanged(); break;
    case EditTimer::kRefocusLimit: RefocusDone(state_, false); break;
  }
}

void EditSession::DoPendingWork() {
  const PendingWork work = TakePendingWork(state_);
  if (work.refocusLink) {
    const bool focused = page_.FocusLink(work.refocusLink->document, work.refocusLink->id);
    RefocusDone(state_, focused);
    if (focused) page_.ArmTimer(EditTimer::kRefocusLimit, kRefocusLimit);
  }
  if (work.unselect) page_.ExecCommand(*work.unselect, "unselect");
  if (work.unframe) Leave(*work.unframe);
}

void EditSession::TakeSnapshotIfChanged() {
  // Once a visit has its entry, nothing is read until the caret enters a span again.
  const std::optional<SnapshotRead> read = SnapshotCandidate(state_);
  if (!read) return;
  const std::optional<std::string> live = page_.ReadHtml(read->span.document, read->span.id);
  if (live && TakeSnapshot(state_, *read, *live)) history_.AddUndo(read->span, state_.spanHtmlOnEntry);
}

DocumentIdentity EditSession::CommandDocument() const {
  // The selection lives in the document of the last event, which may be a frame.
  return state_.eventDocument.value_or(DocumentIdentity{});
}

void EditSession::Format(const char* command) {
  page_.ExecCommand(CommandDocument(), command);
  page_.ArmTimer(EditTimer::kTimer3, kTimer3Interval);
}

void EditSession::Bold() { Format("bold"); }
void EditSession::Italic() { Format("italic"); }
void EditSession::Underline() { Format("underline"); }

void EditSession::Edit_Cut() {
  page_.RunEngineCommand(EngineCommand::kCut);
  page_.ArmTimer(EditTimer::kTimer3, kTimer3Interval);
}

void EditSession::Edit_Copy() { page_.RunEngineCommand(EngineCommand::kCopy); }

void EditSession::Edit_Paste() {
  const std::optional<std::string> text = page_.ClipboardText();
  if (!text || text->empty()) return;
  // Whatever the clipboard held, the page gets its text only, as HTML that shows exactly it.
  page_.PutHTMLClipboard(PlainTextToHtml(*text), std::string(kPastePrefix), std::string(kPasteSuffix), *text);
  page_.RunEngineCommand(EngineCommand::kPaste);
  page_.ArmTimer(EditTimer::kTimer3, kTimer3Interval);
}

void EditSession::RunShortcut(Shortcut shortcut) {
  switch (shortcut) {
    case Shortcut::kBold: Bold(); break;
    case Shortcut::kItalic: Italic(); break;
    case Shortcut::kUnderline: Underline(); break;
    case Shortcut::kUndo: UndoMe(); break;
    case Shortcut::kRedo: RedoMe(); break;
    case Shortcut::kCut: Edit_Cut(); break;
    case Shortcut::kCopy: Edit_Copy(); break;
    case Shortcut::kPaste: Edit_Paste(); break;
    case Shortcut::kNone: break;
  }
}

void EditSession::AfterHistoryChange(const std::optional<UndoEntry>& written) {
  // The current span now holds what was written: its next change is undone back to that.
  const bool current = written && state_.currentDocument &&
                       written->span.document == *state_.currentDocument &&
                       written->span.id == state_.currentSpanId;
  SpanRewritten(state_, current ? std::optional<std::string>(written->html) : std::nullopt);
  // The engine stretches a selection over replaced HTML; a following Cut must not take it.
  if (written) page_.CollapseSelection(written->span.document);
  ActivateBox();
}

void EditSession::UndoMe() {
  Spans spans(page_);
  // Any pending snapshot belongs to the state being undone: take it first.
  TakeSnapshotIfChanged();
  const std::optional<UndoEntry> written = history_.UndoMe(spans);
  // The watched link's HTML was replaced; it is no longer watched.
  state_.linkSpanId.clear();
  AfterHistoryChange(written);
}

void EditSession::RedoMe() {
  Spans spans(page_);
  const std::optional<UndoEntry> written = history_.RedoMe(spans);
  AfterHistoryChange(written);
}

void EditSession::StripBRs() {
  if (KindOfSpan(state_.currentSpanId) != SpanIdKind::kEdit || !state_.currentDocument) return;
  Tidy({{*state_.currentDocument, state_.currentSpanId}, state_.spanHtmlOnEntry});
}

bool EditSession::CheckLink() {
  Links links(page_);
  const bool ok = pq::CheckLink(state_, links);
  SchedulePendingWork();
  return ok;
}

void EditSession::ActivateInitialControl(const std::optional<SpanRef>& initial) {
  if (!initial || !ShouldActivateInitialControl(state_, page_.ActiveIsEditable(DocumentIdentity{}))) return;
  const std::optional<SpanContents> live = page_.ReadElement(initial->document, initial->id);
  // The caret goes there only if the user has not put it into editable text since the check
  // above (the round trips in between let the user's click reach the page first).
  if (!live || !page_.SetElement(initial->document, initial->id, "focusUnlessEditing", "")) return;
  page_.SetElement(initial->document, initial->id, "border", kFocusFrame);
  EnterSpan(state_, *initial, live->html);
}

void EditSession::ActivateBox(bool paneVisible) {
  const std::optional<DocumentIdentity> doc = ActivateBoxDocument(state_, paneVisible);
  if (doc && page_.ActiveIsEditable(*doc)) page_.FocusActive(*doc);
}

void EditSession::Navigate() {
  ResetEditEvents(state_);
  history_.Clear();
}

}  // namespace pq
