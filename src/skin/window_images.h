#pragma once
#include <functional>
#include <map>
#include <string>

namespace pq::skin {

// The looks of the window images (ImgClose, ImgMin, ImgNormMax, ImgHelp): Norm, Hover while
// the pointer is over one, Click while it is pressed; a release counts only inside the image.
class WindowImages {
 public:
  // Gives a control a picture by name ("ImgCloseHover"...).
  std::function<void(const std::string& control, const std::string& picture)> SetImage;

  void SetImageSize(const std::string& name, int width, int height);
  // The picture an image shows in a look ("Norm", "Hover", "Click"); the maximise image shows
  // the restore glyph while the window is maximised.
  std::string PictureName(const std::string& name, const std::string& look) const;

  void ButtonHover(const std::string& name, int x, int y);
  void ButtonDown(const std::string& name);
  // Answers whether the release lies inside the image, the only case the window acts on.
  bool ButtonUp(const std::string& name, int x, int y);
  void RestoreButtons();

  bool WindowMaximized = false;
  std::string LastButtonUnderMouse;
  std::string HoverButton;
  std::string PressedButton;
  bool ButtonPressed = false;

 private:
  bool Inside(const std::string& name, int x, int y) const;
  void Show(const std::string& name, const std::string& look);
  std::map<std::string, std::pair<int, int>> sizes_;
};

}  // namespace pq::skin
