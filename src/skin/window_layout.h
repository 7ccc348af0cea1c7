#pragma once
#include "skin/geometry.h"

namespace pq::skin {

// The designed positions that the resize layout keeps: tops of the window images, their
// sizes, the tab strip's left edge and top, the panes' left edge and top.
struct SkinDesign {
  int imageTop = 8;         // close, maximise/restore, minimise
  int imageWidth = 21;
  int imageHeight = 21;
  int helpTop = 34;
  int helpWidth = 52;
  int helpHeight = 18;
  int tabBackgroundLeft = 8;
  int tabBackgroundTop = 74;
  int paneLeft = 16;
  int paneTop = 150;
};

struct FrameRects {
  Rect OuterRectangle;
  Rect InnerRectangle;
};

struct MainWindowLayout {
  Rect ImgClose;
  Rect ImgNormMax;
  Rect ImgMin;
  Rect ImgHelp;
  FrameRects frame;
  Rect TabBackground;
  Rect pane;  // the browse pane and the edit pane share it
};

// The two frame rectangles for a window of width w and height h.
FrameRects LayoutFrame(int w, int h);

// Where the window images, the frame, the tab strip and the panes go for a window of width w
// and height h; a smaller window than the minimum is laid out as if it had the minimum size.
MainWindowLayout LayoutMainWindow(int w, int h, const SkinDesign& design = {});

}  // namespace pq::skin
