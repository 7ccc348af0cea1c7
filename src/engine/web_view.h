#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/browser_commands.h"
#include "core/document_event.h"
#include "core/frame_path.h"
#include "engine/error_page.h"
#include "engine/packed_records.h"
#include "engine/script_value.h"
#include "pageprep/frames.h"
#include "pageprep/restore_html.h"

typedef struct _GtkWidget GtkWidget;

namespace pq::engine {

inline constexpr std::chrono::milliseconds kScriptTimeout{10000};


// One web view and its in-page runtime: navigation, the browser's events, and access to the
// documents of all its frames. Every operation that reads or changes a document is one round
// trip to the page; it waits (bounded, letting the main loop run) for the answer, so handlers
// may run re-entrantly meanwhile. Failures give empty results, never exceptions.
class WebView {
 public:
  struct Options {
    // The view shows the program's own page copies (copy_address.h), and each copy reads its
    // frames' copies (local access).
    bool fileAccess = false;
    // The page may be edited through the document commands (cut, copy, paste).
    bool clipboardAccess = false;
    // The page's own scripts run (inline, loaded and in event-handler attributes). Without them
    // the document is left exactly as its source says; the runtime still runs.
    bool pageScripts = true;
  };
  explicit WebView(const Options& options);
  WebView() : WebView(Options{}) {}
  ~WebView();
  WebView(const WebView&) = delete;
  WebView& operator=(const WebView&) = delete;

  // The widget to place in a window; it lives as long as this object.
  GtkWidget* Widget() const;

  // --- navigation
  void Navigate(const std::string& url);
  void GoHome();
  void SetHomePage(const std::string& url) { home_ = url; }
  const std::string& HomePage() const { return home_; }
  void GoBack();
  void GoForward();
  void Refresh();
  // A reload that takes nothing from a cache.
  void RefreshBypassingCache();
  // Loads the page again, reading it in `charset` (an engine's name, "UTF-16LE") where neither
  // its server nor a byte-order mark declares one: the engine cannot recognise a page stored in
  // UTF-16 without a mark. Later pages are read by their own declarations again.
  void ReloadReadingUndeclaredAs(const std::string& charset);
  // The character set the top document was read in, as the engine names it ("" if unknown).
  std::string DocumentCharset();
  void Stop();
  std::string LocationURL() const;
  bool Busy() const;
  bool CanGoBack() const;
  bool CanGoForward() const;
  // Drops every cached answer of the engine (for pages that have just been published).
  void ClearCache();
  // Ends the engine's process of the page, as a crash would (for tests).
  void TerminateEngineProcess();

  // --- events
  struct NavigationRequest {
    std::string url;
    // True when the main document navigates (as far as the engine tells: a navigation the
    // program asked for, back, forward or reload); frames' own loads give false.
    bool topLevel = true;
  };
  std::function<void(const NavigationRequest&, bool& cancel)> BeforeNavigate;
  // The main document started loading an address (after BeforeNavigate let it through).
  std::function<void(const std::string& url)> TopNavigationStarted;
  // A document's address was committed: the top's, and each frame's as it starts loading.
  std::function<void(const FramePath& frame, const std::string& url)> NavigateComplete;
  // A document finished loading; the top document's comes after all its frames'.
  std::function<void(const FramePath& frame, const std::string& url)> DocumentComplete;
  std::function<void(int command, bool enabled)> CommandStateChange;
  // A link or script wants a new window; no window is ever opened.
  std::function<void(const std::string& url, bool& cancel)> NewWindow;
  // A load of the main document ended (finished, failed or stopped).
  std::function<void()> DownloadComplete;
  // An event of a document hooked with HookDocumentEvents. One at a time: events that arrive
  // while the handler waits are queued and delivered in order after it returns.
  std::function<void(const DocumentEvent&)> DocumentEventFired;

  // --- documents (each a frame path from the top document)
  // The document and all its frames in one walk; nullopt when the document is unreadable.
  std::optional<DocumentSnapshot> Snapshot(const FramePath& frame = {});
  std::string OuterHTML(const FramePath& frame = {});
  // What the site check reads of the document (ActivationRead::markersAndMeta), "" if unreadable.
  std::string MarkersAndMeta(const FramePath& frame);
  int FrameCount(const FramePath& frame = {});
  std::optional<std::string> FrameLocation(const FramePath& frame);
  bool NavigateFrame(const FramePath& frame, const std::string& url);

  // Elements of the document's body in document order, with the requested fields (tag, id,
  // text, html, editable, parent (index in the list or -1), parentId, href). The list is kept
  // in the page so that ApplyChanges can refer to elements by their index in it.
  std::vector<ElementInfo> Elements(const FramePath& frame, const std::vector<std::string>& fields);
  // Applies a batch of changes to elements of the last Elements list; returns how many took.
  int ApplyChanges(const FramePath& frame, const std::vector<ElementChange>& changes);
  // Activation's read of a document in one call (packed_records.h); the element list is kept
  // for ApplyChanges and Activate.
  std::optional<ActivationRead> ReadForActivation(const FramePath& frame);
  // Activation's changes in one call: adds the style sheet, applies the changes to the last
  // element list, hooks the document's events (as HookDocumentEvents); answers the contents of
  // the spans whose contents the batch changed, with all their links (see
  // EditPaneBrowser::Activate).
  std::optional<SpanSnapshot> Activate(const FramePath& frame, const std::string& css,
                                       const std::vector<ElementChange>& changes,
                                       const std::vector<CtrlKeyPass>& passed);
  // ReadForActivation and Activate of several documents, each in one call, answered in order
  // (nullopt for a document that cannot be read or reached).
  std::vector<std::optional<ActivationRead>> ReadAllForActivation(const std::vector<FramePath>& frames);
  std::vector<std::optional<SpanSnapshot>> ActivateAll(const std::vector<DocumentActivation>& batch,
                                                       const std::vector<CtrlKeyPass>& passed);
  // The address each frame element of the document names ("" where none can be read).
  std::vector<std::string> FrameSources(const FramePath& frame);
  // Sends the document's frame i to urls[i] ("" leaves it), all in one call; how many were sent.
  int NavigateFrames(const FramePath& frame, const std::vector<std::string>& urls);
  std::optional<ElementInfo> ElementById(const FramePath& frame, const std::string& id);
  bool SetElementById(const FramePath& frame, const std::string& id, const std::string& property,
                      const std::string& value);
  std::optional<ElementInfo> ActiveElement(const FramePath& frame);
  // The live contents of the document's edit and anchor spans, in one walk (for RestoreHTML).
  std::optional<SpanSnapshot> Spans(const FramePath& frame);
  std::string SelectionText(const FramePath& frame);
  // A document command (bold, italic, underline, cut, copy, paste, insertLineBreak, insertHTML,
  // unselect).
  bool ExecCommand(const FramePath& frame, const std::string& command, const std::string& value = "");
  bool AddStyleSheet(const FramePath& frame, const std::string& css);
  bool SubmitForm(const FramePath& frame, int index = 0);
  // Forwards the document's events through DocumentEventFired; cancels keys with Ctrl (except
  // the passed ones while an editable element has the focus), drag starts and the context menu,
  // and turns Enter into a line break.
  bool HookDocumentEvents(const FramePath& frame, const std::vector<CtrlKeyPass>& passed = {});

  // Runs a script in the runtime's world (or, with pageWorld, among the page's own scripts)
  // and returns its value; nullopt when it failed or took longer than the timeout.
  std::optional<ScriptValue> Evaluate(const std::string& script, bool pageWorld = false,
                                      std::chrono::milliseconds timeout = kScriptTimeout);
  // Runs one operation of the in-page runtime with the given argument list.
  std::optional<ScriptValue> CallRuntime(const std::string& operation, const std::string& arguments,
                                         std::chrono::milliseconds timeout = kScriptTimeout);

  // What the view has sent to its pages so far (for benchmarks).
  struct ScriptStats {
    long roundTrips = 0;
    long long bytesSent = 0;
  };
  const ScriptStats& Stats() const { return stats_; }

  struct Impl;

 private:
  // A runtime operation that answers packed records; nullopt when it failed.
  std::optional<std::string> CallPacked(const std::string& operation, const std::string& arguments);

  std::unique_ptr<Impl> impl_;
  std::string home_;
  ScriptStats stats_;
};

// WebKitGTK's version at run time as major * 100 + minor (2.50 gives 250).
int EngineVersion();
inline constexpr int kMinimumEngineVersion = 240;


}  // namespace pq::engine
