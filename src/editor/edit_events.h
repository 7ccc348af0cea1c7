#pragma once
#include <optional>
#include <string>

#include "core/document_event.h"
#include "editor/shortcuts.h"
#include "editor/span_ref.h"

namespace pq {

inline constexpr const char* kLinkDeletedTitle = "Link Deleted";
inline constexpr const char* kLinkDeletedText = "You cannot completely delete a link";
// The style border of the span that holds the caret.
inline constexpr const char* kFocusFrame = "1px dotted";

// The refocus of a link whose text was emptied. While it is under way every event is
// ignored: kPending until the link is given the focus again, kFocusing until an event shows it
// focused (events recorded before the focus came back would otherwise check the link again).
enum class Refocus { kNone, kPending, kFocusing };

// What the edit pane keeps between document events.
struct EditEventState {
  std::optional<DocumentIdentity> currentDocument;
  std::string currentSpanId;  // edit or anchor span holding the caret; empty when none
  std::optional<DocumentIdentity> eventDocument;
  std::string spanHtmlOnEntry;  // the current span's inner HTML when the caret entered it
  bool snapshotTaken = false;   // an undo entry was taken during this visit
  // Counts the caret's visits to spans. Reading a span runs the main loop, and the events it
  // lets in can move the caret: a read begun in one visit must not be taken for the next.
  int visit = 0;
  // The watched link: the editable link inside this anchor span.
  std::string linkSpanId;
  DocumentIdentity linkDocument;
  std::string linkHtmlOnEntry;
  bool linkCheckPassed = true;
  Refocus refocus = Refocus::kNone;
  bool unselectPending = false;
};

// A span the caret left: its frame is cleared and it is tidied (StripBRs).
struct SpanLeft {
  SpanRef span;
  std::string htmlOnEntry;
};

// What EditControl carries out for one event, in this order: unframe and tidy the span left,
// frame the span entered, read the entered span's HTML, SelectionChange, the menu, the
// shortcut, Tab's caret fix-up. Cancelling and Enter's line break were done by the in-page
// runtime at the moment of the event; they are recorded here as the decisions they are.
struct EditDecisions {
  bool ignored = false;  // a refocus is under way: nothing at all is done
  bool checkIcons = false;
  bool activeEditable = false;  // what CheckIcons needs of the event's document
  bool armTimer3 = false;
  bool cancelled = false;
  bool lineBreak = false;
  bool keepCaretAfterTab = false;
  Shortcut shortcut = Shortcut::kNone;
  std::optional<SpanLeft> unframe;
  std::optional<SpanRef> frame;
  // The entered span's HTML was not in the event record (an anchor span): read it and hand it
  // to SpanHtmlOnEntryRead.
  std::optional<SpanRef> readSpanHtmlOnEntry;
  std::optional<bool> selectionChange;  // raise SelectionChange, enable Cut and Copy or not
  bool showMenu = false;
  int menuX = 0, menuY = 0;
  int linkChecks = 0;
};

// The watched link as the page holds it now.
struct LinkContents {
  std::string text;
  std::string html;
};

// What the link check needs from the page and the user.
class LinkAccess {
 public:
  virtual ~LinkAccess() = default;
  // The editable link inside the anchor span; nullopt when it is gone.
  virtual std::optional<LinkContents> ReadLink(const SpanRef& anchorSpan) = 0;
  virtual void WriteLink(const SpanRef& anchorSpan, const std::string& html) = 0;
  // The modal message kLinkDeletedText titled kLinkDeletedTitle.
  virtual void ShowLinkDeleted() = 0;
  // The link-change notice: 0 switched off, 1 keep the new text, 2 restore the old one.
  virtual int AskLinkChange() = 0;
};

// The decisions for one document event, updating the state.
EditDecisions qEvent(const DocumentEvent& event, EditEventState& state, LinkAccess& links);

// False when the watched link's text was emptied (the message was shown and the link will be
// refocused); true otherwise, after the link-change notice when its text changed.
bool CheckLink(EditEventState& state, LinkAccess& links);

// The entered span's HTML read on request of readSpanHtmlOnEntry; nullopt when it could not
// be read (then no undo entry is taken in this visit rather than a wrong one).
void SpanHtmlOnEntryRead(EditEventState& state, const std::optional<std::string>& html);

// Work deferred out of the event: refocus the link, clear the selection of a document and
// unframe (and tidy) the current span.
struct PendingWork {
  std::optional<SpanRef> refocusLink;
  std::optional<DocumentIdentity> unselect;
  std::optional<SpanLeft> unframe;
};
PendingWork TakePendingWork(EditEventState& state);
// After refocusLink was carried out: focused tells whether the link took the focus.
void RefocusDone(EditEventState& state, bool focused);

// Timer3: the span whose live HTML decides whether an undo entry is due, in the visit it was
// asked in; nullopt when none can be (no span, or one taken already in this visit), so the
// page need not be read.
struct SnapshotRead {
  SpanRef span;
  int visit = 0;
};
std::optional<SnapshotRead> SnapshotCandidate(const EditEventState& state);
// With that span's live HTML: true when AddUndo must take read.span as it was on entry. False
// when the caret moved on while the span was read.
bool TakeSnapshot(EditEventState& state, const SnapshotRead& read, const std::string& liveHtml);
// The current span now holds other HTML than on entry (an undo or redo wrote it): a new visit.
void SpanRewritten(EditEventState& state, const std::optional<std::string>& html);

// ActivateInitialControl acts only with no current span and nothing editable focused.
bool ShouldActivateInitialControl(const EditEventState& state, bool topActiveEditable);
// The caret was put into a span by the program (the initial control).
void EnterSpan(EditEventState& state, const SpanRef& span, std::string html);
// ActivateBox: the document whose active element gets the focus back if it is editable.
std::optional<DocumentIdentity> ActivateBoxDocument(const EditEventState& state, bool paneVisible);

// A new edit copy was loaded: no current span, no watched link, nothing pending.
void ResetEditEvents(EditEventState& state);

}  // namespace pq
