#pragma once
#include <functional>
#include <optional>
#include <string>

#include "shell/main_form_view.h"
#include "shell/tab_headers.h"
#include "shell/toolbar.h"
#include "core/window_state.h"

namespace pq {

// The main window's logic: the hub that turns the panes' events into tab and button states,
// runs the toolbar's navigation commands, and drives the window's three timers. It owns no
// page data; it talks to the window on screen only through MainFormView.
class MainForm {
 public:
  MainForm(WindowState& state, MainFormView& view);

  // --- life cycle
  // Before the window is first shown: flags, tab headers, Timer1.
  void Load();
  bool FirstActivation() const { return firstActivation_; }
  // After the splash, once the window fills the work area: the home page is requested.
  void FirstActivationDone();

  // --- tab headers
  // A press on a header. Answers whether the selection changed.
  bool SelectTab(TabHeader header);
  void EnableTab(TabHeader header);
  void DisableTab(TabHeader header);
  void HeaderMouseMove(TabHeader header, int x, int y, int w, int h);
  void OtherMouseMove();
  const TabHeaders& Tabs() const { return tabs_; }

  // --- events of the browse pane
  void OnStartedNavigation();
  void OnNavigationComplete();
  void OnEarlyEditCopy();
  void OnPageCantBeDisplayed();
  void OnBackEnable(bool enable);
  void OnForwardEnable(bool enable);
  void OnButtonsDisable();
  void OnUpdateAddressBar(const std::string& address);
  // --- events of the edit pane
  void OnButtonsEnable();
  void OnNavigateComplete();
  void OnSelectionChange(bool hasSelection);
  void OnUndoChange(bool enable);
  void OnRedoChange(bool enable);
  // --- the address box's Enter
  void OnEnter(const std::string& typed);

  // --- toolbar buttons
  void Click(ToolbarButton button);
  // Preview and Publish belong to the publishing code, which sets these.
  std::function<void()> PreviewCommand;
  std::function<void()> PublishCommand;

  // Formatting and Paste buttons from the edit document's active element: nullopt when it
  // could not be asked (counts as not editable).
  void CheckIcons(std::optional<bool> activeElementEditable);
  // RefreshImage on every visible button among Back, Forward, Undo, Redo, Cut, Copy, Paste,
  // Bold, Italic and Underline.
  void RefreshButtons();

  // --- timers: each tick; `foreground` tells whether the main window is the active one.
  void Timer1Tick();
  void Timer2Tick(bool foreground);
  void Timer3Tick(bool foreground);
  bool TimerOn(MainTimer timer) const { return timerOn_[static_cast<int>(timer)]; }
  int ButtonRefreshTicks() const { return buttonRefreshTicks_; }

 private:
  void SetTimer(MainTimer timer, bool on);
  void StopBothPanes();
  void ShowHeaders();
  void TabSelected(TabHeader tab);
  void Navigation(const std::function<void()>& go);

  WindowState& state_;
  MainFormView& view_;
  TabHeaders tabs_;
  bool firstActivation_ = false;
  int buttonRefreshTicks_ = 0;
  bool timerOn_[3] = {false, false, false};
};

}  // namespace pq
