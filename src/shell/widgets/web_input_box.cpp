#include "shell/widgets/web_input_box.h"

#include <cmath>

#include "shell/typed_address.h"

namespace pq {

namespace {
constexpr int kHeight = 26;
constexpr int kDropWidth = 28;

struct Colour {
  double r, g, b;
};
// The drop button in its three looks.
constexpr Colour kDropNormal{192 / 255.0, 210 / 255.0, 192 / 255.0};
constexpr Colour kDropHover{208 / 255.0, 221 / 255.0, 208 / 255.0};
constexpr Colour kDropPressed{152 / 255.0, 182 / 255.0, 152 / 255.0};
constexpr Colour kOutline{34 / 255.0, 94 / 255.0, 89 / 255.0};

void PillPath(cairo_t* cr, double x, double y, double w, double h) {
  const double r = h / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, M_PI / 2);
  cairo_arc(cr, x + r, y + r, r, M_PI / 2, 3 * M_PI / 2);
  cairo_close_path(cr);
}

const char* kEntryCss =
    "entry.pq-address { background: transparent; border: none; box-shadow: none;"
    " outline: none; min-height: 0; padding: 0 2px; color: #10302c; }"
    "treeview.pq-address-list { padding: 2px 6px; }";
}  // namespace

WebInputBox::WebInputBox(TypedAddressHistory& history, int width)
    : history_(history), width_(width) {
  root_ = engine::GObjectPtr<GtkWidget>::Sink(gtk_overlay_new());
  gtk_widget_set_size_request(root_.get(), width_, kHeight);

  picture1_ = gtk_drawing_area_new();
  gtk_widget_set_can_focus(picture1_, TRUE);
  gtk_widget_add_events(picture1_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK);
  gtk_container_add(GTK_CONTAINER(root_.get()), picture1_);
  signals_.Connect(picture1_, "draw", G_CALLBACK(OnDraw), this);
  signals_.Connect(picture1_, "button-press-event", G_CALLBACK(OnPicturePress), this);
  signals_.Connect(picture1_, "button-release-event", G_CALLBACK(OnPictureRelease), this);
  signals_.Connect(picture1_, "motion-notify-event", G_CALLBACK(OnPictureMotion), this);

  engine::GObjectPtr<GtkCssProvider> cssProvider(gtk_css_provider_new());
  GtkCssProvider* css = cssProvider.get();
  gtk_css_provider_load_from_data(css, kEntryCss, -1, nullptr);

  textBox_ = gtk_entry_new();
  gtk_widget_set_name(textBox_, "TextBox");
  gtk_entry_set_has_frame(GTK_ENTRY(textBox_), FALSE);
  gtk_style_context_add_class(gtk_widget_get_style_context(textBox_), "pq-address");
  gtk_style_context_add_provider(gtk_widget_get_style_context(textBox_), GTK_STYLE_PROVIDER(css),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_widget_set_margin_start(textBox_, kHeight / 2);
  gtk_widget_set_margin_end(textBox_, kDropWidth + 4);
  gtk_widget_set_valign(textBox_, GTK_ALIGN_CENTER);
  gtk_overlay_add_overlay(GTK_OVERLAY(root_.get()), textBox_);
  signals_.Connect(textBox_, "changed", G_CALLBACK(OnChanged), this);
  signals_.Connect(textBox_, "key-press-event", G_CALLBACK(OnKey), this);
  signals_.ConnectAfter(textBox_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
  // Leaving the box (another control, another window) closes its list.
  signals_.Connect(textBox_, "focus-out-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventFocus*, gpointer self) -> gboolean {
                     static_cast<WebInputBox*>(self)->CollapseCombo();
                     return FALSE;
                   }),
                   this);
  signals_.Connect(root_.get(), "unmap", G_CALLBACK(OnUnmap), this);

  // Combo1: the drop-down list, a popup under the box.
  store_ = engine::GObjectPtr<GtkListStore>(gtk_list_store_new(1, G_TYPE_STRING));
  list_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store_.get()));
  gtk_widget_set_name(list_, "Combo1");
  gtk_style_context_add_class(gtk_widget_get_style_context(list_), "pq-address-list");
  gtk_style_context_add_provider(gtk_widget_get_style_context(list_), GTK_STYLE_PROVIDER(css),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list_), FALSE);
  gtk_tree_view_set_activate_on_single_click(GTK_TREE_VIEW(list_), TRUE);
  gtk_tree_view_set_enable_search(GTK_TREE_VIEW(list_), FALSE);
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(list_), -1, "",
                                              gtk_cell_renderer_text_new(), "text", 0, nullptr);
  signals_.Connect(list_, "row-activated", G_CALLBACK(OnRowActivated), this);

  popup_ = engine::ToplevelPtr(gtk_window_new(GTK_WINDOW_POPUP));
  gtk_window_set_type_hint(GTK_WINDOW(popup_.get()), GDK_WINDOW_TYPE_HINT_COMBO);
  GtkWidget* frame = gtk_frame_new(nullptr);
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  // Never a scroll bar: the list shows every entry (see PlaceList).
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_NEVER);
  gtk_container_add(GTK_CONTAINER(scroller), list_);
  gtk_container_add(GTK_CONTAINER(frame), scroller);
  gtk_container_add(GTK_CONTAINER(popup_.get()), frame);
  gtk_widget_show_all(frame);

  // A press anywhere outside the box and its list closes the list.
  pressSignal_ = g_signal_lookup("button-press-event", GTK_TYPE_WIDGET);
  pressHook_ = g_signal_add_emission_hook(pressSignal_, 0, OnAnyPress, this, nullptr);

  gtk_widget_show_all(root_.get());
}

WebInputBox::~WebInputBox() {
  if (pressHook_) g_signal_remove_emission_hook(pressSignal_, pressHook_);
  timer1_.Reset();
  selectIdle_.Reset();
}

void WebInputBox::SetBackground(const GdkRGBA& BackCol) {
  background_ = BackCol;
  gtk_widget_queue_draw(picture1_);
}

void WebInputBox::RefreshList() { state_.RefreshList(history_.Slots()); }

bool WebInputBox::IsComboExpanded() const { return gtk_widget_get_visible(popup_.get()); }

void WebInputBox::SetText(const std::string& Text) {
  // Setting the same text emits no change, which would leave the flag set for the next key.
  if (Text == this->Text()) return;
  state_.settingText = true;
  gtk_entry_set_text(GTK_ENTRY(textBox_), Text.c_str());
}

std::string WebInputBox::Text() const { return gtk_entry_get_text(GTK_ENTRY(textBox_)); }

void WebInputBox::LoadHistory(const Settings& settings) {
  history_.LoadHistory(settings);
  RefreshList();
}

void WebInputBox::AddToHistory(const std::string& address, const std::string& StartPageUrl,
                               Settings& settings) {
  if (history_.AddToHistory(address, StartPageUrl, settings)) RefreshList();
  SetText(address);
}

void WebInputBox::FillList(const std::vector<std::string>& items) {
  gtk_list_store_clear(store_.get());
  for (const auto& item : items)
    gtk_list_store_insert_with_values(store_.get(), nullptr, -1, 0, item.c_str(), -1);
}

std::vector<std::string> WebInputBox::ListEntries() const {
  std::vector<std::string> out;
  GtkTreeIter it;
  GtkTreeModel* m = GTK_TREE_MODEL(store_.get());
  for (bool ok = gtk_tree_model_get_iter_first(m, &it); ok; ok = gtk_tree_model_iter_next(m, &it)) {
    gchar* s = nullptr;
    gtk_tree_model_get(m, &it, 0, &s, -1);
    out.emplace_back(s ? s : "");
    g_free(s);
  }
  return out;
}

int WebInputBox::SelectedRow() const {
  GtkTreeModel* m = nullptr;
  GtkTreeIter it;
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(list_));
  if (!gtk_tree_selection_get_selected(sel, &m, &it)) return -1;
  GtkTreePath* path = gtk_tree_model_get_path(m, &it);
  const int row = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  return row;
}

std::string WebInputBox::ListText() const {
  const int row = SelectedRow();
  const auto items = ListEntries();
  return row >= 0 && row < static_cast<int>(items.size()) ? items[row] : std::string();
}

void WebInputBox::SelectListRow(int row) {
  const int n = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store_.get()), nullptr);
  if (n == 0) return;
  row = row < 0 ? 0 : (row >= n ? n - 1 : row);
  GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
  gtk_tree_view_set_cursor(GTK_TREE_VIEW(list_), path, nullptr, FALSE);
  gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(list_), path, nullptr, FALSE, 0, 0);
  gtk_tree_path_free(path);
}

void WebInputBox::PlaceList() {
  GtkWidget* top = gtk_widget_get_toplevel(root_.get());
  GdkWindow* topWindow = gtk_widget_get_window(top);
  if (!topWindow) return;
  int ox = 0, oy = 0, x = 0, y = 0;
  gdk_window_get_origin(topWindow, &ox, &oy);
  gtk_widget_translate_coordinates(root_.get(), top, 0, 0, &x, &y);
  if (GTK_IS_WINDOW(top)) gtk_window_set_transient_for(GTK_WINDOW(popup_.get()), GTK_WINDOW(top));
  // As tall as its entries (the history holds at most 20, all shown). The list measures its
  // rows only once it is on screen, so their height is worked out here from the first entry;
  // the window then shrinks or grows to the list.
  int rowHeight = 0;
  GtkTreeIter first;
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(list_), 0);
  if (column && gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store_.get()), &first)) {
    gtk_tree_view_column_cell_set_cell_data(column, GTK_TREE_MODEL(store_.get()), &first, FALSE, FALSE);
    gtk_tree_view_column_cell_get_size(column, nullptr, nullptr, nullptr, nullptr, &rowHeight);
    int separator = 0;
    gtk_widget_style_get(list_, "vertical-separator", &separator, nullptr);
    rowHeight += separator;
  }
  const int rows = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store_.get()), nullptr);
  gtk_widget_set_size_request(list_, -1, rows * rowHeight);
  gtk_widget_set_size_request(popup_.get(), width_ - kHeight / 2, -1);
  gtk_window_resize(GTK_WINDOW(popup_.get()), 1, 1);
  gtk_window_move(GTK_WINDOW(popup_.get()), ox + x + kHeight / 4, oy + y + kHeight);
}

void WebInputBox::ExpandCombo() {
  if (gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store_.get()), nullptr) == 0) return;
  PlaceList();
  gtk_widget_show(popup_.get());
  state_.listExpanded = true;
}

void WebInputBox::CollapseCombo() {
  gtk_widget_hide(popup_.get());
  state_.listExpanded = false;
  listHasFocus_ = false;
}

void WebInputBox::RaiseEnter(const std::string& text) {
  // Blanks around an address are never part of it.
  if (Enter) Enter(TrimBlanks(text));
}

void WebInputBox::OnChanged(GtkEditable*, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  const TypingResult r = b->state_.TextChanged(b->Text());
  b->listHasFocus_ = false;
  if (r.closeFirst) b->CollapseCombo();
  if (r.refill) b->FillList(r.items);
  if (r.open) {
    b->ExpandCombo();
    // Nothing chosen yet: the first Down arrow picks the suggestion.
    gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(b->list_)));
  } else {
    b->CollapseCombo();
  }
}

gboolean WebInputBox::OnKey(GtkWidget*, GdkEventKey* e, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  const guint key = e->keyval;
  const bool enter = key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter;
  if (b->listHasFocus_) {
    // The keys of the list while the arrows have moved into it.
    if (enter) {
      const std::string chosen = b->ListText();
      b->CollapseCombo();
      b->SetText(chosen);
      gtk_widget_grab_focus(b->picture1_);
      b->RaiseEnter(chosen);
      return TRUE;
    }
    if (key == GDK_KEY_Up || key == GDK_KEY_KP_Up) {
      b->state_.arrowNavigation = true;
      if (b->ListText() == b->state_.suggestion) {
        b->listHasFocus_ = false;
        gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(b->list_)));
        gtk_editable_set_position(GTK_EDITABLE(b->textBox_), -1);
      } else {
        b->SelectListRow(b->SelectedRow() - 1);
      }
      return TRUE;
    }
    if (key == GDK_KEY_Down || key == GDK_KEY_KP_Down) {
      b->state_.arrowNavigation = true;
      b->SelectListRow(b->SelectedRow() + 1);
      return TRUE;
    }
    // Any other key goes back to the text box.
    b->listHasFocus_ = false;
  }
  if (enter) {
    b->CollapseCombo();
    const std::string text = b->Text();
    gtk_widget_grab_focus(b->picture1_);
    b->RaiseEnter(text);
    return TRUE;
  }
  if ((key == GDK_KEY_Down || key == GDK_KEY_KP_Down) && b->IsComboExpanded()) {
    b->state_.arrowNavigation = true;
    b->listHasFocus_ = true;
    // The list's text becomes the suggestion, or its first entry when the list shows history.
    const auto items = b->ListEntries();
    int row = 0;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == b->state_.suggestion) {
        row = static_cast<int>(i);
        break;
      }
    b->SelectListRow(row);
    return TRUE;
  }
  if (key == GDK_KEY_Escape && b->IsComboExpanded()) {
    b->CollapseCombo();
    return TRUE;
  }
  return FALSE;
}

gboolean WebInputBox::OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  gtk_editable_select_region(GTK_EDITABLE(b->textBox_), 0, -1);
  // A click that gave the focus places the caret after this; select again once it has.
  if (!b->selectIdle_.Active())
    b->selectIdle_.StartIdle(
        [](gpointer data) -> gboolean {
          auto* box = static_cast<WebInputBox*>(data);
          box->selectIdle_.Reset();
          if (gtk_widget_has_focus(box->textBox_))
            gtk_editable_select_region(GTK_EDITABLE(box->textBox_), 0, -1);
          return G_SOURCE_REMOVE;
        },
        b);
  return FALSE;
}

void WebInputBox::OnRowActivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*,
                                 gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  // Arrow keys move the selection without a click here, so every activation is the mouse's.
  b->state_.arrowNavigation = false;
  if (!b->state_.listExpanded) return;
  const auto items = b->ListEntries();
  const int row = gtk_tree_path_get_indices(path)[0];
  if (row < 0 || row >= static_cast<int>(items.size())) return;
  const std::string chosen = items[row];
  b->CollapseCombo();
  b->SetText(chosen);
  gtk_widget_grab_focus(b->picture1_);
  b->RaiseEnter(chosen);
}

bool WebInputBox::OverDropButton(double x) const {
  return x >= gtk_widget_get_allocated_width(picture1_) - kDropWidth;
}

void WebInputBox::SetDropLook(DropLook look) {
  if (look == dropLook_) return;
  dropLook_ = look;
  gtk_widget_queue_draw(picture1_);
}

gboolean WebInputBox::OnPicturePress(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  if (e->button != 1 || e->type != GDK_BUTTON_PRESS) return TRUE;
  if (!b->OverDropButton(e->x)) {
    gtk_widget_grab_focus(b->textBox_);
    return TRUE;
  }
  b->SetDropLook(DropLook::Pressed);
  b->FillList(b->history_.Entries());
  b->ExpandCombo();
  gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(b->list_)));
  gtk_widget_grab_focus(b->textBox_);
  return TRUE;
}

gboolean WebInputBox::OnPictureRelease(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  if (b->dropLook_ == DropLook::Pressed)
    b->SetDropLook(b->OverDropButton(e->x) && e->y >= 0 && e->y < kHeight ? DropLook::Hover
                                                                          : DropLook::Normal);
  return TRUE;
}

gboolean WebInputBox::OnPictureMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  if (e->state & GDK_BUTTON1_MASK) return TRUE;
  if (b->OverDropButton(e->x)) {
    if (!b->state_.dropButtonLit) {
      b->state_.dropButtonLit = true;
      b->SetDropLook(DropLook::Hover);
      if (!b->timer1_.Active()) b->timer1_.StartTimeout(100, OnTimer, b);
    }
  } else {
    b->state_.dropButtonLit = false;
    b->SetDropLook(DropLook::Normal);
  }
  return TRUE;
}

bool WebInputBox::PointerOverPicture() const {
  GdkWindow* own = gtk_widget_get_window(picture1_);
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(picture1_));
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!own || !pointer) return false;
  return gdk_device_get_window_at_position(pointer, nullptr, nullptr) == own;
}

gboolean WebInputBox::OnTimer(gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  if (b->PointerOverPicture()) return G_SOURCE_CONTINUE;
  b->timer1_.Reset();
  b->state_.dropButtonLit = false;
  b->SetDropLook(DropLook::Normal);
  return G_SOURCE_REMOVE;
}

gboolean WebInputBox::OnAnyPress(GSignalInvocationHint*, guint n, const GValue* values,
                                 gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  if (!b->state_.listExpanded || n == 0) return TRUE;
  GObject* obj = static_cast<GObject*>(g_value_get_object(&values[0]));
  if (!GTK_IS_WIDGET(obj)) return TRUE;
  GtkWidget* w = GTK_WIDGET(obj);
  if (gtk_widget_get_toplevel(w) == b->popup_.get() || w == b->picture1_ || w == b->textBox_ ||
      w == b->root_.get())
    return TRUE;
  b->CollapseCombo();
  return TRUE;
}

void WebInputBox::OnUnmap(GtkWidget*, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  b->CollapseCombo();
  b->state_.Reset();
  b->dropLook_ = DropLook::Normal;
}

gboolean WebInputBox::OnDraw(GtkWidget* w, cairo_t* cr, gpointer self) {
  auto* b = static_cast<WebInputBox*>(self);
  const double width = gtk_widget_get_allocated_width(w);
  const double height = gtk_widget_get_allocated_height(w);
  gdk_cairo_set_source_rgba(cr, &b->background_);
  cairo_paint(cr);
  // The rounded frame: top and bottom lines joined by two half circles.
  PillPath(cr, 0.5, 0.5, width - 1, height - 1);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  // The drop button: its half circle and the blank rectangle that joins it to the box.
  const Colour c = b->dropLook_ == DropLook::Hover     ? kDropHover
                   : b->dropLook_ == DropLook::Pressed ? kDropPressed
                                                       : kDropNormal;
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_rectangle(cr, width - kDropWidth, 0, kDropWidth, height);
  cairo_fill(cr);
  cairo_restore(cr);
  PillPath(cr, 0.5, 0.5, width - 1, height - 1);
  cairo_set_source_rgb(cr, kOutline.r, kOutline.g, kOutline.b);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, width - kDropWidth + 0.5, 1);
  cairo_line_to(cr, width - kDropWidth + 0.5, height - 1);
  cairo_set_source_rgba(cr, kOutline.r, kOutline.g, kOutline.b, 0.5);
  cairo_stroke(cr);
  // The arrow of the drop button.
  const double cx = width - kDropWidth / 2.0 - 1, cy = height / 2.0 + 1;
  cairo_move_to(cr, cx - 5, cy - 3);
  cairo_line_to(cr, cx + 5, cy - 3);
  cairo_line_to(cr, cx, cy + 3);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, kOutline.r, kOutline.g, kOutline.b);
  cairo_fill(cr);
  return TRUE;
}

}  // namespace pq
