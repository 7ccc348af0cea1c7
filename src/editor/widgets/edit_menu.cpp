#include "editor/widgets/edit_menu.h"

#include <gtk/gtk.h>

#include <memory>

namespace pq {

namespace {

GtkWidget* AddItem(GtkWidget* menu, const char* caption, std::function<void()>* handler,
                   engine::SignalConnections& signals) {
  GtkWidget* item = gtk_menu_item_new_with_label(caption);
  signals.Connect(item, "activate", G_CALLBACK(+[](GtkMenuItem*, gpointer data) {
                    auto* run = static_cast<std::function<void()>*>(data);
                    if (*run) (*run)();
                  }),
                  handler);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  return item;
}

}  // namespace

EditMenu::EditMenu() : menu_(engine::GObjectPtr<GtkWidget>::Sink(gtk_menu_new())) {
  cut_ = AddItem(menu_.get(), "Cut", &Cut, signals_);
  copy_ = AddItem(menu_.get(), "Copy", &Copy, signals_);
  paste_ = AddItem(menu_.get(), "Paste", &Paste, signals_);
  gtk_widget_show_all(menu_.get());
}

EditMenu::~EditMenu() {
  signals_.DisconnectAll();
  GtkMenu* menu = GTK_MENU(menu_.get());
  gtk_menu_popdown(menu);
  if (gtk_menu_get_attach_widget(menu)) gtk_menu_detach(menu);
  gtk_widget_destroy(menu_.get());
}

GtkWidget* EditMenu::Menu_Edit() const { return menu_.get(); }

void EditMenu::SetCutEnabled(bool enabled) { gtk_widget_set_sensitive(cut_, enabled); }
void EditMenu::SetCopyEnabled(bool enabled) { gtk_widget_set_sensitive(copy_, enabled); }
void EditMenu::SetPasteEnabled(bool enabled) { gtk_widget_set_sensitive(paste_, enabled); }

void EditMenu::Popup(GtkWidget* over, int x, int y) {
  GtkMenu* menu = GTK_MENU(menu_.get());
  if (!gtk_menu_get_attach_widget(menu) && over) gtk_menu_attach_to_widget(menu, over, nullptr);
  GdkWindow* window = over ? gtk_widget_get_window(over) : nullptr;
  if (!window) {
    gtk_menu_popup_at_pointer(menu, nullptr);
    return;
  }
  GtkAllocation a;
  gtk_widget_get_allocation(over, &a);
  // A widget without a window of its own has its allocation in the parent window's space.
  if (!gtk_widget_get_has_window(over)) {
    x += a.x;
    y += a.y;
  }
  const GdkRectangle at{x, y, 1, 1};
  // The menu is asked for by the page, outside any GTK event: it gets a press of its own to
  // take the pointer with.
  std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> press(gdk_event_new(GDK_BUTTON_PRESS), gdk_event_free);
  press->button.window = GDK_WINDOW(g_object_ref(window));
  press->button.button = 3;
  press->button.time = gtk_get_current_event_time();
  gdk_event_set_device(press.get(), gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
  gtk_menu_popup_at_rect(menu, window, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, press.get());
}

bool EditMenu::Visible() const { return gtk_widget_get_visible(menu_.get()); }

}  // namespace pq
