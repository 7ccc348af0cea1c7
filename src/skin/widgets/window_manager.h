#pragma once
#include <gtk/gtk.h>

namespace pq::skin {

// Whether a window manager (or compositor) moves and resizes windows on this display; on a
// bare X server the skin moves and resizes the window itself.
bool WindowManagerMovesWindows(GtkWidget* widget);

}  // namespace pq::skin
