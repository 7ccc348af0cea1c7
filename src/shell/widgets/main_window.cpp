#include "shell/widgets/main_window.h"

#include <gtk/gtk.h>

#include "engine/http_fetch.h"
#include "shell/typed_address.h"

namespace pq {

namespace {

void OnActivate(GtkEntry* entry, gpointer data) {
  static_cast<MainWindow*>(data)->EnterAddress(gtk_entry_get_text(entry));
}

// Only web addresses go to the network; other pages (the bundled start page) are taken as the
// engine shows them.
FetchedPage FetchWebPage(const std::string& url) {
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return {};
  return engine::FetchPage(url);
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<MainWindow*>(data);
  if (self->Closed) self->Closed();
  return TRUE;  // the owner ends the program; the window goes with its owner
}

}  // namespace

MainWindow::MainWindow(const std::string& homePage)
    : window_(engine::GObjectPtr<GtkWidget>::Ref(gtk_window_new(GTK_WINDOW_TOPLEVEL))) {
  GtkWindow* win = GTK_WINDOW(window_.get());
  gtk_window_set_title(win, "Pagequill");
  gtk_window_set_default_size(win, 1024, 720);

  box_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(bar), 4);
  gtk_box_pack_start(GTK_BOX(bar), gtk_label_new("Address"), FALSE, FALSE, 0);
  entry_ = gtk_entry_new();
  gtk_box_pack_start(GTK_BOX(bar), entry_, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box_), bar, FALSE, FALSE, 0);
  g_signal_connect(entry_, "activate", G_CALLBACK(OnActivate), this);

  browse_ = std::make_unique<BrowseControlWidget>(state_, frames_, FetchWebPage);
  gtk_box_pack_start(GTK_BOX(box_), browse_->Widget(), TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(win), box_);
  g_signal_connect(win, "delete-event", G_CALLBACK(OnDelete), this);

  BrowseControl& browse = browse_->Control();
  browse.UpdateAddressBar = [this](const std::string& address) {
    gtk_entry_set_text(GTK_ENTRY(entry_), address.c_str());
  };
  // No edit pane yet: the page is done once its edit copy is written.
  browse.NavigationComplete = [this] {
    state_.EditTabPreparing = false;
    browse_->Control().SetStatusText("Done", 100, 100);
  };
  browse.PageCantBeDisplayed = [this] { browse_->Control().SetStatusText("Done", 100, 100); };
  browse_->View().SetHomePage(homePage);
}

MainWindow::~MainWindow() {
  g_signal_handlers_disconnect_by_data(entry_, this);
  g_signal_handlers_disconnect_by_data(window_.get(), this);
  gtk_container_remove(GTK_CONTAINER(box_), browse_->Widget());
  browse_.reset();
  gtk_widget_destroy(window_.get());
}

void MainWindow::Show() {
  gtk_widget_show_all(window_.get());
  browse_->Control().GoHome();
  gtk_widget_grab_focus(browse_->View().Widget());
}

std::string MainWindow::AddressText() const { return gtk_entry_get_text(GTK_ENTRY(entry_)); }

void MainWindow::EnterAddress(const std::string& typed) {
  const std::string address = TypedAddress(typed);
  if (address.empty()) return;
  gtk_entry_set_text(GTK_ENTRY(entry_), address.c_str());
  BrowseControl& browse = browse_->Control();
  browse.StopBrowser();
  browse.Navigate(address);
  gtk_widget_grab_focus(browse_->View().Widget());
}

}  // namespace pq
