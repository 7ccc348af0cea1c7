#include "skin/widgets/window_manager.h"

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace pq::skin {

bool WindowManagerMovesWindows(GtkWidget* widget) {
  GdkDisplay* display = gtk_widget_get_display(widget);
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(display))
    return gdk_x11_screen_supports_net_wm_hint(gdk_display_get_default_screen(display),
                                               gdk_atom_intern_static_string("_NET_WM_MOVERESIZE"));
#endif
  (void)display;
  return true;  // elsewhere only the compositor can move a window
}

}  // namespace pq::skin
