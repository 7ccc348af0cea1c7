#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "skin/picture_button_state.h"
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "skin/widgets/image_form.h"

namespace pq::skin {

// A button drawn entirely from four pictures of the skin image set: normal, highlighted under
// the pointer, pressed and disabled. Raises Click on a release over it; watches for the
// pointer leaving with a 100 ms timer.
class PictureButton {
 public:
  explicit PictureButton(ImageForm& images = ImageForm::Default());
  ~PictureButton();
  PictureButton(const PictureButton&) = delete;
  PictureButton& operator=(const PictureButton&) = delete;

  GtkWidget* Widget() const { return area_.get(); }

  // The four pictures by name in the image set; setting the normal one repaints.
  const std::string& Picture_Normal() const { return normal_; }
  const std::string& Picture_Highlight() const { return highlight_; }
  const std::string& Picture_Pressed() const { return pressed_; }
  const std::string& Picture_Disabled() const { return disabled_; }
  void SetPicture_Normal(const std::string& name);
  void SetPicture_Highlight(const std::string& name) { highlight_ = name; }
  void SetPicture_Pressed(const std::string& name) { pressed_ = name; }
  void SetPicture_Disabled(const std::string& name) { disabled_ = name; }
  bool EnabledOnStartup() const { return state_.EnabledOnStartup; }
  void SetEnabledOnStartup(bool on) { state_.EnabledOnStartup = on; }
  // The four pictures named `name` + "Normal", "Highlight", "Pressed", "Disabled"; `name` is
  // also what assistive technologies call the button.
  void SetPictures(const std::string& name);
  void SetAccessibleName(const std::string& name);

  void Disable();
  void enable();
  void RefreshImage();
  void TmpDisable();
  void TmpEnable();

  std::function<void()> Click;

  const PictureButtonState& State() const { return state_; }
  // The name of the picture on show ("" for none).
  const std::string& ShownPicture() const;

 private:
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnPress(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnRelease(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer self);
  static void OnMap(GtkWidget*, gpointer self);
  static gboolean OnOverTimer(gpointer self);
  void Sync();
  bool PointerOverOwnWindow() const;

  ImageForm& images_;
  engine::GObjectPtr<GtkWidget> area_;
  PictureButtonState state_;
  std::string normal_, highlight_, pressed_, disabled_;
  bool shownOnce_ = false;
  engine::SourceId overTimer_;
  engine::SignalConnections signals_;
};

}  // namespace pq::skin
