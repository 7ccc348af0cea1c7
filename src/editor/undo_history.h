#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "editor/span_ref.h"

namespace pq {

// One entry of the undo or redo history: the HTML to put back into a span.
struct UndoEntry {
  SpanRef span;
  std::string html;
};

// A span as the page holds it now.
struct SpanContents {
  std::string html;
  std::string text;
};

// The live spans the histories read and write: one round trip each.
class SpanStore {
 public:
  virtual ~SpanStore() = default;
  virtual std::optional<SpanContents> ReadSpan(const SpanRef& span) = 0;
  virtual bool WriteSpan(const SpanRef& span, const std::string& html) = 0;
};

// The edit pane's own undo and redo, span by span, ten entries each: an eleventh drops the
// oldest. Entry k of the text's slots is entries()[k - 1].
class UndoHistory {
 public:
  static constexpr int kDepth = 10;

  // Raised when a history becomes empty or non-empty (UndoMe on an empty history raises
  // UndoChange(false) again).
  std::function<void(bool available)> UndoChange;
  std::function<void(bool available)> RedoChange;

  // An undo entry: the span as it was when the caret entered it.
  void AddUndo(const SpanRef& span, std::string htmlOnEntry);
  // Copies undo slot `slot` (1 to UndoCount) onto the redo history with the span's present HTML.
  void AddRedo(int slot, std::string presentHtml);
  // Puts the newest undo entry back. The state it replaces can be redone, except an anchor
  // span whose text is gone. Answers what was written, nullopt when nothing was.
  std::optional<UndoEntry> UndoMe(SpanStore& store);
  // Puts the newest redo entry back; the state it replaces becomes an undo entry.
  std::optional<UndoEntry> RedoMe(SpanStore& store);
  // A new edit copy: both histories empty, both events raised with false.
  void Clear();

  int UndoCount() const { return static_cast<int>(undo_.size()); }
  int RedoCount() const { return static_cast<int>(redo_.size()); }
  const std::deque<UndoEntry>& UndoEntries() const { return undo_; }
  const std::deque<UndoEntry>& RedoEntries() const { return redo_; }

 private:
  static void Push(std::deque<UndoEntry>& history, UndoEntry entry);
  void Raise(const std::function<void(bool)>& event, bool available) const;

  std::deque<UndoEntry> undo_;
  std::deque<UndoEntry> redo_;
};

}  // namespace pq
