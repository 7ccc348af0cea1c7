#pragma once
#include <string>

#include "shell/tab_headers.h"
#include "shell/toolbar.h"

namespace pq {

// A picture button as the main window's logic drives it.
class ButtonControl {
 public:
  virtual ~ButtonControl() = default;
  virtual void Disable() = 0;
  virtual void enable() = 0;
  virtual void RefreshImage() = 0;
  virtual void TmpDisable() = 0;
  virtual void TmpEnable() = 0;
};

// What the main window asks of the edit pane. The widget layer forwards each call to
// EditControl; the editing and publishing operations are filled in as they land.
class EditPane {
 public:
  virtual ~EditPane() = default;
  // Loads the edit copy just prepared by the browse pane.
  virtual void Navigate() = 0;
  // Starts loading the edit copy written early, while the browse pane still loads its page.
  virtual void Preload() = 0;
  virtual void StopBrowser() = 0;
  // Puts the caret in the first editable region (the Edit tab was selected).
  virtual void ActivateInitialControl() = 0;
  // Gives the focus back to the element being edited.
  virtual void ActivateBox() = 0;
  virtual void Edit_Cut() = 0;
  virtual void Edit_Copy() = 0;
  virtual void Edit_Paste() = 0;
  virtual void Bold() = 0;
  virtual void Italic() = 0;
  virtual void Underline() = 0;
  virtual void UndoMe() = 0;
  virtual void RedoMe() = 0;
};

// What the main window asks of the browse pane.
class BrowsePane {
 public:
  virtual ~BrowsePane() = default;
  virtual void Navigate(const std::string& address) = 0;
  virtual void StopBrowser() = 0;
  virtual void GoHome() = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void SetStatusText(const std::string& text, int percentage, int maxPerc) = 0;
  virtual std::string WebURL() const = 0;
  virtual void Focus() = 0;
};

enum class MainTimer { Timer1, Timer2, Timer3 };

// The window on screen, as its plain logic sees it.
class MainFormView {
 public:
  virtual ~MainFormView() = default;
  virtual BrowsePane& Browse() = 0;
  virtual EditPane& Edit() = 0;
  virtual ButtonControl& Button(ToolbarButton button) = 0;

  // The address box.
  virtual std::string AddressText() const = 0;
  virtual void SetAddressText(const std::string& address) = 0;
  virtual void AddToHistory(const std::string& address) = 0;

  // Draws a tab header from its look.
  virtual void ShowHeader(TabHeader header, const HeaderLook& look) = 0;
  // Shows the controls of one tab (pane, buttons, address box) and hides the other tab's.
  virtual void ShowTabControls(TabHeader tab) = 0;
  virtual void SetTimer(MainTimer timer, bool on) = 0;
  // The Paste item of the edit pane's context menu.
  virtual void SetMenuPasteEnabled(bool enabled) = 0;
  // Whether the clipboard offers something to paste (text, or HTML whose text is pasted).
  virtual bool ClipboardHasText() = 0;
  // The different-layout notice, offered on each switch to the Edit tab.
  virtual void ShowLayoutNotice() = 0;
};

}  // namespace pq
