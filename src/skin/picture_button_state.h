#pragma once
#include <functional>
#include <string>

namespace pq::skin {

enum class ButtonPicture { None, Normal, Highlight, Pressed, Disabled };

// The looks and enabled states of a four-picture button, apart from any drawing: which picture
// is shown, whether the leave-watching timer runs, when a click counts.
class PictureButtonState {
 public:
  // Called with every picture drawn.
  std::function<void(ButtonPicture)> Draw;

  bool EnabledOnStartup = true;

  // The button is shown: picks the startup picture and enabled state.
  void Shown();

  // Mouse events with (x, y) relative to the button of size (w, h). A disabled button gets none.
  void MouseDown();
  void MouseMove(double x, double y, int w, int h);
  // Answers whether the release raises Click.
  bool MouseUp(double x, double y, int w, int h);
  // Leave watch: `pointerOverButton` tells whether the window under the pointer is the button's.
  void OverTimerTick(bool pointerOverButton);

  void Disable();
  void enable();
  void RefreshImage();
  void TmpDisable();
  void TmpEnable();

  bool Enabled() const { return enabled_; }
  bool TemporarilyDisabled() const { return tmpDisabled_; }
  bool OverTimerRunning() const { return overTimer_; }
  bool PointerOver() const { return pointerOver_; }
  const std::string& Look() const { return look_; }
  ButtonPicture Drawn() const { return drawn_; }

  static bool Inside(double x, double y, int w, int h) {
    return x > 0 && x < w && y > 0 && y < h;
  }

 private:
  void Paint(ButtonPicture p);

  std::string look_ = "norm";
  bool enabled_ = true;
  bool mouseIsDown_ = false;
  bool pointerOver_ = false;
  bool tmpDisabled_ = false;
  bool savedEnabled_ = false;
  bool overTimer_ = false;
  ButtonPicture drawn_ = ButtonPicture::None;
};

}  // namespace pq::skin
