#include "skin/region_from_picture.h"

namespace pq::skin {

std::vector<Rect> RegionFromPicture(const PictureView& p) {
  std::vector<Rect> runs;
  if (p.width <= 0 || p.height <= 0 || !p.pixel) return runs;
  const std::uint32_t transparent = p.pixel(0, 0);
  for (int y = 0; y < p.height; ++y) {
    int start = -1;
    // x == width closes a run that reaches the row's end.
    for (int x = 0; x <= p.width; ++x) {
      const bool opaque = x < p.width && p.pixel(x, y) != transparent;
      if (opaque && start < 0) start = x;
      if (!opaque && start >= 0) {
        runs.push_back({start, y, x - start, 1});
        start = -1;
      }
    }
  }
  return runs;
}

}  // namespace pq::skin
