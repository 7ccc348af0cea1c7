#pragma once
#include <gtk/gtk.h>

#include <utility>

#include "shell/widgets/main_form_window.h"

namespace pqtest {

// The screen position of point (x, y) of widget w inside the main window (the skin window's
// position added, since the window draws its own frame).
inline std::pair<int, int> MainWindowPoint(pq::MainFormWindow& window, GtkWidget* w, int x, int y) {
  int wx = 0, wy = 0;
  gtk_widget_translate_coordinates(w, GTK_WIDGET(window.Window()), x, y, &wx, &wy);
  const pq::skin::Rect r = window.Skin().WindowRect();
  return {r.x + wx, r.y + wy};
}

}  // namespace pqtest
