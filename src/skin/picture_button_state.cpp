#include "skin/picture_button_state.h"

namespace pq::skin {

void PictureButtonState::Paint(ButtonPicture p) {
  drawn_ = p;
  if (Draw) Draw(p);
}

void PictureButtonState::Shown() {
  if (look_.empty()) look_ = "norm";
  enabled_ = EnabledOnStartup;
  Paint(enabled_ ? ButtonPicture::Normal : ButtonPicture::Disabled);
}

void PictureButtonState::MouseDown() {
  if (!enabled_) return;
  Paint(ButtonPicture::Pressed);
  mouseIsDown_ = true;
}

void PictureButtonState::MouseMove(double x, double y, int w, int h) {
  if (!enabled_ || !Inside(x, y, w, h) || look_ != "norm") return;
  pointerOver_ = true;
  if (mouseIsDown_) {
    Paint(ButtonPicture::Pressed);
    look_ = "click";
  } else {
    Paint(ButtonPicture::Highlight);
    look_ = "hover";
  }
  overTimer_ = true;
}

bool PictureButtonState::MouseUp(double x, double y, int w, int h) {
  if (!enabled_) return false;
  mouseIsDown_ = false;
  look_ = "norm";
  Paint(ButtonPicture::Normal);
  return Inside(x, y, w, h);
}

void PictureButtonState::OverTimerTick(bool pointerOverButton) {
  if (!overTimer_ || tmpDisabled_ || pointerOverButton) return;
  overTimer_ = false;
  Paint(enabled_ ? ButtonPicture::Normal : ButtonPicture::Disabled);
  look_ = "norm";
  pointerOver_ = false;
}

// While temporarily disabled, Disable and enable change only the state that TmpEnable returns
// to: the button stays blocked, and a change that arrived meanwhile (history gained or lost
// while a page was prepared) is not undone by TmpEnable.
void PictureButtonState::Disable() {
  if (tmpDisabled_) {
    if (savedEnabled_) Paint(ButtonPicture::Disabled);
    savedEnabled_ = false;
    return;
  }
  if (!enabled_) return;
  enabled_ = false;
  Paint(ButtonPicture::Disabled);
}

void PictureButtonState::enable() {
  if (tmpDisabled_) {
    if (!savedEnabled_) Paint(ButtonPicture::Normal);
    savedEnabled_ = true;
    return;
  }
  if (enabled_) return;
  enabled_ = true;
  Paint(pointerOver_ ? ButtonPicture::Highlight : ButtonPicture::Normal);
}

void PictureButtonState::RefreshImage() {
  if (enabled_)
    Paint(look_ == "hover" ? ButtonPicture::Highlight : ButtonPicture::Normal);
  else
    Paint(ButtonPicture::Disabled);
}

void PictureButtonState::TmpDisable() {
  if (tmpDisabled_) return;
  savedEnabled_ = enabled_;
  enabled_ = false;
  tmpDisabled_ = true;
  if (savedEnabled_) Paint(ButtonPicture::Normal);
}

void PictureButtonState::TmpEnable() {
  // Without an earlier TmpDisable there is no saved state to go back to.
  if (!tmpDisabled_) return;
  enabled_ = savedEnabled_;
  tmpDisabled_ = false;
}

}  // namespace pq::skin
