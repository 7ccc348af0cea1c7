#pragma once
// The browse pane's test window: an address entry (Enter navigates) above the browse pane,
// with no edit pane, so that a page is done once its edit copy is written.
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/http_fetch.h"
#include "shell/typed_address.h"
#include "pageprep/frame_table.h"
#include "shell/widgets/browse_control_widget.h"
#include "core/window_state.h"

namespace pqtest {

class BrowseTestWindow {
 public:
  explicit BrowseTestWindow(const std::string& homePage);
  ~BrowseTestWindow();
  BrowseTestWindow(const BrowseTestWindow&) = delete;
  BrowseTestWindow& operator=(const BrowseTestWindow&) = delete;

  void Show();
  GtkWidget* Window() const { return window_.get(); }
  pq::BrowseControlWidget& Browse() { return *browse_; }
  pq::WindowState& State() { return state_; }
  pq::FrameTable& Frames() { return frames_; }
  std::string AddressText() const;
  void EnterAddress(const std::string& address);

  std::function<void()> Closed;  // the user closed the window

 private:
  pq::WindowState state_;
  pq::FrameTable frames_;
  pq::engine::GObjectPtr<GtkWidget> window_;
  GtkWidget* entry_ = nullptr;
  GtkWidget* box_ = nullptr;
  std::unique_ptr<pq::BrowseControlWidget> browse_;
};

namespace browse_test_window {

inline void OnActivate(GtkEntry* entry, gpointer data) {
  static_cast<BrowseTestWindow*>(data)->EnterAddress(gtk_entry_get_text(entry));
}

// Only web addresses go to the network; other pages (the bundled start page) are taken as the
// engine shows them.
inline pq::FetchedPage FetchWebPage(const std::string& url) {
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return {};
  return pq::engine::FetchPage(url);
}

inline gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<BrowseTestWindow*>(data);
  if (self->Closed) self->Closed();
  return TRUE;  // the owner ends the program; the window goes with its owner
}

}  // namespace browse_test_window

inline BrowseTestWindow::BrowseTestWindow(const std::string& homePage)
    : window_(pq::engine::GObjectPtr<GtkWidget>::Ref(gtk_window_new(GTK_WINDOW_TOPLEVEL))) {
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
  g_signal_connect(entry_, "activate", G_CALLBACK(browse_test_window::OnActivate), this);

  browse_ = std::make_unique<pq::BrowseControlWidget>(state_, frames_, browse_test_window::FetchWebPage);
  gtk_box_pack_start(GTK_BOX(box_), browse_->Widget(), TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(win), box_);
  g_signal_connect(win, "delete-event", G_CALLBACK(browse_test_window::OnDelete), this);

  pq::BrowseControl& browse = browse_->Control();
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

inline BrowseTestWindow::~BrowseTestWindow() {
  g_signal_handlers_disconnect_by_data(entry_, this);
  g_signal_handlers_disconnect_by_data(window_.get(), this);
  gtk_container_remove(GTK_CONTAINER(box_), browse_->Widget());
  browse_.reset();
  gtk_widget_destroy(window_.get());
}

inline void BrowseTestWindow::Show() {
  gtk_widget_show_all(window_.get());
  browse_->Control().GoHome();
  gtk_widget_grab_focus(browse_->View().Widget());
}

inline std::string BrowseTestWindow::AddressText() const { return gtk_entry_get_text(GTK_ENTRY(entry_)); }

inline void BrowseTestWindow::EnterAddress(const std::string& typed) {
  const std::string address = pq::TypedAddress(typed);
  if (address.empty()) return;
  gtk_entry_set_text(GTK_ENTRY(entry_), address.c_str());
  pq::BrowseControl& browse = browse_->Control();
  browse.StopBrowser();
  browse.Navigate(address);
  gtk_widget_grab_focus(browse_->View().Widget());
}

}  // namespace pqtest
