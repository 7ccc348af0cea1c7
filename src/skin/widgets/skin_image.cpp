#include "skin/widgets/skin_image.h"

#include "skin/widgets/accessible_area.h"

#include <cmath>
#include <utility>

namespace pq::skin {

SkinImage::SkinImage(std::string name, ImageForm& images) : name_(std::move(name)), images_(images) {
  area_ = engine::GObjectPtr<GtkWidget>::Sink(NewAccessibleArea());
  SetAccessibleRole(area_.get(), ATK_ROLE_IMAGE, name_);
  gtk_widget_set_name(area_.get(), name_.c_str());
  gtk_widget_add_events(area_.get(), GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                   GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                   GDK_LEAVE_NOTIFY_MASK);
  signals_.Connect(area_.get(), "draw", G_CALLBACK(OnDraw), this);
  signals_.Connect(area_.get(), "button-press-event", G_CALLBACK(OnPress), this);
  signals_.Connect(area_.get(), "button-release-event", G_CALLBACK(OnRelease), this);
  signals_.Connect(area_.get(), "motion-notify-event", G_CALLBACK(OnMotion), this);
  signals_.Connect(area_.get(), "enter-notify-event", G_CALLBACK(OnEnter), this);
  signals_.Connect(area_.get(), "leave-notify-event", G_CALLBACK(OnLeave), this);
}

SkinImage::~SkinImage() { SetAccessiblePress(area_.get(), nullptr, nullptr); }

void SkinImage::SetAccessible(AtkRole role, const std::string& name) {
  SetAccessibleRole(area_.get(), role, name);
  SetAccessiblePress(area_.get(), +[](gpointer self) {
    auto* s = static_cast<SkinImage*>(self);
    if (s->Activate) s->Activate();
  }, this);
}

void SkinImage::SetAccessibleName(const std::string& name) {
  skin::SetAccessibleName(area_.get(), name);
}

void SkinImage::SetPicture(const std::string& picture) {
  picture_ = picture;
  auto [w, h] = images_.Size(picture);
  if (w > 0 && (w != width_ || h != height_)) {
    width_ = w;
    height_ = h;
    gtk_widget_set_size_request(area_.get(), w, h);
  }
  gtk_widget_queue_draw(area_.get());
}

gboolean SkinImage::OnDraw(GtkWidget* w, cairo_t* cr, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  if (!s->picture_.empty()) s->images_.Paint(cr, s->picture_, 0, 0, gtk_widget_get_scale_factor(w));
  return TRUE;
}

gboolean SkinImage::OnPress(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  if (e->button != 1 || e->type != GDK_BUTTON_PRESS) return TRUE;
  s->down_ = true;
  if (s->Press)
    s->Press(static_cast<int>(std::floor(e->x)), static_cast<int>(std::floor(e->y)),
             static_cast<int>(e->x_root), static_cast<int>(e->y_root));
  return TRUE;
}

gboolean SkinImage::OnRelease(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  if (e->button != 1 || !s->down_) return TRUE;
  s->down_ = false;
  if (s->Release)
    s->Release(static_cast<int>(std::floor(e->x)), static_cast<int>(std::floor(e->y)));
  return TRUE;
}

gboolean SkinImage::OnMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  if (s->Motion)
    s->Motion(static_cast<int>(std::floor(e->x)), static_cast<int>(std::floor(e->y)),
              static_cast<int>(e->x_root), static_cast<int>(e->y_root), s->down_);
  return TRUE;
}

gboolean SkinImage::OnEnter(GtkWidget*, GdkEventCrossing* e, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  // Arriving over the picture counts as the first movement over it.
  if (e->mode == GDK_CROSSING_NORMAL && s->Motion)
    s->Motion(static_cast<int>(std::floor(e->x)), static_cast<int>(std::floor(e->y)),
              static_cast<int>(e->x_root), static_cast<int>(e->y_root), s->down_);
  return FALSE;
}

gboolean SkinImage::OnLeave(GtkWidget*, GdkEventCrossing* e, gpointer self) {
  auto* s = static_cast<SkinImage*>(self);
  // Crossings caused by grabs are not the pointer leaving.
  if (e->mode == GDK_CROSSING_NORMAL && s->Leave) s->Leave();
  return FALSE;
}

}  // namespace pq::skin
