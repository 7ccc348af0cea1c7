#pragma once
#include <array>
#include <functional>
#include <memory>

#include "shell/main_form_view.h"
#include "shell/toolbar.h"
#include "skin/widgets/picture_button.h"
#include "skin/widgets/skinned_window.h"

namespace pq {

// The fifteen picture buttons of the main window, placed on the skinned window as the toolbar
// layout puts them; each raises Clicked with its name.
class ToolbarButtons {
 public:
  explicit ToolbarButtons(skin::SkinnedWindow& window);
  ToolbarButtons(const ToolbarButtons&) = delete;
  ToolbarButtons& operator=(const ToolbarButtons&) = delete;

  ButtonControl& Control(ToolbarButton b) { return *controls_[Index(b)]; }
  skin::PictureButton& Button(ToolbarButton b) { return controls_[Index(b)]->button; }
  const skin::Rect& Place(ToolbarButton b) const { return places_[Index(b)]; }
  // Shows the buttons of one tab and hides the others.
  void ShowTab(TabHeader tab);

  std::function<void(ToolbarButton)> Clicked;

 private:
  struct PictureButtonControl : ButtonControl {
    void Disable() override { button.Disable(); }
    void enable() override { button.enable(); }
    void RefreshImage() override { button.RefreshImage(); }
    void TmpDisable() override { button.TmpDisable(); }
    void TmpEnable() override { button.TmpEnable(); }
    skin::PictureButton button;
  };
  std::array<std::unique_ptr<PictureButtonControl>, kToolbarButtonCount> controls_;
  ToolbarRects places_;
};

}  // namespace pq
