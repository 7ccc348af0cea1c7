#include "editor/edit_control.h"

#include "editor/activation.h"
#include "pageprep/copy_address.h"
#include "pageprep/edit_copy.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"

namespace pq {

EditControl::EditControl(EditPaneBrowser& browser, EditStatusBar& status, WindowState& window,
                         FrameTable& frames, SiteStatus& site, Problems& problems, Fetcher fetch)
    : browser_(browser),
      status_(status),
      window_(window),
      frames_(frames),
      site_(site),
      problems_(problems),
      fetch_(std::move(fetch)) {}

void EditControl::Navigate() {
  LinkSpanId.clear();
  initialControlFixed_ = false;
  initialControl_ = {};
  navigationBlocked_ = false;
  UndoCount = 0;
  RedoCount = 0;
  ++navigation_;
  if (editing_) {
    // Empties the histories (their entries belong to the documents being replaced) and raises
    // UndoChange and RedoChange.
    editing_->Navigate();
  } else {
    bool enable = false;
    if (UndoChange) UndoChange(enable);
    enable = false;
    if (RedoChange) RedoChange(enable);
  }
  browser_.Navigate(CopyAddressOf(TempFolder() + kEditCopyName));
}

void EditControl::StopBrowser() {
  browser_.Stop();
  loadStopped_ = true;
}

void EditControl::SetInitialControl(const FramePath& frame, const std::string& id, bool fixed) {
  if (initialControlFixed_) return;
  initialControl_ = {frame, id};
  initialControlFixed_ = fixed;
}

void EditControl::FocusInitialControl() {
  if (initialControl_.id.empty()) return;
  browser_.SetElementById(initialControl_.frame, initialControl_.id, "focus", "");
}

void EditControl::qEvent(const DocumentEvent& event) {
  LastEvent = event;
  if (!editing_) return;
  editing_->qEvent(event);
  SyncEditingState();
}

void EditControl::AttachEditing(EditSession& editing) {
  editing_ = &editing;
  editing.UndoChange = [this](bool available) {
    UndoCount = editing_->History().UndoCount();
    if (UndoChange) UndoChange(available);
  };
  editing.RedoChange = [this](bool available) {
    RedoCount = editing_->History().RedoCount();
    if (RedoChange) RedoChange(available);
  };
  editing.SelectionChange = [this](bool hasSelection) {
    if (SelectionChange) SelectionChange(hasSelection);
  };
  editing.CheckIcons = [this](bool editable) {
    if (CheckIcons) CheckIcons(editable);
  };
  // A span left empty is where the caret goes back to.
  editing.SpanEmptied = [this](const SpanRef& span) {
    initialControl_ = {span.document.frame, span.id};
    initialControlFixed_ = true;
  };
}

void EditControl::TimerFired(EditTimer timer) {
  if (!editing_) return;
  editing_->TimerFired(timer);
  SyncEditingState();
}

void EditControl::SyncEditingState() {
  const EditEventState& s = editing_->State();
  CurrentFrame = s.currentDocument ? s.currentDocument->frame : FramePath{};
  CurrentSpanId = s.currentSpanId;
  LinkSpanId = s.linkSpanId;
  UndoCount = editing_->History().UndoCount();
  RedoCount = editing_->History().RedoCount();
}

// Without the editing attached (tests of the loading alone) the commands do nothing.
void EditControl::RunEditing(void (EditSession::*command)()) {
  if (!editing_) return;
  (editing_->*command)();
  SyncEditingState();
}

void EditControl::Bold() { RunEditing(&EditSession::Bold); }
void EditControl::Italic() { RunEditing(&EditSession::Italic); }
void EditControl::Underline() { RunEditing(&EditSession::Underline); }
void EditControl::Edit_Cut() { RunEditing(&EditSession::Edit_Cut); }
void EditControl::Edit_Copy() { RunEditing(&EditSession::Edit_Copy); }
void EditControl::Edit_Paste() { RunEditing(&EditSession::Edit_Paste); }
void EditControl::UndoMe() { RunEditing(&EditSession::UndoMe); }
void EditControl::RedoMe() { RunEditing(&EditSession::RedoMe); }
void EditControl::StripBRs() { RunEditing(&EditSession::StripBRs); }

void EditControl::CheckLink(bool& ok) {
  ok = true;
  if (!editing_) return;
  ok = editing_->CheckLink();
  SyncEditingState();
}

void EditControl::ActivateInitialControl() {
  if (!editing_ || initialControl_.id.empty()) return;
  editing_->ActivateInitialControl(SpanRef{{initialControl_.frame, 0}, initialControl_.id});
  SyncEditingState();
}

void EditControl::ActivateBox() {
  if (!editing_) return;
  editing_->ActivateBox();
}

void EditControl::OnBeforeNavigate(const std::string& url, bool& cancel) {
  if (navigationBlocked_ || url.find("http:///") != std::string::npos) {
    cancel = true;
    return;
  }
  loadStopped_ = false;
}

void EditControl::OnNavigateComplete(const FramePath& frame, const std::string& url) {
  // A frame's address is known before its document exists; a frame counts as navigated once
  // its document has loaded (OnDocumentComplete), so that it is never activated half-parsed.
  if (frame.empty()) navigated_.RecordNavigated(url);
}

EditDocument* EditControl::DocumentAt(const FramePath& frame) {
  for (auto& d : documents_)
    if (d.frame == frame) return &d;
  return nullptr;
}

void EditControl::OnDocumentComplete(const FramePath& frame, const std::string& url) {
  if (!frame.empty()) navigated_.RecordNavigated(url);
  if (loadStopped_) return;
  DeleteFileQuietly(TempFolder() + kEditCopyName);
  if (!frame.empty()) return;  // frames finishing are waited for by the frame walk

  const unsigned navigation = navigation_;
  CurrentSpanId.clear();
  EditDocumentFacts facts;
  facts.outerHTML = browser_.MarkersAndMeta({});
  facts.frameCount = browser_.FrameCount({});
  if (!Stale(navigation)) CheckSite(site_, facts, frames_, fetch_);
  if (Stale(navigation)) {
    if (loadStopped_) window_.EditTabPreparing = false;
    return;
  }
  origUrl_ = GetMarker(facts.outerHTML, "OrigURL");
  problems_.SetUp(site_, origUrl_);
  SetEditStatusBar(problems_.OKtoPublish ? site_.Status : PageStatus::NotEditable);

  documents_.clear();
  documents_.push_back({{}, 0, false, {}});
  bool deletedFound = false;
  if (facts.frameCount > 0) {
    if (!problems_.OKtoPublish || site_.TopPageEditable)
      ActivateDocument({}, deletedFound);
    else
      MakeInert({});
    frameCursor_ = 1;
    ActivateFrames({}, navigation);
  } else {
    ActivateDocument({}, deletedFound);
  }
  if (Stale(navigation)) {
    if (loadStopped_) window_.EditTabPreparing = false;
    return;
  }
  RecordSpans();

  navigationBlocked_ = true;
  window_.EditTabPreparing = false;
  if (ButtonsEnable) ButtonsEnable();
  if (NavigateComplete) NavigateComplete();
}

void EditControl::ActivateDocument(const FramePath& frame, bool& deletedFound) {
  const auto elements = browser_.ActivationElements(frame);
  const ActivationPlan plan = PlanActivation(elements, site_.LinkTextEditable, deletedFound);
  browser_.AddStyleSheet(frame, plan.styleSheet);
  browser_.ApplyChanges(frame, plan.changes);
  for (const auto& offer : plan.offers) SetInitialControl(frame, offer.id, offer.fixed);
  browser_.HookDocumentEvents(frame);
  if (EditDocument* d = DocumentAt(frame)) d->activated = true;
}

void EditControl::MakeInert(const FramePath& frame) {
  const ActivationPlan plan = PlanInert(browser_.Elements(frame, {"tag", "id", "parent"}));
  browser_.AddStyleSheet(frame, plan.styleSheet);
  browser_.ApplyChanges(frame, plan.changes);
  // Hooked as well, so that its drags, context menus and Ctrl keys are cancelled too.
  browser_.HookDocumentEvents(frame);
}

bool EditControl::ActivateFrames(const FramePath& frame, unsigned navigation) {
  bool deletedFound = false;  // shared by the frames of this one level
  for (int i = 0; i < browser_.FrameCount(frame); ++i) {
    if (Stale(navigation)) return false;
    if (frameCursor_ >= FrameTable::kSize) return false;  // frames past the table were not prepared
    const int entry = frameCursor_++;
    // Copied: the browse pane may refill the table while this walk waits.
    const std::string file = frames_[entry].File;
    const bool hasFrames = frames_[entry].HasFrames;
    if (file == kFrameError) continue;
    FramePath child = frame;
    child.push_back(i);
    navigated_.ClearNavigated(file);
    browser_.NavigateFrame(child, CopyAddressOf(file));
    const bool loaded = navigated_.WaitForNavigated(
        file, [this](const std::function<bool()>& done, std::chrono::milliseconds limit) {
          return browser_.WaitUntil(done, limit);
        },
        kFrameLoadLimit);
    DeleteFileQuietly(file);
    if (Stale(navigation)) return false;
    if (!loaded) {
      // Skipped like an unreadable frame. The entries of a frameset that never loaded cannot be
      // matched to frames any more, so the walk ends rather than activate the wrong ones.
      if (hasFrames) return false;
      continue;
    }
    documents_.push_back({child, entry, false, {}});
    if (browser_.FrameCount(child) > 0) {
      if (!ActivateFrames(child, navigation)) return false;
    } else if (!problems_.OKtoPublish || frames_[entry].Editable) {
      ActivateDocument(child, deletedFound);
    } else {
      MakeInert(child);
    }
  }
  return true;
}

void EditControl::RecordSpans() {
  for (auto& d : documents_) {
    if (auto spans = browser_.Spans(d.frame)) d.spans = std::move(*spans);
  }
}

}  // namespace pq
