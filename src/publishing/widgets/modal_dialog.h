#pragma once
#include <gtk/gtk.h>

#include <string>

#include "engine/toplevel_ptr.h"

namespace pq {

// Every dialog of the program: modal and transient for its parent (the main window, or the
// dialog it opens from), centred on it (on the screen without one), fixed in size, and framed
// by the window manager as a dialog, with a title and a close button but no minimise or maximise.
void MakeModal(GtkWindow* dialog, GtkWindow* parent);

// A new dialog with that title, made modal for parent, destroyed when the pointer goes.
engine::ToplevelPtr NewModalDialog(const char* title, GtkWindow* parent);

// Shows the dialog with the focus on `focus` and runs it until it is answered; hidden again
// afterwards. Answers the response.
int RunModal(GtkWidget* dialog, GtkWidget* focus);

// A square picture of the publishing dialogs (data/publishing/<name>.svg), drawn at the
// parent's scale so it stays sharp on a dense screen; an empty image when it cannot be loaded.
GtkWidget* PublishingPicture(const std::string& name, GtkWindow* parent, int size);

}  // namespace pq
