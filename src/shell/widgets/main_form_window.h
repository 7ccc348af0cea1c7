#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "core/settings.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "pageprep/frame_table.h"
#include "publishing/earlier_versions.h"
#include "publishing/reapply_edits.h"
#include "publishing/unpublished_changes.h"
#include "shell/address_history.h"
#include "shell/main_form.h"
#include "shell/main_form_view.h"
#include "shell/widgets/browse_control_widget.h"
#include "shell/widgets/edit_pane_link.h"
#include "shell/widgets/help_window.h"
#include "shell/widgets/toolbar_buttons.h"
#include "shell/widgets/web_input_box.h"
#include "core/window_state.h"
#include "skin/widgets/skin_image.h"
#include "skin/widgets/skinned_window.h"

typedef struct _GtkWindow GtkWindow;

namespace pq {

// Where the window's own controls are designed (pixels from the window's top-left corner).
struct MainFormDesign {
  static constexpr int kBrowseHeaderX = 18;
  static constexpr int kEditHeaderX = 116;
  static constexpr int kHeaderY = 50;  // the selected header stands kTabRaise higher
  static constexpr int kPaneTop = 142;
  static constexpr int kAddressGap = 12;  // between Go and the "Address" caption
  static constexpr int kAddressBoxWidth = 440;
};

// The main window on screen: the skinned frameless window with its tab headers, the fifteen
// picture buttons, the address box, the browse and edit panes and the help window, wired to
// the plain MainForm logic.
class MainFormWindow : private MainFormView {
 public:
  MainFormWindow(Settings& settings, const std::string& homePage, Fetcher fetch);
  ~MainFormWindow() override;
  MainFormWindow(const MainFormWindow&) = delete;
  MainFormWindow& operator=(const MainFormWindow&) = delete;

  // Loads the window (10 × 10 pixels at the middle of the screen) and shows it; its first
  // activation runs ShowSplash, then fills the work area and opens the home page.
  void Show();
  // Shows the splash for the first activation and calls `done` when it has closed; unset, the
  // window goes straight on.
  std::function<void(std::function<void()> done)> ShowSplash;
  // The user closed the window (the close image, or the window manager's close).
  std::function<void()> Closed;

  // --- operations for the dialogs and the edit pane
  // Formatting and Paste buttons from the edit pane's active element.
  void CheckIcons();
  void RefreshButtons() { form_.RefreshButtons(); }
  // Unloads the dialog and brings the window to the top.
  void CloseFormAndBringToTop(GtkWidget* dialog, GtkWindow* window);
  // The publication started from the Password form has succeeded.
  void PublishComplete(const std::vector<std::string>& storedFiles);
  // Asked before the page in the edit pane is left (closing, browsing elsewhere): when it holds
  // changes that are not published, the user chooses; true to go on (publish_commands.cpp).
  bool MayLeavePage(bool closing = false);
  // After a conflict: reloads the page and carries the user's edits over (publish_commands.cpp).
  void ReloadKeepingEdits();
  bool MenuPasteEnabled() const { return menuPasteEnabled_; }
  // The Edit tab's "Earlier versions…" button: enabled for the page shown unless its site script
  // does not know the requests (publish_commands.cpp).
  GtkWidget* EarlierVersionsButton() const { return earlier_; }
  void UpdateEarlierVersions();

  // --- parts, for the program and its tests
  GtkWindow* Window() const { return skin_->Window(); }
  MainForm& Form() { return form_; }
  WindowState& State() { return state_; }
  FrameTable& Frames() { return frames_; }
  skin::SkinnedWindow& Skin() { return *skin_; }
  BrowseControlWidget& BrowsePaneWidget() { return *browse_; }
  EditPaneLink& EditPaneWidget() { return *edit_; }
  WebInputBox& AddressBox() { return *box_; }
  ToolbarButtons& Buttons() { return *buttons_; }
  skin::SkinImage& Header(TabHeader h) { return h == TabHeader::ImgBrowse ? *imgBrowse_ : *imgEdit_; }
  HelpWindow* Help() { return help_.get(); }
  // The help window, at `page` when one is named.
  void OpenHelp(const std::string& page = "");
  GtkWidget* AddressLabel() const { return label2_; }

 private:
  // MainFormView
  BrowsePane& Browse() override { return browsePane_; }
  EditPane& Edit() override { return *edit_; }
  ButtonControl& Button(ToolbarButton b) override { return buttons_->Control(b); }
  std::string AddressText() const override;
  void SetAddressText(const std::string& address) override;
  void AddToHistory(const std::string& address) override;
  void ShowHeader(TabHeader header, const HeaderLook& look) override;
  void ShowTabControls(TabHeader tab) override;
  void SetTimer(MainTimer timer, bool on) override;
  void SetMenuPasteEnabled(bool enabled) override {
    menuPasteEnabled_ = enabled;
    if (edit_) edit_->Pane().Menu().SetPasteEnabled(enabled);
  }
  bool ClipboardHasText() override;
  void ShowLayoutNotice() override;

  // The browse pane as the logic sees it.
  class BrowseLink : public BrowsePane {
   public:
    explicit BrowseLink(MainFormWindow& w) : w_(w) {}
    void Navigate(const std::string& a) override { w_.browse_->Control().Navigate(a); }
    void StopBrowser() override { w_.browse_->Control().StopBrowser(); }
    void GoHome() override { w_.browse_->Control().GoHome(); }
    void GoBack() override { w_.browse_->Control().GoBack(); }
    void GoForward() override { w_.browse_->Control().GoForward(); }
    void SetStatusText(const std::string& t, int p, int m) override {
      w_.browse_->Control().SetStatusText(t, p, m);
    }
    std::string WebURL() const override { return w_.browse_->Control().WebURL(); }
    void Focus() override;

   private:
    MainFormWindow& w_;
  };

  // The Preview and Publish buttons (publish_commands.cpp).
  void PreviewCommand();
  void PublishCommand();
  void EarlierVersionsCommand();

  void WireEvents();
  void WireHeader(TabHeader header);
  void PlacePanes(const skin::MainWindowLayout& layout);
  void FirstActivation();
  static int OnTimer1(void* self);
  static int OnTimer2(void* self);
  static int OnTimer3(void* self);

  Settings& settings_;
  WindowState state_;
  FrameTable frames_;
  TypedAddressHistory history_;
  BrowseLink browsePane_{*this};
  MainForm form_{state_, *this};
  std::unique_ptr<skin::SkinnedWindow> skin_;
  std::unique_ptr<skin::SkinImage> imgBrowse_, imgEdit_;
  std::unique_ptr<ToolbarButtons> buttons_;
  std::unique_ptr<WebInputBox> box_;
  GtkWidget* label2_ = nullptr;
  std::unique_ptr<BrowseControlWidget> browse_;
  std::unique_ptr<EditPaneLink> edit_;
  std::unique_ptr<HelpWindow> help_;
  engine::SourceId timers_[3];
  bool menuPasteEnabled_ = false;
  UnpublishedChanges unpublished_;
  // Edits waiting for the reloaded page to be ready in the edit pane.
  std::optional<std::vector<CarriedEdit>> carried_;
  void PutCarriedEditsBack();
  bool activating_ = false;
  GtkWidget* earlier_ = nullptr;
  // The handlers of the window's own signals and of its buttons, with this as their data.
  engine::SignalConnections windowSignals_;
  OutdatedSiteScripts outdated_;
  // The user has already chosen to leave the page for the next reload.
  bool leaveAnswered_ = false;
};

}  // namespace pq
