#include "shell/widgets/main_form_window.h"

#include <gtk/gtk.h>

#include "engine/clipboard.h"
#include "shell/widgets/notices_dialogs.h"
#include "skin/widgets/accessible_area.h"

namespace pq {

namespace {
constexpr GdkRGBA kStripColour{32 / 255.0, 200 / 255.0, 32 / 255.0, 1};

skin::SkinDesign Design() {
  skin::SkinDesign d;
  d.paneTop = MainFormDesign::kPaneTop;
  return d;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  auto* w = static_cast<MainFormWindow*>(self);
  if (w->Closed && w->MayLeavePage(true)) w->Closed();
  return TRUE;  // the owner ends the program, and the window with it
}

void OnActiveChanged(GObject*, GParamSpec*, gpointer self) {
  auto* w = static_cast<MainFormWindow*>(self);
  if (gtk_window_is_active(w->Window())) w->Skin().PaintTitleBand();
}
}  // namespace

MainFormWindow::MainFormWindow(Settings& settings, const std::string& homePage, Fetcher fetch)
    : settings_(settings), skin_(std::make_unique<skin::SkinnedWindow>("Pagequill", Design())) {
  imgBrowse_ = std::make_unique<skin::SkinImage>("ImgBrowse");
  imgEdit_ = std::make_unique<skin::SkinImage>("ImgEdit");
  imgBrowse_->SetAccessible(ATK_ROLE_PAGE_TAB, "Browse");
  imgEdit_->SetAccessible(ATK_ROLE_PAGE_TAB, "Edit");
  skin_->Put(imgEdit_->Widget(), MainFormDesign::kEditHeaderX, MainFormDesign::kHeaderY);
  skin_->Put(imgBrowse_->Widget(), MainFormDesign::kBrowseHeaderX, MainFormDesign::kHeaderY);

  buttons_ = std::make_unique<ToolbarButtons>(*skin_);
  // A text button after Publish: the picture buttons' set has no picture for it.
  const skin::Rect publish = buttons_->Place(ToolbarButton::Publish);
  earlier_ = gtk_button_new_with_label(kEarlierVersionsLabel);
  gtk_widget_set_name(earlier_, "EarlierVersions");
  atk_object_set_name(gtk_widget_get_accessible(earlier_), kEarlierVersionsLabel);
  gtk_widget_set_focus_on_click(earlier_, FALSE);
  windowSignals_.Connect(earlier_, "clicked", G_CALLBACK(+[](gpointer self) {
                           static_cast<MainFormWindow*>(self)->EarlierVersionsCommand();
                         }),
                         this, G_CONNECT_SWAPPED);
  skin_->Put(earlier_, publish.Right() + 10, publish.y + publish.height / 2 - 16);

  const skin::Rect go = buttons_->Place(ToolbarButton::Go);
  label2_ = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(label2_),
                       "<span foreground='#15423d' weight='bold'>Address</span>");
  skin_->Put(label2_, go.Right() + MainFormDesign::kAddressGap, go.y + 16);
  box_ = std::make_unique<WebInputBox>(history_, MainFormDesign::kAddressBoxWidth);
  AtkObject* entry = gtk_widget_get_accessible(box_->TextBox());
  atk_object_set_name(entry, "Address");
  atk_object_add_relationship(entry, ATK_RELATION_LABELLED_BY, gtk_widget_get_accessible(label2_));
  skin_->Put(box_->Widget(), go.Right() + MainFormDesign::kAddressGap + 68, go.y + 12);

  browse_ = std::make_unique<BrowseControlWidget>(state_, frames_, fetch);
  browse_->View().SetHomePage(homePage);
  edit_ = std::make_unique<EditPaneLink>(state_, frames_, std::move(fetch));
  const skin::MainWindowLayout& l = skin_->Layout();
  // The edit pane lies exactly over the browse pane; only one of them is visible.
  skin_->Put(browse_->Widget(), l.pane.x, l.pane.y);
  skin_->Put(edit_->Widget(), l.pane.x, l.pane.y);
  PlacePanes(l);
  WireEvents();
  UpdateEarlierVersions();
}

MainFormWindow::~MainFormWindow() {
  for (engine::SourceId& t : timers_) t.Reset();
  windowSignals_.DisconnectAll();
  help_.reset();
  // The panes leave the window before their parts go.
  GtkContainer* layer = GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(skin_->Window())));
  gtk_container_remove(layer, browse_->Widget());
  gtk_container_remove(layer, edit_->Widget());
  edit_.reset();
  browse_.reset();
}

void MainFormWindow::WireEvents() {
  skin_->Resized = [this](const skin::MainWindowLayout& l) {
    // Maximising and restoring resize the window: the shared flag follows the skin's.
    if (!form_.FirstActivation()) state_.WindowMaximized = skin_->WindowMaximized();
    PlacePanes(l);
  };
  skin_->DragEnded = [this] { form_.RefreshButtons(); };
  skin_->FormMouseMove = [this] { form_.OtherMouseMove(); };
  skin_->Close = [this] {
    if (Closed && MayLeavePage(true)) Closed();
  };
  skin_->Help = [this] { OpenHelp(); };
  windowSignals_.Connect(skin_->Window(), "delete-event", G_CALLBACK(OnDelete), this);
  windowSignals_.Connect(skin_->Window(), "notify::is-active", G_CALLBACK(OnActiveChanged), this);
  windowSignals_.Connect(skin_->Window(), "map-event", G_CALLBACK(+[](gpointer self) -> gboolean {
                           static_cast<MainFormWindow*>(self)->FirstActivation();
                           return FALSE;
                         }),
                         this, G_CONNECT_SWAPPED);
  WireHeader(TabHeader::ImgBrowse);
  WireHeader(TabHeader::ImgEdit);
  buttons_->Clicked = [this](ToolbarButton b) { form_.Click(b); };
  form_.PreviewCommand = [this] { PreviewCommand(); };
  form_.PublishCommand = [this] { PublishCommand(); };
  box_->Enter = [this](const std::string& address) { form_.OnEnter(address); };

  BrowseControl& browse = browse_->Control();
  browse.StartedNavigation = [this] { form_.OnStartedNavigation(); };
  browse.MayLeavePage = [this] { return MayLeavePage(); };
  browse.NavigationComplete = [this] { form_.OnNavigationComplete(); };
  browse.EarlyEditCopy = [this] { form_.OnEarlyEditCopy(); };
  browse.PageCantBeDisplayed = [this] { form_.OnPageCantBeDisplayed(); };
  browse.BackEnable = [this](bool e) { form_.OnBackEnable(e); };
  browse.ForwardEnable = [this](bool e) { form_.OnForwardEnable(e); };
  browse.ButtonsDisable = [this] { form_.OnButtonsDisable(); };
  browse.ButtonsEnable = [this] { form_.OnButtonsEnable(); };
  browse.UpdateAddressBar = [this](const std::string& a) { form_.OnUpdateAddressBar(a); };

  edit_->ButtonsEnable = [this] { form_.OnButtonsEnable(); };
  edit_->NavigateComplete = [this] {
    unpublished_.Reset();  // a page freshly loaded holds the site's text
    form_.OnNavigateComplete();
    leaveAnswered_ = false;
    UpdateEarlierVersions();
    if (carried_) PutCarriedEditsBack();
  };
  edit_->SelectionChange = [this](bool s) { form_.OnSelectionChange(s); };
  edit_->CheckIcons = [this](bool editable) { form_.CheckIcons(editable); };
  edit_->Pane().LinkChangeNotice() = [this] { return AskLinkChange(settings_, Window()); };
  edit_->UndoChange = [this](bool e) { form_.OnUndoChange(e); };
  edit_->RedoChange = [this](bool e) { form_.OnRedoChange(e); };
}

void MainFormWindow::WireHeader(TabHeader header) {
  skin::SkinImage& img = Header(header);
  img.Press = [this, header](int, int, int, int) { form_.SelectTab(header); };
  img.Activate = [this, header] { form_.SelectTab(header); };
  img.Motion = [this, header](int x, int y, int, int, bool) {
    skin::SkinImage& i = Header(header);
    form_.HeaderMouseMove(header, x, y, i.Width(), i.Height());
  };
  img.Leave = [this] { form_.OtherMouseMove(); };
}

void MainFormWindow::PlacePanes(const skin::MainWindowLayout& l) {
  for (GtkWidget* pane : {browse_->Widget(), edit_->Widget()}) {
    skin_->Move(pane, l.pane.x, l.pane.y);
    gtk_widget_set_size_request(pane, l.pane.width, l.pane.height);
  }
}

void MainFormWindow::Show() {
  GtkWindow* win = Window();
  box_->LoadHistory(settings_);
  box_->RefreshList();
  box_->SetBackground(kStripColour);
  // Out of the way while the splash runs: 10 × 10 pixels at the middle of the screen.
  const skin::Rect work = skin_->WorkArea();
  gtk_window_resize(win, 10, 10);
  gtk_window_move(win, work.x + work.width / 2, work.y + work.height / 2);
  gtk_widget_show_all(GTK_WIDGET(win));
  form_.Load();  // after showing, which made every control visible: only the Browse tab's stay
  gtk_window_present(win);
}

void MainFormWindow::FirstActivation() {
  if (!form_.FirstActivation() || activating_) return;
  activating_ = true;
  auto go_on = [this] {
    skin_->FillWorkArea();
    form_.FirstActivationDone();
    activating_ = false;
  };
  if (ShowSplash)
    ShowSplash(go_on);
  else
    go_on();
}

// --- MainFormView

std::string MainFormWindow::AddressText() const { return box_->Text(); }
void MainFormWindow::SetAddressText(const std::string& a) { box_->SetText(a); }
void MainFormWindow::AddToHistory(const std::string& a) {
  box_->AddToHistory(a, state_.StartPageUrl, settings_);
}

void MainFormWindow::ShowHeader(TabHeader header, const HeaderLook& look) {
  skin::SkinImage& img = Header(header);
  img.SetPicture(look.picture);
  const int x = header == TabHeader::ImgBrowse ? MainFormDesign::kBrowseHeaderX
                                               : MainFormDesign::kEditHeaderX;
  skin_->Move(img.Widget(), x, MainFormDesign::kHeaderY - (look.raised ? kTabRaise : 0));
  gtk_widget_set_sensitive(img.Widget(), look.enabled);
  skin::SetAccessibleSelected(img.Widget(), state_.CurrentTab == header);
  if (look.front)
    if (GdkWindow* w = gtk_widget_get_window(img.Widget()); w && gtk_widget_get_has_window(img.Widget()))
      gdk_window_raise(w);
}

void MainFormWindow::ShowTabControls(TabHeader tab) {
  const bool browse = tab == TabHeader::ImgBrowse;
  buttons_->ShowTab(tab);
  gtk_widget_set_visible(label2_, browse);
  gtk_widget_set_visible(box_->Widget(), browse);
  gtk_widget_set_visible(browse_->Widget(), browse);
  gtk_widget_set_visible(edit_->Widget(), !browse);
  gtk_widget_set_visible(earlier_, !browse);
}

void MainFormWindow::SetTimer(MainTimer timer, bool on) {
  engine::SourceId& source = timers_[static_cast<int>(timer)];
  source.Reset();
  if (!on) return;
  switch (timer) {
    case MainTimer::Timer1: source.StartTimeout(100, reinterpret_cast<GSourceFunc>(OnTimer1), this); break;
    case MainTimer::Timer2: source.StartTimeout(750, reinterpret_cast<GSourceFunc>(OnTimer2), this); break;
    case MainTimer::Timer3: source.StartTimeout(100, reinterpret_cast<GSourceFunc>(OnTimer3), this); break;
  }
}

// Each tick asks the logic, which switches its timer off (or on again) through SetTimer; the
// source that ticked is then already gone, whatever the tick returns.
int MainFormWindow::OnTimer1(void* self) {
  auto* w = static_cast<MainFormWindow*>(self);
  w->form_.Timer1Tick();
  return G_SOURCE_CONTINUE;
}
int MainFormWindow::OnTimer2(void* self) {
  auto* w = static_cast<MainFormWindow*>(self);
  w->form_.Timer2Tick(gtk_window_is_active(w->Window()));
  return G_SOURCE_CONTINUE;
}
int MainFormWindow::OnTimer3(void* self) {
  auto* w = static_cast<MainFormWindow*>(self);
  w->form_.Timer3Tick(gtk_window_is_active(w->Window()));
  return G_SOURCE_CONTINUE;
}

bool MainFormWindow::ClipboardHasText() { return engine::ClipboardHasText(); }

void MainFormWindow::ShowLayoutNotice() { pq::ShowLayoutNotice(settings_, Window()); }

void MainFormWindow::BrowseLink::Focus() {
  gtk_widget_grab_focus(w_.browse_->View().Widget());
}

// --- operations

void MainFormWindow::CheckIcons() { form_.CheckIcons(edit_->ActiveElementEditable()); }

void MainFormWindow::CloseFormAndBringToTop(GtkWidget* dialog, GtkWindow* window) {
  if (dialog) gtk_widget_hide(dialog);
  if (window) gtk_window_present(window);
}

void MainFormWindow::OpenHelp(const std::string& page) {
  if (!help_) help_ = std::make_unique<HelpWindow>(UserGuideAddress());
  help_->Present(Window(), page);
}

}  // namespace pq
