#include "skin/window_images.h"

namespace pq::skin {

void WindowImages::SetImageSize(const std::string& name, int width, int height) {
  sizes_[name] = {width, height};
}

std::string WindowImages::PictureName(const std::string& name, const std::string& look) const {
  if (name == "ImgNormMax") return (WindowMaximized ? "ImgNorm" : "ImgMax") + look;
  return name + look;
}

bool WindowImages::Inside(const std::string& name, int x, int y) const {
  auto it = sizes_.find(name);
  if (it == sizes_.end()) return false;
  return x >= 0 && x < it->second.first && y >= 0 && y < it->second.second;
}

void WindowImages::Show(const std::string& name, const std::string& look) {
  if (SetImage) SetImage(name, PictureName(name, look));
}

void WindowImages::ButtonHover(const std::string& name, int x, int y) {
  if (LastButtonUnderMouse == name) {
    if (Inside(name, x, y)) {
      if (ButtonPressed) {
        if (PressedButton != name) {
          Show(name, "Click");
          PressedButton = name;
        }
      } else if (HoverButton != name) {
        Show(name, "Hover");
        HoverButton = name;
      }
    } else if (ButtonPressed) {
      RestoreButtons();
    }
  } else {
    RestoreButtons();
  }
  LastButtonUnderMouse = name;
}

void WindowImages::ButtonDown(const std::string& name) {
  ButtonPressed = true;
  // A press without an earlier movement over the image first makes it the image under the
  // mouse, so that the press shows its Click picture at once.
  if (LastButtonUnderMouse != name) ButtonHover(name, 0, 0);
  ButtonHover(name, 0, 0);
}

bool WindowImages::ButtonUp(const std::string& name, int x, int y) {
  ButtonPressed = false;
  RestoreButtons();
  return Inside(name, x, y);
}

void WindowImages::RestoreButtons() {
  if (!LastButtonUnderMouse.empty()) Show(LastButtonUnderMouse, "Norm");
  LastButtonUnderMouse.clear();
  HoverButton.clear();
  PressedButton.clear();
}

}  // namespace pq::skin
