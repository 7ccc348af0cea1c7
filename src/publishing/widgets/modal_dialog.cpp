#include "publishing/widgets/modal_dialog.h"

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
  // No data: the handler needs nothing that could go before the dialog.
  g_signal_connect_after(dialog, "realize", G_CALLBACK(OnRealize), nullptr);
}

}  // namespace pq
