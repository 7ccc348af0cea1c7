#include "skin/window_layout.h"

#include <algorithm>

namespace pq::skin {

FrameRects LayoutFrame(int w, int h) {
  return {Rect{0, 0, w, h}, Rect{2, 2, w - 3, h - 3}};
}

MainWindowLayout LayoutMainWindow(int w, int h, const SkinDesign& d) {
  w = std::max(w, kMinWidth);
  h = std::max(h, kMinHeight);
  MainWindowLayout l;
  l.ImgClose = {w - 26, d.imageTop, d.imageWidth, d.imageHeight};
  l.ImgNormMax = {l.ImgClose.x - 3 - d.imageWidth, d.imageTop, d.imageWidth, d.imageHeight};
  l.ImgMin = {l.ImgNormMax.x - 3 - d.imageWidth, d.imageTop, d.imageWidth, d.imageHeight};
  l.ImgHelp = {l.ImgMin.x + 10, d.helpTop, d.helpWidth, d.helpHeight};
  l.frame = LayoutFrame(w, h);
  l.TabBackground = {d.tabBackgroundLeft, d.tabBackgroundTop, w - 2 * d.tabBackgroundLeft,
                     h - d.tabBackgroundTop - 6};
  const int paneHeight =
      l.TabBackground.height - (d.paneTop - l.TabBackground.y) - 10;
  l.pane = {d.paneLeft, d.paneTop, w - 2 * d.paneLeft, paneHeight};
  return l;
}

}  // namespace pq::skin
