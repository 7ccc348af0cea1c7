#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include "skin/widgets/cairo_ref.h"

namespace pq::skin {

// The shape of a picture: every pixel whose colour differs from the top-left pixel's.
RegionRef RegionFromPixbuf(GdkPixbuf* picture);

// Gives a window the shape of a picture (the splash, for example).
void ShapeWindowFromPicture(GtkWidget* window, GdkPixbuf* picture);

}  // namespace pq::skin
