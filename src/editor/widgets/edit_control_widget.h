#pragma once
#include "editor/edit_control.h"
#include "editor/edit_pane_browser.h"
#include "editor/edit_status_bar.h"
#include "editor/edit_session.h"
#include "editor/widgets/edit_menu.h"
#include "editor/widgets/edit_status_bar_widget.h"
#include "editor/widgets/pulsing_frame.h"
#include "editor/widgets/web_view_editing_page.h"
#include "engine/gobject_ptr.h"
#include "engine/source_id.h"
#include "engine/web_view.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The edit pane on screen: its web view (allowed to reach the local frame copies) above the
// edit status bar, wired to the EditControl logic. The pane's events and operations are those
// of Control().
class EditControlWidget : private EditPaneBrowser {
 public:
  EditControlWidget(WindowState& window, FrameTable& frames, SiteStatus& site, Problems& problems, Fetcher fetch);
  ~EditControlWidget() override;

  GtkWidget* Widget() const;
  EditControl& Control() { return control_; }
  engine::WebView& View() { return view_; }
  EditStatusBar& Status() { return status_; }
  // The right-click menu (Menu_Edit with Menu_Cut, Menu_Copy, Menu_Paste).
  EditMenu& Menu() { return menu_; }
  EditSession& Editing() { return editing_; }
  // The link-change notice over the settings (0 off, 1 keep, 2 restore), set by the main
  // window; unset, a changed link text is kept without asking.
  std::function<int()>& LinkChangeNotice() { return editingPage_.AskLinkChangeNotice; }

 private:
  void Navigate(const std::string& url) override { view_.Navigate(url); }
  void Stop() override { view_.Stop(); }
  std::string OuterHTML(const FramePath& f) override { return view_.OuterHTML(f); }
  std::string MarkersAndMeta(const FramePath& f) override { return view_.MarkersAndMeta(f); }
  int FrameCount(const FramePath& f) override { return view_.FrameCount(f); }
  bool NavigateFrame(const FramePath& f, const std::string& url) override { return view_.NavigateFrame(f, url); }
  std::vector<ElementInfo> Elements(const FramePath& f, const std::vector<std::string>& fields) override {
    return view_.Elements(f, fields);
  }
  std::vector<ElementInfo> ActivationElements(const FramePath& f) override {
    auto read = view_.ReadForActivation(f);
    return read ? std::move(read->elements) : std::vector<ElementInfo>{};
  }
  int ApplyChanges(const FramePath& f, const std::vector<ElementChange>& changes) override {
    return view_.ApplyChanges(f, changes);
  }
  std::optional<SpanSnapshot> Spans(const FramePath& f) override { return view_.Spans(f); }
  std::optional<ActivationRead> ReadForActivation(const FramePath& f) override { return view_.ReadForActivation(f); }
  std::optional<SpanSnapshot> Activate(const FramePath& f, const std::string& css,
                                       const std::vector<ElementChange>& changes,
                                       const std::vector<CtrlKeyPass>& passed) override {
    return view_.Activate(f, css, changes, passed);
  }
  std::vector<std::optional<ActivationRead>> ReadAllForActivation(const std::vector<FramePath>& frames) override {
    return view_.ReadAllForActivation(frames);
  }
  std::vector<std::optional<SpanSnapshot>> ActivateAll(const std::vector<DocumentActivation>& batch,
                                                       const std::vector<CtrlKeyPass>& passed) override {
    return view_.ActivateAll(batch, passed);
  }
  std::vector<std::string> FrameSources(const FramePath& f) override { return view_.FrameSources(f); }
  void NavigateFrames(const FramePath& f, const std::vector<std::string>& urls) override {
    view_.NavigateFrames(f, urls);
  }
  bool AddStyleSheet(const FramePath& f, const std::string& css) override { return view_.AddStyleSheet(f, css); }
  bool HookDocumentEvents(const FramePath& f, const std::vector<CtrlKeyPass>& passed) override {
    return view_.HookDocumentEvents(f, passed);
  }
  std::optional<ElementInfo> ElementById(const FramePath& f, const std::string& id) override {
    return view_.ElementById(f, id);
  }
  bool SetElementById(const FramePath& f, const std::string& id, const std::string& property,
                      const std::string& value) override {
    return view_.SetElementById(f, id, property, value);
  }
  std::optional<ElementInfo> ActiveElement(const FramePath& f) override { return view_.ActiveElement(f); }
  std::string SelectionText(const FramePath& f) override { return view_.SelectionText(f); }
  bool ExecCommand(const FramePath& f, const std::string& command, const std::string& value) override {
    return view_.ExecCommand(f, command, value);
  }
  bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;
  void Soon(std::function<void()> call) override;

  engine::WebView view_;
  EditStatusBar status_;
  EditControl control_;
  EditMenu menu_;
  WebViewEditingPage editingPage_{view_, menu_};
  EditSession editing_{editingPage_};
  PulsingFrame frame_;
  EditStatusBarWidget statusWidget_;
  engine::GObjectPtr<GtkWidget> box_;
  // Last, so that it goes first: the call can never run on parts already gone.
  std::function<void()> soonCall_;
  engine::SourceId soon_;
};

}  // namespace pq
