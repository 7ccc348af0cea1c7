#pragma once
#include <atk/atk.h>
#include <gtk/gtk.h>

#include <string>

namespace pq::skin {

// A drawing area that assistive technologies (ATK/AT-SPI) see as a control with a role and a
// name, and that they can press: the picture buttons, window images and tab headers are drawn
// by the program, so they say themselves what they are.
GtkWidget* NewAccessibleArea();

void SetAccessibleRole(GtkWidget* area, AtkRole role, const std::string& name);
void SetAccessibleName(GtkWidget* area, const std::string& name);
// What a press through the accessibility interface does; nullptr stops it. The call is made
// from the main loop after the request has been answered, and never while the area is
// insensitive.
void SetAccessiblePress(GtkWidget* area, void (*press)(gpointer data), gpointer data);
// A page tab reports itself selected.
void SetAccessibleSelected(GtkWidget* area, bool selected);

}  // namespace pq::skin
