#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/document_event.h"
#include "core/frame_path.h"
#include "editor/activation.h"
#include "editor/edit_pane_browser.h"
#include "editor/edit_session.h"
#include "editor/edit_status_bar.h"
#include "editor/navigated_pages.h"
#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"
#include "pageprep/restore_html.h"
#include "publishing/problems.h"
#include "publishing/site_check.h"
#include "core/window_state.h"

namespace pq {

// A document of the edit copy that the edit pane loaded: the top document (entry 0) or the
// frame copy of a frame table entry.
struct EditDocument {
  FramePath frame;
  int entry = 0;
  bool activated = false;  // its spans were made editable (else it is shown inert)
  SpanSnapshot spans;      // the live contents of its spans right after activation
};

// The edit pane: loads the edit copy of the page, checks the site, makes exactly the permitted
// text editable and everything else inert, loads the frames of a document together and activates
// each as it completes, and routes the documents' events to qEvent.
class EditControl {
 public:
  // How long one frame's edit copy may take to load before it is skipped like an unreadable one.
  static constexpr std::chrono::milliseconds kFrameLoadLimit{10000};

  EditControl(EditPaneBrowser& browser, EditStatusBar& status, WindowState& window, FrameTable& frames,
              SiteStatus& site, Problems& problems, Fetcher fetch);

  // Events.
  std::function<void()> ButtonsEnable;
  std::function<void()> NavigateComplete;
  std::function<void(bool& enable)> UndoChange;
  std::function<void(bool& enable)> RedoChange;
  // The selection holds text (Cut and Copy follow it).
  std::function<void(bool& hasSelection)> SelectionChange;
  // The main window's CheckIcons: whether the focused element of the event's document is
  // editable (Bold, Italic, Underline and Paste follow it).
  std::function<void(bool editable)> CheckIcons;

  // Operations.
  void Navigate();  // loads TempFolder() + "webed.htm"
  // Starts loading the edit copy written early, while the browse pane's page still loads. It is
  // neither checked nor activated until Navigate finds the copy it is asked for the same; a
  // different one is loaded as ever.
  void Preload();
  void StopBrowser();
  // Offers a span as the first caret position; once an offer was fixed, later ones are ignored.
  void SetInitialControl(const FramePath& frame, const std::string& id, bool fixed);
  void SetEditStatusBar(PageStatus status) { status_.SetStatus(status); }
  // Puts the caret into the initial control.
  void FocusInitialControl();
  // Every hooked document's events arrive here.
  void qEvent(const DocumentEvent& event);

  // The editing: events, link protection, formatting, clipboard, undo and redo. Until it is
  // attached, events are only recorded (the runtime keeps the page safe meanwhile).
  void AttachEditing(EditSession& editing);
  // The editing's timers (armed through its page) end here.
  void TimerFired(EditTimer timer);
  void Bold();
  void Italic();
  void Underline();
  void Edit_Cut();
  void Edit_Copy();
  void Edit_Paste();
  void UndoMe();
  void RedoMe();
  void Undo() {}
  void StripBRs();
  // ok is false when a link's text was emptied (preview and publishing stop).
  void CheckLink(bool& ok);
  // Puts the caret into the initial control (switching to the Edit tab).
  void ActivateInitialControl();
  // Gives the focus back to the element being edited (after the toolbar's commands).
  void ActivateBox();

  // The browser's events, forwarded by the widget.
  void OnBeforeNavigate(const std::string& url, bool& cancel);
  void OnNewWindow(bool& cancel) { cancel = true; }
  void OnNavigateComplete(const FramePath& frame, const std::string& url);
  void OnDocumentComplete(const FramePath& frame, const std::string& url);

  // State.
  bool NavigationBlocked() const { return navigationBlocked_; }
  bool LoadStopped() const { return loadStopped_; }
  struct ElementRef {
    FramePath frame;
    std::string id;
  };
  const ElementRef& InitialControl() const { return initialControl_; }
  bool InitialControlFixed() const { return initialControlFixed_; }
  // Kept for the event handling: the document and span that hold the caret, the watched link.
  FramePath CurrentFrame;
  std::string CurrentSpanId;
  std::string LinkSpanId;
  int UndoCount = 0;
  int RedoCount = 0;
  DocumentEvent LastEvent;  // the last event routed to qEvent

  // The page's address (its OrigURL marker) and the documents loaded for it, top first.
  const std::string& OrigURL() const { return origUrl_; }
  const std::vector<EditDocument>& Documents() const { return documents_; }
  NavigatedPages& Navigated() { return navigated_; }

 private:
  bool Stale(unsigned navigation) const { return navigation != navigation_ || loadStopped_; }
  // Activates (or shows inert) the document from its one read; the offers of the first caret
  // position are returned for the caller to place.
  std::vector<InitialControlOffer> ActivateDocument(const FramePath& frame, const ActivationRead& read,
                                                    bool& deletedFound);
  void MakeInert(const FramePath& frame, const ActivationRead& read);
  // A document's plan, waiting for the batch it is carried out in.
  struct PlannedDocument {
    FramePath frame;
    const ActivationRead* read = nullptr;
    ActivationPlan plan;
    bool activated = false;  // false: shown inert
  };
  // Carries out the plans in one round trip and records each document's spans afterwards, made
  // from its read and what the page answered for the spans its batch changed (read back whole
  // if it could not).
  void ApplyAll(std::vector<PlannedDocument>& planned);
  // Returns false when the walk must end (abandoned, or a frameset frame that never loaded).
  bool ActivateFrames(const FramePath& frame, int frameCount, unsigned navigation);
  // The offers of the frames, placed in frame table order once the walk ends, so that the
  // first caret position does not depend on which frame completed first.
  void PlaceFrameOffers();
  void SyncEditingState();
  void RunEditing(void (EditSession::*command)());
  EditDocument* DocumentAt(const FramePath& frame);

  EditPaneBrowser& browser_;
  EditStatusBar& status_;
  WindowState& window_;
  FrameTable& frames_;
  SiteStatus& site_;
  Problems& problems_;
  Fetcher fetch_;
  NavigatedPages navigated_;
  EditSession* editing_ = nullptr;
  bool navigationBlocked_ = true;
  bool loadStopped_ = false;
  ElementRef initialControl_;
  bool initialControlFixed_ = false;
  std::string origUrl_;
  std::vector<EditDocument> documents_;
  int frameCursor_ = 1;    // the frame table entry of the next frame to load
  struct FrameOffers {
    int entry = 0;
    FramePath level;  // the frameset document: a deleted-text span counts for its frames
    std::vector<InitialControlOffer> offers;
    bool deletedText = false;
  };
  std::vector<FrameOffers> frameOffers_;
  // The edit copy loading (or loaded) ahead of Navigate: its bytes, whether its document has
  // completed, whether Navigate has taken it over, and its top document's read for activation
  // (taken while the browse pane still loads).
  struct Preloaded {
    std::string copy;
    bool complete = false;
    bool takenOver = false;
    bool reading = false;
    std::optional<ActivationRead> read;
  };
  std::optional<Preloaded> preloaded_;
  void StartNavigation();
  void ReleaseHeldFrames();
  // The documents of a loaded edit copy: the site check, the activation, the frames.
  void ActivateLoaded();
  // The addresses of the frames whose copies are loaded in their place: while the edit copy
  // loads, frames are kept from loading them from the site first.
  std::set<std::string> heldBack_;
  // An edit copy loaded early holds back every frame (its copies are not known yet) but those
  // sent back to their own addresses (released_), the frames without copies.
  bool holdAllFrames_ = false;
  std::set<std::string> released_;
  unsigned navigation_ = 0;  // counts loads, so an activation knows when it went stale
};

}  // namespace pq
