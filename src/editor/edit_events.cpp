#include "editor/edit_events.h"

#include <algorithm>
#include <cctype>

#include "editor/formatting.h"
#include "editor/word_keys.h"

namespace pq {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool TagIs(const ElementInfo& e, std::string_view tag) {
  if (e.tag.size() != tag.size()) return false;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(e.tag[i])) != tag[i]) return false;
  }
  return true;
}

// The span in question: an editable span itself, or the anchor span around an editable link.
std::string SpanIdOf(const DocumentEvent& event) {
  if (!event.hasActive || !event.active.editable) return {};
  if (TagIs(event.active, "SPAN")) return event.active.id;
  if (TagIs(event.active, "A")) return event.active.parentId;
  return {};
}

SpanLeft Leaving(const EditEventState& state) {
  return {{state.currentDocument.value_or(DocumentIdentity{}), state.currentSpanId},
          state.spanHtmlOnEntry};
}

void SelectionChanged(const DocumentEvent& event, const DocumentIdentity& doc, const std::string& id,
                      EditEventState& s, EditDecisions& d, const auto& checkLinkOnce) {
  const bool moved = (s.currentDocument && *s.currentDocument != doc) || id != s.currentSpanId;
  if (moved) {
    const SpanIdKind current = KindOfSpan(s.currentSpanId);
    if (current == SpanIdKind::kEdit) d.unframe = Leaving(s);
    s.linkCheckPassed = current == SpanIdKind::kAnchor ? checkLinkOnce() : true;
    if (s.linkCheckPassed) {
      const SpanIdKind entered = KindOfSpan(id);
      if (entered == SpanIdKind::kEdit) d.frame = SpanRef{doc, id};
      if (entered == SpanIdKind::kAnchor) {
        s.linkSpanId = id;
        s.linkDocument = doc;
        s.linkHtmlOnEntry = event.active.html;
      }
      s.currentDocument = doc;
      s.currentSpanId = id;
      s.snapshotTaken = false;
      ++s.visit;
      s.spanHtmlOnEntry.clear();
      if (!id.empty()) {
        // The record carries the focused element's HTML; a link's anchor span must be read.
        if (TagIs(event.active, "SPAN") && event.active.id == id) {
          s.spanHtmlOnEntry = event.active.html;
        } else {
          d.readSpanHtmlOnEntry = SpanRef{doc, id};
        }
      }
    }
  }
  // Text selected outside the editable elements can be neither cut nor copied: the runtime
  // clears such a selection at once.
  d.selectionChange = event.hasText && d.activeEditable;
}

Shortcut AllowedShortcut(const DocumentEvent& event, bool editable) {
  const Shortcut s = ShortcutFor(event.keyCode, event.shiftKey);
  switch (s) {
    case Shortcut::kBold:
    case Shortcut::kItalic:
    case Shortcut::kUnderline:
    case Shortcut::kPaste: return editable ? s : Shortcut::kNone;
    case Shortcut::kCut: return editable && event.hasText ? s : Shortcut::kNone;
    case Shortcut::kCopy: return event.hasText ? s : Shortcut::kNone;
    default: return s;
  }
}

}  // namespace

EditDecisions qEvent(const DocumentEvent& event, EditEventState& s, LinkAccess& links) {
  EditDecisions d;
  const DocumentIdentity doc{event.frame, event.load};
  const std::string id = SpanIdOf(event);
  const bool editable = event.hasActive && event.active.editable;

  if (s.refocus == Refocus::kPending) {
    d.ignored = true;
    return d;
  }
  if (s.refocus == Refocus::kFocusing) {
    if (!(doc == s.linkDocument && !id.empty() && id == s.linkSpanId)) {
      d.ignored = true;
      return d;
    }
    s.refocus = Refocus::kNone;
  }

  d.checkIcons = true;
  d.activeEditable = editable;
  d.armTimer3 = true;
  s.eventDocument = doc;

  // One link check per event, however many steps ask for it: the user sees its message once.
  std::optional<bool> linkOk;
  auto checkLinkOnce = [&]() {
    if (!linkOk) {
      linkOk = CheckLink(s, links);
      ++d.linkChecks;
    }
    return *linkOk;
  };

  if (!editable) {
    const SpanIdKind current = KindOfSpan(s.currentSpanId);
    if (current == SpanIdKind::kAnchor) checkLinkOnce();
    if (current == SpanIdKind::kEdit) {
      d.unframe = Leaving(s);
      s.currentSpanId.clear();
    }
  }

  const std::string type = Lower(event.type);
  // The runtime let a word-wise key in editable text through to the engine: an ordinary key.
  const bool keyEvent = type == "keydown" || type == "keypress" || type == "keyup";
  const bool wordKey = keyEvent && editable && IsWordKey(event.keyCode, event.shiftKey);
  if (event.ctrlKey && type != "selectionchange" && !wordKey) {
    d.cancelled = true;
    if (type == "keydown") d.shortcut = AllowedShortcut(event, editable);
    return d;
  }

  if (type == "selectionchange") {
    SelectionChanged(event, doc, id, s, d, checkLinkOnce);
  } else if (type == "dragstart") {
    d.cancelled = true;
  } else if (type == "contextmenu") {
    d.cancelled = true;
    const bool editSpan = TagIs(event.active, "SPAN") && KindOfSpan(event.active.id) == SpanIdKind::kEdit;
    if (editable && (editSpan || TagIs(event.active, "A"))) {
      d.showMenu = true;
      d.menuX = event.x;
      d.menuY = event.y;
    }
  } else if (event.keyCode == 9 && type == "keydown") {
    d.keepCaretAfterTab = true;
  } else if (event.keyCode == 13 && (type == "keydown" || type == "keypress")) {
    d.cancelled = true;
    d.lineBreak = type == "keydown" && editable;
  }
  return d;
}

bool CheckLink(EditEventState& s, LinkAccess& links) {
  if (s.linkSpanId.empty()) return true;
  const SpanRef link{s.linkDocument, s.linkSpanId};
  const std::optional<LinkContents> live = links.ReadLink(link);
  if (!live) {
    // Gone with its document: nothing is left to protect.
    s.linkSpanId.clear();
    return true;
  }
  if (TrimBlanks(live->text).empty()) {
    // Set before the message, so that events arriving while it shows are ignored.
    s.refocus = Refocus::kPending;
    links.ShowLinkDeleted();
    return false;
  }
  if (live->html != s.linkHtmlOnEntry) {
    switch (links.AskLinkChange()) {
      case 1:
        s.linkHtmlOnEntry = live->html;
        s.unselectPending = true;
        break;
      case 2:
        links.WriteLink(link, s.linkHtmlOnEntry);
        s.unselectPending = true;
        break;
      default: break;
    }
  }
  return true;
}

void SpanHtmlOnEntryRead(EditEventState& s, const std::optional<std::string>& html) {
  if (html) {
    s.spanHtmlOnEntry = *html;
  } else {
    s.spanHtmlOnEntry.clear();
    s.snapshotTaken = true;
  }
}

PendingWork TakePendingWork(EditEventState& s) {
  PendingWork w;
  if (s.refocus == Refocus::kPending) {
    w.refocusLink = SpanRef{s.linkDocument, s.linkSpanId};
    s.refocus = Refocus::kFocusing;
  }
  if (s.unselectPending) {
    w.unselect = s.eventDocument;
    if (KindOfSpan(s.currentSpanId) == SpanIdKind::kEdit) {
      w.unframe = Leaving(s);
      s.currentSpanId.clear();
    }
    s.unselectPending = false;
  }
  return w;
}

void RefocusDone(EditEventState& s, bool focused) {
  if (!focused && s.refocus == Refocus::kFocusing) s.refocus = Refocus::kNone;
}

std::optional<SnapshotRead> SnapshotCandidate(const EditEventState& s) {
  if (s.currentSpanId.empty() || s.snapshotTaken || !s.currentDocument) return std::nullopt;
  return SnapshotRead{SpanRef{*s.currentDocument, s.currentSpanId}, s.visit};
}

bool TakeSnapshot(EditEventState& s, const SnapshotRead& read, const std::string& liveHtml) {
  const std::optional<SnapshotRead> now = SnapshotCandidate(s);
  if (!now || now->visit != read.visit || now->span != read.span) return false;
  if (liveHtml == s.spanHtmlOnEntry) return false;
  s.snapshotTaken = true;
  return true;
}

void SpanRewritten(EditEventState& s, const std::optional<std::string>& html) {
  s.snapshotTaken = false;
  ++s.visit;
  if (html) s.spanHtmlOnEntry = *html;
}

bool ShouldActivateInitialControl(const EditEventState& s, bool topActiveEditable) {
  return s.currentSpanId.empty() && !topActiveEditable;
}

void EnterSpan(EditEventState& s, const SpanRef& span, std::string html) {
  s.currentDocument = span.document;
  s.eventDocument = span.document;
  s.currentSpanId = span.id;
  s.spanHtmlOnEntry = std::move(html);
  s.snapshotTaken = false;
  ++s.visit;
}

std::optional<DocumentIdentity> ActivateBoxDocument(const EditEventState& s, bool paneVisible) {
  if (!paneVisible || s.currentSpanId.empty() || !s.currentDocument) return std::nullopt;
  return s.currentDocument;
}

void ResetEditEvents(EditEventState& s) { s = EditEventState{}; }

}  // namespace pq
