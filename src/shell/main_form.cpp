#include "shell/main_form.h"

#include "shell/typed_address.h"

namespace pq {

namespace {
constexpr ToolbarButton kNavigation[] = {ToolbarButton::Back, ToolbarButton::Forward,
                                         ToolbarButton::Home, ToolbarButton::Refresh};
constexpr ToolbarButton kRefreshed[] = {
    ToolbarButton::Back, ToolbarButton::Forward, ToolbarButton::Undo,   ToolbarButton::Redo,
    ToolbarButton::Cut,  ToolbarButton::Copy,    ToolbarButton::Paste,  ToolbarButton::Bold,
    ToolbarButton::Italic, ToolbarButton::Underline};

void SetEnabled(ButtonControl& b, bool on) {
  if (on)
    b.enable();
  else
    b.Disable();
}
}  // namespace

MainForm::MainForm(WindowState& state, MainFormView& view)
    : state_(state), view_(view), tabs_(state) {}

void MainForm::Load() {
  firstActivation_ = true;
  state_.EditTabPreparing = false;
  state_.CurrentTab = TabHeader::ImgBrowse;
  tabs_.Reset();
  // Until the first page's edit copy is ready there is nothing to edit.
  tabs_.DisableTab(TabHeader::ImgEdit);
  ShowHeaders();
  view_.ShowTabControls(TabHeader::ImgBrowse);
  SetTimer(MainTimer::Timer1, true);
  SetTimer(MainTimer::Timer2, true);
}

void MainForm::FirstActivationDone() {
  state_.WindowMaximized = true;
  firstActivation_ = false;
  view_.Browse().GoHome();
  view_.Browse().Focus();
}

void MainForm::ShowHeaders() {
  view_.ShowHeader(TabHeader::ImgBrowse, tabs_.Look(TabHeader::ImgBrowse));
  view_.ShowHeader(TabHeader::ImgEdit, tabs_.Look(TabHeader::ImgEdit));
}

bool MainForm::SelectTab(TabHeader header) {
  if (!tabs_.Look(header).enabled) return false;
  if (header == state_.CurrentTab) {
    // Pressing the selected Edit header does nothing at all; the selected Browse header
    // still refreshes the buttons and takes the focus back to the page.
    if (header == TabHeader::ImgBrowse) {
      SetTimer(MainTimer::Timer1, true);
      view_.Browse().Focus();
    }
    return false;
  }
  tabs_.SelectTab(header);
  ShowHeaders();
  TabSelected(header);
  return true;
}

void MainForm::TabSelected(TabHeader tab) {
  view_.ShowTabControls(tab);
  SetTimer(MainTimer::Timer1, true);
  if (tab == TabHeader::ImgBrowse) {
    view_.Browse().Focus();
  } else {
    view_.ShowLayoutNotice();
    view_.Edit().ActivateInitialControl();
  }
}

void MainForm::EnableTab(TabHeader header) {
  tabs_.EnableTab(header);
  view_.ShowHeader(header, tabs_.Look(header));
}

void MainForm::DisableTab(TabHeader header) {
  tabs_.DisableTab(header);
  view_.ShowHeader(header, tabs_.Look(header));
}

void MainForm::HeaderMouseMove(TabHeader header, int x, int y, int w, int h) {
  tabs_.HeaderMouseMove(header, x, y, w, h);
  ShowHeaders();
}

void MainForm::OtherMouseMove() {
  if (!tabs_.LastTabUnderMouse()) return;
  tabs_.OtherMouseMove();
  ShowHeaders();
}

// --- routing

void MainForm::OnStartedNavigation() {
  if (state_.PublishShowing) return;
  DisableTab(TabHeader::ImgEdit);
}

void MainForm::OnNavigationComplete() {
  view_.AddToHistory(view_.Browse().WebURL());
  view_.Edit().Navigate();
}

void MainForm::OnEarlyEditCopy() { view_.Edit().Preload(); }

void MainForm::OnPageCantBeDisplayed() { view_.Browse().SetStatusText("Done", 100, 100); }

void MainForm::OnBackEnable(bool enable) { SetEnabled(view_.Button(ToolbarButton::Back), enable); }
void MainForm::OnForwardEnable(bool enable) {
  SetEnabled(view_.Button(ToolbarButton::Forward), enable);
}

void MainForm::OnButtonsDisable() {
  for (ToolbarButton b : kNavigation) view_.Button(b).TmpDisable();
}

void MainForm::OnUpdateAddressBar(const std::string& address) { view_.SetAddressText(address); }

void MainForm::OnButtonsEnable() {
  for (ToolbarButton b : kNavigation) view_.Button(b).TmpEnable();
}

void MainForm::OnNavigateComplete() {
  view_.Browse().SetStatusText("Done", 100, 100);
  EnableTab(TabHeader::ImgEdit);
}

void MainForm::OnSelectionChange(bool hasSelection) {
  SetEnabled(view_.Button(ToolbarButton::Cut), hasSelection);
  SetEnabled(view_.Button(ToolbarButton::Copy), hasSelection);
}

void MainForm::OnUndoChange(bool enable) { SetEnabled(view_.Button(ToolbarButton::Undo), enable); }
void MainForm::OnRedoChange(bool enable) { SetEnabled(view_.Button(ToolbarButton::Redo), enable); }

void MainForm::OnEnter(const std::string& typed) {
  const std::string address = TypedAddress(typed);
  if (address.empty()) return;
  StopBothPanes();
  view_.Browse().Navigate(address);
  view_.Browse().Focus();
}

// --- toolbar

void MainForm::StopBothPanes() {
  view_.Edit().StopBrowser();
  view_.Browse().StopBrowser();
}

void MainForm::Navigation(const std::function<void()>& go) {
  // No new page while the current one's edit copy is being prepared or loaded.
  if (state_.EditTabPreparing) return;
  StopBothPanes();
  go();
}

void MainForm::Click(ToolbarButton button) {
  BrowsePane& browse = view_.Browse();
  EditPane& edit = view_.Edit();
  switch (button) {
    case ToolbarButton::Back: Navigation([&] { browse.GoBack(); }); break;
    case ToolbarButton::Forward: Navigation([&] { browse.GoForward(); }); break;
    case ToolbarButton::Home: Navigation([&] { browse.GoHome(); }); break;
    case ToolbarButton::Refresh:
      Navigation([&] {
        if (const std::string a = TypedAddress(view_.AddressText()); !a.empty()) browse.Navigate(a);
      });
      break;
    case ToolbarButton::Go:
      if (const std::string a = TypedAddress(view_.AddressText()); !a.empty()) {
        StopBothPanes();
        browse.Navigate(a);
      }
      break;
    case ToolbarButton::Cut:
    case ToolbarButton::Copy:
      // What was cut or copied can be pasted.
      view_.Button(ToolbarButton::Paste).enable();
      view_.SetMenuPasteEnabled(true);
      if (button == ToolbarButton::Cut)
        edit.Edit_Cut();
      else
        edit.Edit_Copy();
      edit.ActivateBox();
      break;
    case ToolbarButton::Paste: edit.Edit_Paste(); edit.ActivateBox(); break;
    case ToolbarButton::Bold: edit.Bold(); edit.ActivateBox(); break;
    case ToolbarButton::Italic: edit.Italic(); edit.ActivateBox(); break;
    case ToolbarButton::Underline: edit.Underline(); edit.ActivateBox(); break;
    case ToolbarButton::Undo: edit.UndoMe(); break;
    case ToolbarButton::Redo: edit.RedoMe(); break;
    case ToolbarButton::Preview: if (PreviewCommand) PreviewCommand(); break;
    case ToolbarButton::Publish: if (PublishCommand) PublishCommand(); break;
  }
}

void MainForm::CheckIcons(std::optional<bool> activeElementEditable) {
  const bool editable = activeElementEditable.value_or(false);
  for (ToolbarButton b : {ToolbarButton::Bold, ToolbarButton::Italic, ToolbarButton::Underline})
    SetEnabled(view_.Button(b), editable);
  const bool paste = editable && view_.ClipboardHasText();
  SetEnabled(view_.Button(ToolbarButton::Paste), paste);
  view_.SetMenuPasteEnabled(paste);
}

void MainForm::RefreshButtons() {
  for (ToolbarButton b : kRefreshed) {
    const TabHeader tab = OnBrowseTab(b) ? TabHeader::ImgBrowse : TabHeader::ImgEdit;
    if (tab == state_.CurrentTab) view_.Button(b).RefreshImage();
  }
}

// --- timers

void MainForm::SetTimer(MainTimer timer, bool on) {
  bool& current = timerOn_[static_cast<int>(timer)];
  if (current == on) return;
  current = on;
  view_.SetTimer(timer, on);
}

void MainForm::Timer1Tick() {
  RefreshButtons();
  if (++buttonRefreshTicks_ > 3) {
    SetTimer(MainTimer::Timer1, false);
    buttonRefreshTicks_ = 0;
  }
}

void MainForm::Timer2Tick(bool foreground) {
  if (!foreground) SetTimer(MainTimer::Timer3, true);
  if (state_.CurrentTab == TabHeader::ImgEdit) RefreshButtons();
}

void MainForm::Timer3Tick(bool foreground) {
  if (!foreground) return;
  if (state_.CurrentTab == TabHeader::ImgEdit) view_.Edit().ActivateBox();
  SetTimer(MainTimer::Timer3, false);
}

}  // namespace pq
