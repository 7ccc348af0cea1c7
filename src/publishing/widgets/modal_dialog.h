#pragma once
#include <gtk/gtk.h>

namespace pq {

// The publishing dialogs' window: modal, fixed in size, centred on parent (on the screen
// without one).
void MakeModal(GtkWindow* dialog, GtkWindow* parent);

// The title in a header bar with a close button, as the notices after publishing show it.
void SetHeaderBarTitle(GtkWindow* dialog, const char* title);

}  // namespace pq
