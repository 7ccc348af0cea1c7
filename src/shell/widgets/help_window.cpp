#include "shell/widgets/help_window.h"

#include <gtk/gtk.h>

#include "core/data_folder.h"

namespace pq {

std::string UserGuideAddress() {
  return "file://" + DataFolder() + "/help/website/using.htm";
}

HelpWindow::HelpWindow(const std::string& page)
    : page_(page),
      window_(engine::GObjectPtr<GtkWidget>::Ref(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      view_(engine::WebView::Options{true, false}) {
  GtkWindow* win = GTK_WINDOW(window_.get());
  gtk_window_set_title(win, "Pagequill Help");
  gtk_window_set_default_size(win, 860, 680);
  gtk_window_set_position(win, GTK_WIN_POS_CENTER_ON_PARENT);
  gtk_container_add(GTK_CONTAINER(win), view_.Widget());
  // Closing hides it, so that the next Help shows it again.
  g_signal_connect(win, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  // The help's links stay within the help; a link to the web is not followed.
  view_.BeforeNavigate = [](const engine::WebView::NavigationRequest& r, bool& cancel) {
    if (r.url.rfind("file://", 0) != 0 && r.url.rfind("about:", 0) != 0) cancel = true;
  };
}

HelpWindow::~HelpWindow() {
  view_.BeforeNavigate = nullptr;
  gtk_container_remove(GTK_CONTAINER(window_.get()), view_.Widget());
  gtk_widget_destroy(window_.get());
}

GtkWindow* HelpWindow::Window() const { return GTK_WINDOW(window_.get()); }

void HelpWindow::Present(GtkWindow* owner) {
  gtk_window_set_transient_for(Window(), owner);
  if (!gtk_widget_get_visible(window_.get()) || view_.LocationURL().empty()) view_.Navigate(page_);
  gtk_widget_show_all(window_.get());
  gtk_window_present(Window());
}

}  // namespace pq
