#include "editor/undo_history.h"

#include "editor/formatting.h"

namespace pq {

void UndoHistory::Push(std::deque<UndoEntry>& history, UndoEntry entry) {
  if (history.size() == static_cast<std::size_t>(kDepth)) history.pop_front();
  history.push_back(std::move(entry));
}

void UndoHistory::Raise(const std::function<void(bool)>& event, bool available) const {
  if (event) event(available);
}

void UndoHistory::AddUndo(const SpanRef& span, std::string htmlOnEntry) {
  Push(undo_, {span, std::move(htmlOnEntry)});
  if (undo_.size() == 1) Raise(UndoChange, true);
}

void UndoHistory::AddRedo(int slot, std::string presentHtml) {
  if (slot < 1 || slot > UndoCount()) return;
  Push(redo_, {undo_[static_cast<std::size_t>(slot - 1)].span, std::move(presentHtml)});
  if (redo_.size() == 1) Raise(RedoChange, true);
}

std::optional<UndoEntry> UndoHistory::UndoMe(SpanStore& store) {
  std::optional<UndoEntry> written;
  if (!undo_.empty()) {
    const UndoEntry& entry = undo_.back();
    // A span that cannot be read has gone with its document: the entry is dropped unapplied.
    if (const std::optional<SpanContents> present = store.ReadSpan(entry.span)) {
      const bool emptiedLink = KindOfSpan(entry.span.id) == SpanIdKind::kAnchor &&
                               TrimBlanks(present->text).empty();
      if (store.WriteSpan(entry.span, entry.html)) {
        if (!emptiedLink) AddRedo(UndoCount(), present->html);
        written = entry;
      }
    }
    undo_.pop_back();
  }
  if (undo_.empty()) Raise(UndoChange, false);
  return written;
}

std::optional<UndoEntry> UndoHistory::RedoMe(SpanStore& store) {
  std::optional<UndoEntry> written;
  if (!redo_.empty()) {
    UndoEntry entry = redo_.back();
    redo_.pop_back();
    const std::optional<SpanContents> present = store.ReadSpan(entry.span);
    if (present && store.WriteSpan(entry.span, entry.html)) {
      Push(undo_, {entry.span, present->html});
      if (undo_.size() == 1) Raise(UndoChange, true);
      written = std::move(entry);
    }
  }
  if (redo_.empty()) Raise(RedoChange, false);
  return written;
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  Raise(UndoChange, false);
  Raise(RedoChange, false);
}

}  // namespace pq
