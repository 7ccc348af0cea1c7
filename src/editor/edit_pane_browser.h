#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/document_event.h"
#include "core/frame_path.h"
#include "pageprep/restore_html.h"

namespace pq {

// What the edit pane asks of its web view. Documents are addressed by frame path; every call
// that reads or changes a document may let the main loop run while it waits for the page.
class EditPaneBrowser {
 public:
  virtual ~EditPaneBrowser() = default;
  virtual void Navigate(const std::string& url) = 0;
  virtual void Stop() = 0;
  // The document element's serialisation, "" when the document cannot be read.
  virtual std::string OuterHTML(const FramePath& frame) = 0;
  // What the site check reads of it, without the rest: "<html>", the comments directly inside
  // the document element or its head (where the origin markers land) and every META element
  // in document order, "</html>".
  virtual std::string MarkersAndMeta(const FramePath& frame) = 0;
  virtual int FrameCount(const FramePath& frame) = 0;
  virtual bool NavigateFrame(const FramePath& frame, const std::string& url) = 0;
  // The elements of the document's body in document order with the fields asked for; the
  // list is kept in the page so that ApplyChanges can refer to its indexes.
  virtual std::vector<ElementInfo> Elements(const FramePath& frame, const std::vector<std::string>& fields) = 0;
  // What activation reads, in one walk: the elements (as Elements keeps them for ApplyChanges)
  // with tag, id and parent; text only for SPAN and A elements, html only for edit spans.
  virtual std::vector<ElementInfo> ActivationElements(const FramePath& frame) = 0;
  virtual int ApplyChanges(const FramePath& frame, const std::vector<ElementChange>& changes) = 0;
  virtual std::optional<SpanSnapshot> Spans(const FramePath& frame) = 0;
  virtual bool AddStyleSheet(const FramePath& frame, const std::string& css) = 0;
  // Forwards the document's events; keys with Ctrl are cancelled except those passed, which
  // reach the engine while an editable element has the focus.
  virtual bool HookDocumentEvents(const FramePath& frame, const std::vector<CtrlKeyPass>& passed) = 0;
  virtual std::optional<ElementInfo> ElementById(const FramePath& frame, const std::string& id) = 0;
  virtual bool SetElementById(const FramePath& frame, const std::string& id, const std::string& property,
                              const std::string& value) = 0;
  virtual std::optional<ElementInfo> ActiveElement(const FramePath& frame) = 0;
  virtual std::string SelectionText(const FramePath& frame) = 0;
  virtual bool ExecCommand(const FramePath& frame, const std::string& command, const std::string& value) = 0;
  // Runs the call once the main loop is back from the event being handled (once, unless
  // another call replaces it first). Here, at once.
  virtual void Soon(std::function<void()> call) { call(); }
  // Lets the main loop run until done() holds or the limit passes; true when it held.
  virtual bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;

  // The batched forms activation uses, one round trip each in the web view; by default made of
  // the calls above.
  // MarkersAndMeta, FrameCount and ActivationElements together; nullopt when unreadable.
  virtual std::optional<ActivationRead> ReadForActivation(const FramePath& frame) {
    ActivationRead read;
    read.markersAndMeta = MarkersAndMeta(frame);
    read.frameCount = FrameCount(frame);
    read.elements = ActivationElements(frame);
    return read;
  }
  // AddStyleSheet, ApplyChanges and HookDocumentEvents; answers the contents of at least the
  // spans whose contents the batch changed, each with all its links (SpansAfterActivation
  // makes the rest from the read). Here, every span's (Spans).
  virtual std::optional<SpanSnapshot> Activate(const FramePath& frame, const std::string& css,
                                               const std::vector<ElementChange>& changes,
                                               const std::vector<CtrlKeyPass>& passed) {
    AddStyleSheet(frame, css);
    ApplyChanges(frame, changes);
    HookDocumentEvents(frame, passed);
    return Spans(frame);
  }
  // ReadForActivation of several documents in one round trip, answered in the order asked.
  virtual std::vector<std::optional<ActivationRead>> ReadAllForActivation(const std::vector<FramePath>& frames) {
    std::vector<std::optional<ActivationRead>> reads;
    for (const FramePath& f : frames) reads.push_back(ReadForActivation(f));
    return reads;
  }
  // Activate of several documents in one round trip, answered in the order given.
  virtual std::vector<std::optional<SpanSnapshot>> ActivateAll(const std::vector<DocumentActivation>& batch,
                                                               const std::vector<CtrlKeyPass>& passed) {
    std::vector<std::optional<SpanSnapshot>> spans;
    for (const DocumentActivation& a : batch) spans.push_back(Activate(a.frame, a.css, a.changes, passed));
    return spans;
  }
  // The address each frame element of the document names ("" where none can be read).
  virtual std::vector<std::string> FrameSources(const FramePath& /*frame*/) { return {}; }
  // NavigateFrame for frame i of the document to urls[i], where that is not empty.
  virtual void NavigateFrames(const FramePath& frame, const std::vector<std::string>& urls) {
    for (std::size_t i = 0; i < urls.size(); ++i) {
      if (urls[i].empty()) continue;
      FramePath child = frame;
      child.push_back(static_cast<int>(i));
      NavigateFrame(child, urls[i]);
    }
  }
};

}  // namespace pq
