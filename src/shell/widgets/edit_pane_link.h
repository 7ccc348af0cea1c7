#pragma once
#include <functional>
#include <memory>

#include "engine/web_view.h"
#include "shell/main_form_view.h"
#include "shell/window_state.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The edit pane as the main window holds it: the operations the window calls (EditPane) and
// the events it routes. Each operation forwards to the edit pane's own; the editing and
// publishing operations are filled in where their code lands.
class EditPaneLink : public EditPane {
 public:
  explicit EditPaneLink(WindowState& window);
  ~EditPaneLink() override;
  EditPaneLink(const EditPaneLink&) = delete;
  EditPaneLink& operator=(const EditPaneLink&) = delete;

  GtkWidget* Widget() const;
  engine::WebView& View() { return view_; }

  // --- operations
  void Navigate() override;
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
  std::function<void(bool enable)> UndoChange;
  std::function<void(bool enable)> RedoChange;

 private:
  WindowState& window_;
  engine::WebView view_;
};

}  // namespace pq
