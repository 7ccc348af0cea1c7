// Another program that copies: owns the clipboard with formatted HTML and its plain text, as a
// word processor would, until it is ended; with PLAIN empty, the HTML alone, as some browsers
// copy. Usage: clipboard_owner PLAIN HTML
#include <gtk/gtk.h>

#include <cstdio>
#include <string>

namespace {
std::string plain, html;

void Get(GtkClipboard*, GtkSelectionData* data, guint info, gpointer) {
  if (info == 1) {
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8,
                           reinterpret_cast<const guchar*>(html.data()), static_cast<gint>(html.size()));
  } else {
    gtk_selection_data_set_text(data, plain.data(), static_cast<gint>(plain.size()));
  }
}
void Clear(GtkClipboard*, gpointer) {}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || !gtk_init_check(&argc, &argv)) return 2;
  plain = argv[1];
  html = argv[2];
  GtkTargetList* list = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add(list, gdk_atom_intern_static_string("text/html"), 0, 1);
  if (!plain.empty()) gtk_target_list_add_text_targets(list, 2);
  gint count = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
  if (!gtk_clipboard_set_with_data(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), targets, static_cast<guint>(count),
                                   Get, Clear, nullptr))
    return 1;
  gtk_target_table_free(targets, count);
  gtk_target_list_unref(list);
  std::printf("ready\n");
  std::fflush(stdout);
  gtk_main();
  return 0;
}
