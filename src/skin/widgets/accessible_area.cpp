#include "skin/widgets/accessible_area.h"

#include <gtk/gtk-a11y.h>

#include "engine/source_id.h"

namespace {

constexpr const char* kPress = "pq-a11y-press";
constexpr const char* kPressData = "pq-a11y-press-data";
constexpr const char* kSelected = "pq-a11y-selected";
constexpr const char* kPressIdle = "pq-a11y-press-idle";

// --- the area: a drawing area whose accessible is PqAreaAccessible

struct PqArea {
  GtkDrawingArea parent;
};
struct PqAreaClass {
  GtkDrawingAreaClass parent_class;
};

// --- its accessible: a widget accessible with one action, "press"

struct PqAreaAccessible {
  GtkWidgetAccessible parent;
};
struct PqAreaAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};

GType pq_area_accessible_get_type();
void pq_area_accessible_action_init(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(PqAreaAccessible, pq_area_accessible, GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, pq_area_accessible_action_init))

G_DEFINE_TYPE(PqArea, pq_area, GTK_TYPE_DRAWING_AREA)

GtkWidget* WidgetOf(gpointer accessible) {
  return gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
}

// Presses asked for and not yet run. They belong to the widget: they go when it does.
struct PendingPresses {
  GtkWidget* widget = nullptr;
  int count = 0;
  pq::engine::SourceId idle;
};

gboolean RunPress(gpointer data) {
  auto* pending = static_cast<PendingPresses*>(data);
  GtkWidget* widget = pending->widget;
  const bool more = --pending->count > 0;
  if (!more) pending->idle.Reset();
  auto press = reinterpret_cast<void (*)(gpointer)>(g_object_get_data(G_OBJECT(widget), kPress));
  if (press && gtk_widget_is_sensitive(widget) && gtk_widget_get_mapped(widget))
    press(g_object_get_data(G_OBJECT(widget), kPressData));
  return more ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void QueuePress(GtkWidget* widget) {
  auto* pending = static_cast<PendingPresses*>(g_object_get_data(G_OBJECT(widget), kPressIdle));
  if (!pending) {
    pending = new PendingPresses;
    pending->widget = widget;
    g_object_set_data_full(G_OBJECT(widget), kPressIdle, pending,
                           [](gpointer p) { delete static_cast<PendingPresses*>(p); });
  }
  if (pending->count++ == 0) pending->idle.StartIdle(RunPress, pending);
}

gboolean DoAction(AtkAction* action, gint i) {
  GtkWidget* widget = WidgetOf(action);
  if (i != 0 || !widget || !gtk_widget_is_sensitive(widget)) return FALSE;
  if (!g_object_get_data(G_OBJECT(widget), kPress)) return FALSE;
  // Answer the request first: a press may open a modal dialog.
  QueuePress(widget);
  return TRUE;
}
gint NActions(AtkAction* action) {
  GtkWidget* widget = WidgetOf(action);
  return widget && g_object_get_data(G_OBJECT(widget), kPress) ? 1 : 0;
}
const gchar* ActionName(AtkAction*, gint i) { return i == 0 ? "press" : nullptr; }
const gchar* ActionDescription(AtkAction*, gint i) { return i == 0 ? "Presses the control" : nullptr; }

void pq_area_accessible_action_init(AtkActionIface* iface) {
  iface->do_action = DoAction;
  iface->get_n_actions = NActions;
  iface->get_name = ActionName;
  iface->get_description = ActionDescription;
}

AtkStateSet* RefStateSet(AtkObject* object) {
  AtkStateSet* set = ATK_OBJECT_CLASS(pq_area_accessible_parent_class)->ref_state_set(object);
  GtkWidget* widget = WidgetOf(object);
  if (widget && atk_object_get_role(object) == ATK_ROLE_PAGE_TAB) {
    if (gtk_widget_is_sensitive(widget)) atk_state_set_add_state(set, ATK_STATE_SELECTABLE);
    if (g_object_get_data(G_OBJECT(widget), kSelected))
      atk_state_set_add_state(set, ATK_STATE_SELECTED);
  }
  return set;
}

void pq_area_accessible_class_init(PqAreaAccessibleClass* klass) {
  ATK_OBJECT_CLASS(klass)->ref_state_set = RefStateSet;
}
void pq_area_accessible_init(PqAreaAccessible*) {}

void pq_area_class_init(PqAreaClass* klass) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), pq_area_accessible_get_type());
}
void pq_area_init(PqArea*) {}

}  // namespace

namespace pq::skin {

GtkWidget* NewAccessibleArea() { return GTK_WIDGET(g_object_new(pq_area_get_type(), nullptr)); }

void SetAccessibleRole(GtkWidget* area, AtkRole role, const std::string& name) {
  AtkObject* a = gtk_widget_get_accessible(area);
  atk_object_set_role(a, role);
  atk_object_set_name(a, name.c_str());
}

void SetAccessibleName(GtkWidget* area, const std::string& name) {
  atk_object_set_name(gtk_widget_get_accessible(area), name.c_str());
}

void SetAccessiblePress(GtkWidget* area, void (*press)(gpointer), gpointer data) {
  g_object_set_data(G_OBJECT(area), kPress, reinterpret_cast<gpointer>(press));
  g_object_set_data(G_OBJECT(area), kPressData, press ? data : nullptr);
}

void SetAccessibleSelected(GtkWidget* area, bool selected) {
  if (static_cast<bool>(g_object_get_data(G_OBJECT(area), kSelected)) == selected) return;
  g_object_set_data(G_OBJECT(area), kSelected, selected ? GINT_TO_POINTER(1) : nullptr);
  atk_object_notify_state_change(gtk_widget_get_accessible(area), ATK_STATE_SELECTED, selected);
}

}  // namespace pq::skin
