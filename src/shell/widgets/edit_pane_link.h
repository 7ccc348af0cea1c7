#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "editor/widgets/edit_control_widget.h"
#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"
#include "publishing/problems.h"
#include "publishing/site_check.h"
#include "shell/main_form_view.h"
#include "core/window_state.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The edit pane as the main window holds it: the operations the window calls (EditPane), each
// forwarded to EditControl, and its events for the window to route.
class EditPaneLink : public EditPane {
 public:
  EditPaneLink(WindowState& window, FrameTable& frames, Fetcher fetch);
  ~EditPaneLink() override;
  EditPaneLink(const EditPaneLink&) = delete;
  EditPaneLink& operator=(const EditPaneLink&) = delete;

  GtkWidget* Widget() const { return pane_->Widget(); }
  EditControlWidget& Pane() { return *pane_; }
  EditControl& Control() { return pane_->Control(); }
  engine::WebView& View() { return pane_->View(); }
  // The site check's answers and the Problems decisions of the page loaded.
  SiteStatus& Site() { return site_; }
  Problems& PageProblems() { return problems_; }

  // --- operations
  void Navigate() override;
  void Preload() override;
  void StopBrowser() override;
  void ActivateInitialControl() override;
  void ActivateBox() override;
  void Edit_Cut() override;
  void Edit_Copy() override;
  void Edit_Paste() override;
  void Bold() override;
  void Italic() override;
  void Underline() override;
  void UndoMe() override;
  void RedoMe() override;
  // Whether the active element of the pane's current document is editable; nullopt when it
  // cannot be asked.
  std::optional<bool> ActiveElementEditable();

  // --- events
  std::function<void()> ButtonsEnable;
  std::function<void()> NavigateComplete;
  std::function<void(bool hasSelection)> SelectionChange;
  // Each document event: whether the focused element is editable (the main window's CheckIcons).
  std::function<void(bool editable)> CheckIcons;
  std::function<void(bool enable)> UndoChange;
  std::function<void(bool enable)> RedoChange;

 private:
  SiteStatus site_;
  Problems problems_;
  std::unique_ptr<EditControlWidget> pane_;
};

}  // namespace pq
