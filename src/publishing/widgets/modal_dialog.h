#pragma once
#include <gtk/gtk.h>

namespace pq {

// Every dialog of the program: modal and transient for its parent (the main window, or the
// dialog it opens from), centred on it (on the screen without one), fixed in size, and framed
// by the window manager as a dialog, with a title and a close button but no minimise or maximise.
void MakeModal(GtkWindow* dialog, GtkWindow* parent);

}  // namespace pq
