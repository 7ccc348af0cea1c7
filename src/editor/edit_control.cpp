#include "editor/edit_control.h"

#include <algorithm>

#include "editor/activation.h"
#include "editor/word_keys.h"
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

// What every load of an edit copy starts with: the last page's state goes.
void EditControl::StartNavigation() {
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
}

void EditControl::Preload() {
  auto copy = ReadFileBytes(TempFolder() + kEditCopyName);
  if (!copy) return;
  StartNavigation();
  ReleaseHeldFrames();
  holdAllFrames_ = true;  // the frames of this page are not prepared yet
  preloaded_.emplace();
  preloaded_->copy = std::move(*copy);
  browser_.Navigate(CopyAddressOf(TempFolder() + kEditCopyName));
}

void EditControl::Navigate() {
  if (preloaded_ && !preloaded_->takenOver) {
    const auto copy = ReadFileBytes(TempFolder() + kEditCopyName);
    if (copy && *copy == preloaded_->copy) {
      // The page loading already is the one asked for: it is checked and activated once loaded
      // (and once read, when its read is under way).
      preloaded_->takenOver = true;
      if (preloaded_->complete && !preloaded_->reading) {
        DeleteFileQuietly(TempFolder() + kEditCopyName);
        const unsigned navigation = navigation_;
        browser_.Soon([this, navigation] {
          if (!Stale(navigation)) ActivateLoaded();
        });
      }
      return;
    }
  }
  preloaded_.reset();
  StartNavigation();
  ReleaseHeldFrames();
  for (int entry = 1; entry < frames_.Counter; ++entry) {
    const FrameEntry& f = frames_[entry];
    // Copies are deleted once loaded: a table left from an earlier page holds back nothing.
    if (f.File != kFrameError && !f.WebURL.empty() && FileExists(f.File)) heldBack_.insert(f.WebURL);
  }
  browser_.Navigate(CopyAddressOf(TempFolder() + kEditCopyName));
}

void EditControl::ReleaseHeldFrames() {
  heldBack_.clear();
  released_.clear();
  holdAllFrames_ = false;
}

void EditControl::StopBrowser() {
  preloaded_.reset();
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
  const bool held = heldBack_.count(url) ||
                    (holdAllFrames_ && !released_.count(url) && !CopyPathOf(url, TempFolder()));
  if (navigationBlocked_ || url.find("http:///") != std::string::npos || held) {
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
  if (preloaded_ && !preloaded_->takenOver) {
    // Navigate decides whether it is the page wanted; meanwhile the document is read, beside
    // the browse pane's load (without page scripts nothing changes it until it is activated).
    preloaded_->complete = true;
    preloaded_->reading = true;
    const unsigned navigation = navigation_;
    auto read = browser_.ReadForActivation({});
    if (Stale(navigation) || !preloaded_) return;
    preloaded_->reading = false;
    preloaded_->read = std::move(read);
    if (preloaded_->takenOver) {  // while it was read
      DeleteFileQuietly(TempFolder() + kEditCopyName);
      ActivateLoaded();
    }
    return;
  }
  preloaded_.reset();
  ActivateLoaded();
}

void EditControl::ActivateLoaded() {
  std::optional<ActivationRead> early;
  if (preloaded_) early = std::move(preloaded_->read);
  preloaded_.reset();
  const unsigned navigation = navigation_;
  CurrentSpanId.clear();
  // One read serves the site check and the activation.
  const ActivationRead read =
      early ? std::move(*early) : browser_.ReadForActivation({}).value_or(ActivationRead{});
  EditDocumentFacts facts;
  facts.outerHTML = read.markersAndMeta;
  facts.frameCount = read.frameCount;
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
  frameOffers_.clear();
  bool deletedFound = false;
  auto placeTopOffers = [this](const std::vector<InitialControlOffer>& offers) {
    for (const auto& offer : offers) SetInitialControl({}, offer.id, offer.fixed);
  };
  if (facts.frameCount > 0) {
    if (!problems_.OKtoPublish || site_.TopPageEditable)
      placeTopOffers(ActivateDocument({}, read, deletedFound));
    else
      MakeInert({}, read);
    frameCursor_ = 1;
    ActivateFrames({}, facts.frameCount, navigation);
    if (!Stale(navigation)) PlaceFrameOffers();
  } else {
    placeTopOffers(ActivateDocument({}, read, deletedFound));
  }
  if (Stale(navigation)) {
    if (loadStopped_) window_.EditTabPreparing = false;
    return;
  }
  // Frames complete in any order; the documents stay in frame table order, top first.
  std::stable_sort(documents_.begin(), documents_.end(),
                   [](const EditDocument& a, const EditDocument& b) { return a.entry < b.entry; });

  navigationBlocked_ = true;
  ReleaseHeldFrames();
  window_.EditTabPreparing = false;
  if (ButtonsEnable) ButtonsEnable();
  if (NavigateComplete) NavigateComplete();
}

std::vector<InitialControlOffer> EditControl::ActivateDocument(const FramePath& frame, const ActivationRead& read,
                                                               bool& deletedFound) {
  std::vector<PlannedDocument> planned(1);
  planned[0] = {frame, &read, PlanActivation(read.elements, site_.LinkTextEditable, deletedFound), true};
  ApplyAll(planned);
  return std::move(planned[0].plan.offers);
}

void EditControl::MakeInert(const FramePath& frame, const ActivationRead& read) {
  // Hooked as well, so that its drags, context menus and Ctrl keys are cancelled too.
  std::vector<PlannedDocument> planned(1);
  planned[0] = {frame, &read, PlanInert(read.elements), false};
  ApplyAll(planned);
}

void EditControl::ApplyAll(std::vector<PlannedDocument>& planned) {
  if (planned.empty()) return;
  std::vector<DocumentActivation> batch;
  for (PlannedDocument& p : planned)
    batch.push_back({p.frame, std::move(p.plan.styleSheet), std::move(p.plan.changes)});
  auto changed = browser_.ActivateAll(batch, WordKeys());
  changed.resize(planned.size());
  for (std::size_t i = 0; i < planned.size(); ++i) {
    const PlannedDocument& p = planned[i];
    std::optional<SpanSnapshot> spans =
        changed[i] ? SpansAfterActivation(p.read->elements, p.plan.editable, std::move(*changed[i]))
                   : browser_.Spans(p.frame);
    if (EditDocument* d = DocumentAt(p.frame)) {
      if (p.activated) d->activated = true;
      if (spans) d->spans = std::move(*spans);
    }
  }
}

bool EditControl::ActivateFrames(const FramePath& frame, int frameCount, unsigned navigation) {
  struct Loading {
    int index = 0;
    int entry = 0;
    std::string file;
    bool hasFrames = false;
  };
  int i = 0;
  while (i < frameCount) {
    // The frames whose table entries are known go together: up to the next frameset frame,
    // whose own frames take the entries after it.
    std::vector<Loading> loading;
    std::vector<std::string> urls(static_cast<std::size_t>(frameCount));
    std::vector<int> uncopied;  // frames with no copy: held back, they load their own page
    bool tableEnds = false;
    for (; i < frameCount; ++i) {
      if (frameCursor_ >= FrameTable::kSize) {  // frames past the table were not prepared
        tableEnds = true;
        for (int rest = i; rest < frameCount; ++rest) uncopied.push_back(rest);
        break;
      }
      const int entry = frameCursor_++;
      // Copied: the browse pane may refill the table while this walk waits.
      Loading l{i, entry, frames_[entry].File, frames_[entry].HasFrames};
      if (l.file == kFrameError) {
        uncopied.push_back(i);
        continue;
      }
      navigated_.ClearNavigated(l.file);
      urls[static_cast<std::size_t>(i)] = CopyAddressOf(l.file);
      loading.push_back(std::move(l));
      if (loading.back().hasFrames) {
        ++i;
        break;
      }
    }
    if (holdAllFrames_ && !uncopied.empty()) {
      const std::vector<std::string> sources = browser_.FrameSources(frame);
      for (int u : uncopied) {
        const auto k = static_cast<std::size_t>(u);
        if (k >= sources.size() || sources[k].empty()) continue;
        urls[k] = sources[k];
        released_.insert(sources[k]);
      }
      uncopied.clear();
    }
    if (std::any_of(urls.begin(), urls.end(), [](const std::string& u) { return !u.empty(); }))
      browser_.NavigateFrames(frame, urls);
    // Each frame is activated as soon as it has loaded; those loaded by then go together, in one
    // read and one activation.
    const auto isLoaded = [this](const Loading& l) { return navigated_.Contains(l.file); };
    while (!loading.empty()) {
      const bool loaded = browser_.WaitUntil(
          [&] { return std::any_of(loading.begin(), loading.end(), isLoaded); }, kFrameLoadLimit);
      if (Stale(navigation)) return false;
      if (!loaded) {
        // Skipped like unreadable frames. The entries of a frameset that never loaded cannot be
        // matched to frames any more, so the walk ends rather than activate the wrong ones.
        bool framesetLost = false;
        for (const Loading& l : loading) {
          DeleteFileQuietly(l.file);
          framesetLost = framesetLost || l.hasFrames;
        }
        if (framesetLost) return false;
        break;
      }
      std::vector<Loading> ready;
      std::vector<FramePath> paths;
      for (auto it = loading.begin(); it != loading.end();) {
        if (!isLoaded(*it)) {
          ++it;
          continue;
        }
        DeleteFileQuietly(it->file);
        FramePath child = frame;
        child.push_back(it->index);
        documents_.push_back({child, it->entry, false, {}});
        paths.push_back(std::move(child));
        ready.push_back(std::move(*it));
        it = loading.erase(it);
      }
      auto reads = browser_.ReadAllForActivation(paths);
      reads.resize(paths.size());
      std::vector<PlannedDocument> planned;
      std::vector<FrameOffers> offers;  // of the activated frames, in the order planned
      std::vector<std::size_t> framesets;
      for (std::size_t k = 0; k < ready.size(); ++k) {
        if (!reads[k]) reads[k].emplace();  // unreadable: activated as an empty document
        const ActivationRead& read = *reads[k];
        if (read.frameCount > 0) {
          framesets.push_back(k);
        } else if (!problems_.OKtoPublish || frames_[ready[k].entry].Editable) {
          offers.push_back({ready[k].entry, frame, {}, false});
          planned.push_back(
              {paths[k], &read, PlanActivation(read.elements, site_.LinkTextEditable, offers.back().deletedText), true});
        } else {
          planned.push_back({paths[k], &read, PlanInert(read.elements), false});
        }
      }
      ApplyAll(planned);
      std::size_t next = 0;
      for (PlannedDocument& p : planned) {
        if (!p.activated) continue;
        offers[next].offers = std::move(p.plan.offers);
        frameOffers_.push_back(std::move(offers[next++]));
      }
      if (Stale(navigation)) return false;
      for (std::size_t k : framesets)
        if (!ActivateFrames(paths[k], reads[k]->frameCount, navigation)) return false;
    }
    if (tableEnds) return false;
  }
  return true;
}

void EditControl::PlaceFrameOffers() {
  std::stable_sort(frameOffers_.begin(), frameOffers_.end(),
                   [](const FrameOffers& a, const FrameOffers& b) { return a.entry < b.entry; });
  // As if activated in table order: once a frame of a level held deleted text, the later frames
  // of that level offer only their own deleted text.
  std::vector<FramePath> levelsWithDeletedText;
  for (const FrameOffers& f : frameOffers_) {
    const bool levelDeleted = std::find(levelsWithDeletedText.begin(), levelsWithDeletedText.end(), f.level) !=
                              levelsWithDeletedText.end();
    FramePath child;
    for (const EditDocument& d : documents_)
      if (d.entry == f.entry) child = d.frame;
    for (const InitialControlOffer& offer : f.offers)
      if (offer.fixed || !levelDeleted) SetInitialControl(child, offer.id, offer.fixed);
    if (f.deletedText && !levelDeleted) levelsWithDeletedText.push_back(f.level);
  }
  frameOffers_.clear();
}

}  // namespace pq
