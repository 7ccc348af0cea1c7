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
  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  gtk_container_set_border_width(GTK_CONTAINER(bar), 4);
  back_ = gtk_button_new_from_icon_name("go-previous", GTK_ICON_SIZE_BUTTON);
  forward_ = gtk_button_new_from_icon_name("go-next", GTK_ICON_SIZE_BUTTON);
  gtk_button_set_label(GTK_BUTTON(back_), "Back");
  gtk_button_set_label(GTK_BUTTON(forward_), "Forward");
  gtk_button_set_always_show_image(GTK_BUTTON(back_), TRUE);
  gtk_button_set_always_show_image(GTK_BUTTON(forward_), TRUE);
  gtk_widget_set_name(back_, "HelpBack");
  gtk_widget_set_name(forward_, "HelpForward");
  gtk_widget_set_tooltip_text(back_, "Back (Alt+Left)");
  gtk_widget_set_tooltip_text(forward_, "Forward (Alt+Right)");
  gtk_box_pack_start(GTK_BOX(bar), back_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(bar), forward_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), bar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), view_.Widget(), TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(win), column);
  signals_.Connect(back_, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                     static_cast<HelpWindow*>(self)->view_.GoBack();
                   }), this);
  signals_.Connect(forward_, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                     static_cast<HelpWindow*>(self)->view_.GoForward();
                   }), this);
  signals_.Connect(win, "key-press-event", G_CALLBACK(OnKey), this);
  view_.NavigateComplete = [this](const FramePath& frame, const std::string&) {
    if (frame.empty()) UpdateButtons();
  };
  UpdateButtons();
  // Closing hides it, so that the next Help shows it again.
  signals_.Connect(win, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  // The help's links stay within the help; a link to the web is not followed.
  view_.BeforeNavigate = [](const engine::WebView::NavigationRequest& r, bool& cancel) {
    if (r.url.rfind("file://", 0) != 0 && r.url.rfind("about:", 0) != 0) cancel = true;
  };
}

HelpWindow::~HelpWindow() {
  view_.BeforeNavigate = nullptr;
  view_.NavigateComplete = nullptr;
  signals_.DisconnectAll();
  gtk_container_remove(GTK_CONTAINER(gtk_widget_get_parent(view_.Widget())), view_.Widget());
  gtk_widget_destroy(window_.get());
}

GtkWindow* HelpWindow::Window() const { return GTK_WINDOW(window_.get()); }

void HelpWindow::UpdateButtons() {
  gtk_widget_set_sensitive(back_, view_.CanGoBack());
  gtk_widget_set_sensitive(forward_, view_.CanGoForward());
}

gboolean HelpWindow::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* help = static_cast<HelpWindow*>(self);
  if (!(event->state & GDK_MOD1_MASK)) return FALSE;
  if (event->keyval == GDK_KEY_Left && help->view_.CanGoBack()) {
    help->view_.GoBack();
    return TRUE;
  }
  if (event->keyval == GDK_KEY_Right && help->view_.CanGoForward()) {
    help->view_.GoForward();
    return TRUE;
  }
  return FALSE;
}

void HelpWindow::Present(GtkWindow* owner, const std::string& page) {
  gtk_window_set_transient_for(Window(), owner);
  if (!page.empty())
    view_.Navigate(page);
  else if (!gtk_widget_get_visible(window_.get()) || view_.LocationURL().empty())
    view_.Navigate(page_);
  gtk_widget_show_all(window_.get());
  gtk_window_present(Window());
}

}  // namespace pq
