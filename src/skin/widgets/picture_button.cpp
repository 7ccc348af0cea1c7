#include "skin/widgets/picture_button.h"

#include "skin/widgets/accessible_area.h"

namespace pq::skin {

namespace {
const std::string kNoPicture;
}

PictureButton::PictureButton(ImageForm& images) : images_(images) {
  area_ = engine::GObjectPtr<GtkWidget>::Sink(NewAccessibleArea());
  SetAccessibleRole(area_.get(), ATK_ROLE_PUSH_BUTTON, "");
  // A press through the accessibility interface is a click: insensitive buttons take none.
  SetAccessiblePress(area_.get(), +[](gpointer self) {
    auto* b = static_cast<PictureButton*>(self);
    if (b->Click) b->Click();
  }, this);
  gtk_widget_add_events(area_.get(), GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                   GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                   GDK_LEAVE_NOTIFY_MASK);
  signals_.Connect(area_.get(), "draw", G_CALLBACK(OnDraw), this);
  signals_.Connect(area_.get(), "button-press-event", G_CALLBACK(OnPress), this);
  signals_.Connect(area_.get(), "button-release-event", G_CALLBACK(OnRelease), this);
  signals_.Connect(area_.get(), "motion-notify-event", G_CALLBACK(OnMotion), this);
  signals_.Connect(area_.get(), "map", G_CALLBACK(OnMap), this);
  state_.Draw = [this](ButtonPicture) {
    if (area_.get()) gtk_widget_queue_draw(area_.get());
  };
}

PictureButton::~PictureButton() {
  SetAccessiblePress(area_.get(), nullptr, nullptr);
  overTimer_.Reset();
}

void PictureButton::SetPicture_Normal(const std::string& name) {
  normal_ = name;
  auto [w, h] = images_.Size(name);
  if (w > 0) gtk_widget_set_size_request(area_.get(), w, h);
  gtk_widget_queue_draw(area_.get());
}

void PictureButton::SetAccessibleName(const std::string& name) {
  skin::SetAccessibleName(area_.get(), name);
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
  if (gtk_widget_get_sensitive(area_.get()) != state_.Enabled())
    gtk_widget_set_sensitive(area_.get(), state_.Enabled());
  if (state_.OverTimerRunning() && !overTimer_.Active())
    overTimer_.StartTimeout(100, OnOverTimer, this);
  gtk_widget_queue_draw(area_.get());
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
  if (!name.empty()) b->images_.Paint(cr, name, 0, 0, gtk_widget_get_scale_factor(b->area_.get()));
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
  const bool click = b->state_.MouseUp(e->x, e->y, gtk_widget_get_allocated_width(b->area_.get()),
                                       gtk_widget_get_allocated_height(b->area_.get()));
  b->Sync();
  if (click && b->Click) b->Click();
  return TRUE;
}

gboolean PictureButton::OnMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  b->state_.MouseMove(e->x, e->y, gtk_widget_get_allocated_width(b->area_.get()),
                      gtk_widget_get_allocated_height(b->area_.get()));
  b->Sync();
  return TRUE;
}

bool PictureButton::PointerOverOwnWindow() const {
  GdkWindow* own = gtk_widget_get_window(area_.get());
  if (!own || !gtk_widget_get_mapped(area_.get())) return false;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(area_.get()));
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!pointer) return false;
  int x = 0, y = 0;
  GdkWindow* under = gdk_device_get_window_at_position(pointer, &x, &y);
  if (under != own) return false;
  // The drawing area shares its parent's window: the pointer must also lie within its box.
  GtkAllocation a;
  gtk_widget_get_allocation(area_.get(), &a);
  if (gtk_widget_get_has_window(area_.get())) return true;
  return x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height;
}

gboolean PictureButton::OnOverTimer(gpointer self) {
  auto* b = static_cast<PictureButton*>(self);
  b->state_.OverTimerTick(b->PointerOverOwnWindow());
  if (b->state_.OverTimerRunning()) return G_SOURCE_CONTINUE;
  b->overTimer_.Reset();
  gtk_widget_queue_draw(b->area_.get());
  return G_SOURCE_REMOVE;
}

}  // namespace pq::skin
