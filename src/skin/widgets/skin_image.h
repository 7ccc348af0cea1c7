#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "skin/widgets/image_form.h"

namespace pq::skin {

// A picture of the image set on the window that receives the mouse: the window images, the
// title image, tab headers. Coordinates are relative to the picture.
class SkinImage {
 public:
  explicit SkinImage(std::string name, ImageForm& images = ImageForm::Default());
  ~SkinImage();
  SkinImage(const SkinImage&) = delete;
  SkinImage& operator=(const SkinImage&) = delete;

  GtkWidget* Widget() const { return area_.get(); }
  const std::string& Name() const { return name_; }
  // Shows a picture; the widget takes the picture's size.
  void SetPicture(const std::string& picture);
  const std::string& Picture() const { return picture_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // What assistive technologies call it; it becomes a control they can press (Activate).
  void SetAccessible(AtkRole role, const std::string& name);
  void SetAccessibleName(const std::string& name);
  std::function<void()> Activate;

  std::function<void(int x, int y, int rootX, int rootY)> Press;
  std::function<void(int x, int y, int rootX, int rootY, bool buttonDown)> Motion;
  std::function<void(int x, int y)> Release;
  std::function<void()> Leave;

 private:
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnPress(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnRelease(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer self);
  static gboolean OnEnter(GtkWidget*, GdkEventCrossing*, gpointer self);
  static gboolean OnLeave(GtkWidget*, GdkEventCrossing*, gpointer self);

  std::string name_;
  ImageForm& images_;
  engine::GObjectPtr<GtkWidget> area_;
  std::string picture_;
  int width_ = 0;
  int height_ = 0;
  bool down_ = false;
  engine::SignalConnections signals_;
};

}  // namespace pq::skin
