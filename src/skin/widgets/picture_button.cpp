#include "skin/widgets/picture_button.h"

#include "skin/widgets/accessible_area.h"

namespace pq::skin {

namespace {
const std::string kNoPicture;
}

PictureButton::PictureButton(ImageForm& images) : images_(images) {
  area_ = NewAccessibleArea();
  g_object_ref_sink(area_);
  SetAccessibleRole(area_, ATK_ROLE_PUSH_BUTTON, "");
  // A press through the accessibility interface is a click: insensitive buttons take none.
  SetAccessiblePress(area_, +[](gpointer self) {
    auto* b = static_cast<PictureButton*>(self);
    if (b->Click) b->Click();
  }, this);
  gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                   GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                   GDK_LEAVE_NOTIFY_MASK);
  g_signal_connect(area_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(OnPress), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(OnRelease), this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(area_, "map", G_CALLBACK(OnMap), this);
  state_.Draw = [this](ButtonPicture) {
    if (area_) gtk_widget_queue_draw(area_);
  };
}

PictureButton::~PictureButton() {
  SetAccessiblePress(area_, nullptr, nullptr);
  if (overTimer_) g_source_remove(overTimer_);
  g_signal_handlers_disconnect_by_data(area_, this);
  g_object_unref(area_);
}

void PictureButton::SetPicture_Normal(const std::string& name) {
  normal_ = name;
  auto [w, h] = images_.Size(name);
  if (w > 0) gtk_widget_set_size_request(area_, w, h);
  gtk_widget_queue_draw(area_);
}

void PictureButton::SetAccessibleName(const std::string& name) {
  skin::SetAccessibleName(area_, name);
}

void PictureButton::SetPictures(const std::string& name) {
  SetAccessibleName(name);
  SetPicture_Highlight(name + "Highlight");
  SetPicture_Pressed(name + "Pressed");
  SetPicture_Disabled(name + "Disabled");
  SetPicture_Normal(name + "Normal");
}

const std::string& PictureButton::ShownPicture() const {
  switch (state_.Drawn()) {
    case ButtonPicture::Normal: return normal_;
    case ButtonPicture::Highlight: return highlight_;
    case ButtonPicture::Pressed: return pressed_;
    case ButtonPicture::Disabled: return disabled_;
    case ButtonPicture::None: break;
  }
  return kNoPicture;
}

void PictureButton::Sync() {
  // The widget takes mouse input only while the button is enabled.
  if (gtk_widget_get_sensitive(area_) != state_.Enabled())
    gtk_widget_set_sensitive(area_, state_.Enabled());
  if (state_.OverTimerRunning() && !overTimer_)
    overTimer_ = g_timeout_add(100, OnOverTimer, this);
  gtk_widget_queue_draw(area_);
}

// Before the button is first shown, enabling or disabling it chooses its startup state.
void PictureButton::Disable() {
  if (!shownOnce_) state_.EnabledOnStartup = false;
  state_.Disable();
  Sync();
}
void PictureButton::enable() {
  if (!shownOnce_) state_.EnabledOnStartup = true;
  state_.enable();
  Sync();
}
void PictureButton::RefreshImage() { state_.RefreshImage(); Sync(); }
void PictureButton::TmpDisable() { state_.TmpDisable(); Sync(); }
void PictureButton::TmpEnable() { state_.TmpEnable(); Sync(); }

void PictureButton::OnMap(GtkWidget*, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  // The startup look and enabled state apply once, not at every tab switch.
  if (b->shownOnce_) return;
  b->shownOnce_ = true;
  b->state_.Shown();
  b->Sync();
}

gboolean PictureButton::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  const std::string& name = b->ShownPicture();
  if (!name.empty()) b->images_.Paint(cr, name, 0, 0, gtk_widget_get_scale_factor(b->area_));
  return TRUE;
}

gboolean PictureButton::OnPress(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  if (e->button != 1 || e->type != GDK_BUTTON_PRESS) return TRUE;
  b->state_.MouseDown();
  b->Sync();
  return TRUE;
}

gboolean PictureButton::OnRelease(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  if (e->button != 1) return TRUE;
  const bool click = b->state_.MouseUp(e->x, e->y, gtk_widget_get_allocated_width(b->area_),
                                       gtk_widget_get_allocated_height(b->area_));
  b->Sync();
  if (click && b->Click) b->Click();
  return TRUE;
}

gboolean PictureButton::OnMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  b->state_.MouseMove(e->x, e->y, gtk_widget_get_allocated_width(b->area_),
                      gtk_widget_get_allocated_height(b->area_));
  b->Sync();
  return TRUE;
}

bool PictureButton::PointerOverOwnWindow() const {
  GdkWindow* own = gtk_widget_get_window(area_);
  if (!own || !gtk_widget_get_mapped(area_)) return false;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(area_));
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!pointer) return false;
  int x = 0, y = 0;
  GdkWindow* under = gdk_device_get_window_at_position(pointer, &x, &y);
  if (under != own) return false;
  // The drawing area shares its parent's window: the pointer must also lie within its box.
  GtkAllocation a;
  gtk_widget_get_allocation(area_, &a);
  if (gtk_widget_get_has_window(area_)) return true;
  return x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height;
}

gboolean PictureButton::OnOverTimer(gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  b->state_.OverTimerTick(b->PointerOverOwnWindow());
  if (b->state_.OverTimerRunning()) return G_SOURCE_CONTINUE;
  b->overTimer_ = 0;
  gtk_widget_queue_draw(b->area_);
  return G_SOURCE_REMOVE;
}

}  // namespace pq::skin
