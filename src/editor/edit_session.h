#pragma once
#include <functional>
#include <optional>

#include "core/document_event.h"
#include "editor/edit_events.h"
#include "editor/editing_page.h"
#include "editor/undo_history.h"

namespace pq {

// The editing half of the edit pane: carries out qEvent's decisions, the timers' work, the
// formatting and clipboard commands and undo and redo, through the EditingPage.
class EditSession {
 public:
  explicit EditSession(EditingPage& page);

  // Events.
  std::function<void(bool hasSelection)> SelectionChange;  // Cut and Copy follow it
  std::function<void(bool available)> UndoChange;
  std::function<void(bool available)> RedoChange;
  // The main window's CheckIcons: whether the focused element of the event's document is
  // editable (the formatting buttons and Paste follow it).
  std::function<void(bool editable)> CheckIcons;
  // A span left with nothing visible in it: it becomes the initial control.
  std::function<void(const SpanRef& span)> SpanEmptied;

  void qEvent(const DocumentEvent& event);
  void TimerFired(EditTimer timer);

  // Commands of the toolbar, the menu and the keyboard.
  void Bold();
  void Italic();
  void Underline();
  void Edit_Cut();
  void Edit_Copy();
  void Edit_Paste();
  void UndoMe();
  void RedoMe();
  // Tidies the current edit span (before preview and publishing).
  void StripBRs();
  // False when the watched link's text was emptied: preview and publishing stop.
  bool CheckLink();
  // Puts the caret into the initial control unless something editable has it already.
  void ActivateInitialControl(const std::optional<SpanRef>& initialControl);
  void ActivateBox(bool paneVisible = true);
  // A new edit copy was loaded: no current span, no watched link, empty histories.
  void Navigate();

  const EditEventState& State() const { return state_; }
  const UndoHistory& History() const { return history_; }

 private:
  class Links;
  class Spans;
  void Leave(const SpanLeft& left);
  void Tidy(const SpanLeft& left);
  void Format(const char* command);
  void RunShortcut(Shortcut shortcut);
  void SchedulePendingWork();
  void DoPendingWork();
  void TakeSnapshotIfChanged();
  void AfterHistoryChange(const std::optional<UndoEntry>& written);
  DocumentIdentity CommandDocument() const;

  EditingPage& page_;
  EditEventState state_;
  UndoHistory history_;
};

}  // namespace pq
