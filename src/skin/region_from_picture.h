#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "skin/geometry.h"

namespace pq::skin {

// A picture as the region code sees it: its size and the colour of each pixel (any encoding,
// compared for equality only).
struct PictureView {
  int width = 0;
  int height = 0;
  std::function<std::uint32_t(int x, int y)> pixel;
};

// The runs of pixels that differ from the top-left pixel's colour, one rectangle of height 1
// per run, row by row from the top; their union is the window shape.
std::vector<Rect> RegionFromPicture(const PictureView& picture);

}  // namespace pq::skin
