#include "publishing/widgets/modal_dialog.h"

namespace pq {

void MakeModal(GtkWindow* dialog, GtkWindow* parent) {
  gtk_window_set_modal(dialog, TRUE);
  gtk_window_set_resizable(dialog, FALSE);
  if (parent) gtk_window_set_transient_for(dialog, parent);
  gtk_window_set_position(dialog, parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
}

void SetHeaderBarTitle(GtkWindow* dialog, const char* title) {
  gtk_window_set_title(dialog, title);
  GtkWidget* bar = gtk_header_bar_new();
  gtk_header_bar_set_title(GTK_HEADER_BAR(bar), title);
  gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(bar), TRUE);
  gtk_window_set_titlebar(dialog, bar);
}

}  // namespace pq
