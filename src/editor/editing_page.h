#pragma once
#include <chrono>
#include <optional>
#include <string>

#include "editor/edit_events.h"
#include "editor/span_ref.h"
#include "editor/undo_history.h"

namespace pq {

// The edit pane's timers that the editing logic arms (one-shot; arming again restarts one).
enum class EditTimer {
  kTimer2,       // deferred work: refocus a link, clear a selection
  kTimer3,       // the undo snapshot after the page applied the keystroke
  kRefocusLimit  // how long a refocused link may take to report its focus
};
inline constexpr std::chrono::milliseconds kTimer2Interval{10};
inline constexpr std::chrono::milliseconds kTimer3Interval{10};
inline constexpr std::chrono::milliseconds kRefocusLimit{500};

// The engine's own editing commands (they act on the focused document's selection).
enum class EngineCommand { kCut, kCopy, kPaste };

// What the editing logic asks of the edit pane: its documents (one round trip per call), the
// clipboard, the user and the timers. Failures give empty results; nothing throws.
class EditingPage {
 public:
  virtual ~EditingPage() = default;
  // The element's live inner HTML and text.
  virtual std::optional<SpanContents> ReadElement(const DocumentIdentity& doc, const std::string& id) = 0;
  // Its inner HTML alone (cheap: asking for the text makes the engine lay the page out).
  virtual std::optional<std::string> ReadHtml(const DocumentIdentity& doc, const std::string& id) = 0;
  // innerHTML, border or focus of the element with that id.
  virtual bool SetElement(const DocumentIdentity& doc, const std::string& id, const std::string& property,
                          const std::string& value) = 0;
  // The editable link inside an anchor span.
  virtual std::optional<LinkContents> ReadLink(const DocumentIdentity& doc, const std::string& anchorSpanId) = 0;
  virtual bool WriteLink(const DocumentIdentity& doc, const std::string& anchorSpanId, const std::string& html) = 0;
  virtual bool FocusLink(const DocumentIdentity& doc, const std::string& anchorSpanId) = 0;
  // Whether the document's active element is editable; ActivateBox gives it the focus back.
  virtual bool ActiveIsEditable(const DocumentIdentity& doc) = 0;
  virtual bool FocusActive(const DocumentIdentity& doc) = 0;
  // A document command: bold, italic, underline, unselect.
  virtual bool ExecCommand(const DocumentIdentity& doc, const std::string& command) = 0;
  virtual void RunEngineCommand(EngineCommand command) = 0;
  // After Tab moved the focus: the caret stands where the focus put it, nothing selected.
  virtual void CollapseSelection(const DocumentIdentity& doc) = 0;

  virtual std::optional<std::string> ClipboardText() = 0;
  // The "HTML Format" block, text/html and the plain text, replacing what the clipboard held.
  virtual void PutHTMLClipboard(const std::string& fragment, const std::string& prefix,
                                const std::string& suffix, const std::string& plainText) = 0;

  virtual void ShowLinkDeleted() = 0;
  // The link-change notice over the settings: 0 switched off, 1 keep, 2 restore.
  virtual int AskLinkChange() = 0;
  // The Cut/Copy/Paste menu at the mouse position in the document's window.
  virtual void ShowMenu(const DocumentIdentity& doc, int x, int y) = 0;

  virtual void ArmTimer(EditTimer timer, std::chrono::milliseconds after) = 0;
};

}  // namespace pq
