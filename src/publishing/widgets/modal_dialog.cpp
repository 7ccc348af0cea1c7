#include "publishing/widgets/modal_dialog.h"

#include "core/data_folder.h"
#include "engine/gobject_ptr.h"
#include "engine/picture_file.h"
#include "engine/signal_connection.h"

namespace pq {

namespace {
// The frame's buttons are the window manager's: it is asked for title, border and close only.
void OnRealize(GtkWidget* dialog, gpointer) {
  GdkWindow* window = gtk_widget_get_window(dialog);
  if (!window) return;
  gdk_window_set_decorations(window, GdkWMDecoration(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
  gdk_window_set_functions(window, GdkWMFunction(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
}
}  // namespace

void MakeModal(GtkWindow* dialog, GtkWindow* parent) {
  gtk_window_set_modal(dialog, TRUE);
  gtk_window_set_resizable(dialog, FALSE);
  gtk_window_set_type_hint(dialog, GDK_WINDOW_TYPE_HINT_DIALOG);
  if (parent) {
    gtk_window_set_transient_for(dialog, parent);
    gtk_window_set_destroy_with_parent(dialog, TRUE);
  }
  gtk_window_set_position(dialog, parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  engine::ConnectWithoutData(dialog, "realize", G_CALLBACK(OnRealize), G_CONNECT_AFTER);
}

engine::ToplevelPtr NewModalDialog(const char* title, GtkWindow* parent) {
  engine::ToplevelPtr dialog(gtk_dialog_new());
  gtk_window_set_title(GTK_WINDOW(dialog.get()), title);
  MakeModal(GTK_WINDOW(dialog.get()), parent);
  return dialog;
}

int RunModal(GtkWidget* dialog, GtkWidget* focus) {
  gtk_widget_show_all(dialog);
  if (focus) gtk_widget_grab_focus(focus);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_hide(dialog);
  return response;
}

GtkWidget* PublishingPicture(const std::string& name, GtkWindow* parent, int size) {
  const int scale = parent ? gtk_widget_get_scale_factor(GTK_WIDGET(parent)) : 1;
  const std::string path = DataFolder() + "/publishing/" + name + ".svg";
  engine::GObjectPtr<GdkPixbuf> pixbuf(engine::LoadPicture(path, size * scale, size * scale));
  GtkWidget* image = gtk_image_new();
  if (pixbuf) {
    cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(pixbuf.get(), scale, nullptr);
    gtk_image_set_from_surface(GTK_IMAGE(image), surface);
    cairo_surface_destroy(surface);
  }
  return image;
}

}  // namespace pq
