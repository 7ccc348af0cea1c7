#include "skin/title_band.h"

namespace pq::skin {

Rgb TitleBandColour(int y) {
  if (y < 0 || y >= kTitleBandHeight) return kSkinBackground;
  const double half = kTitleBandHeight / 2.0;
  const double t = y < half ? y / half : (kTitleBandHeight - y) / half;
  auto grow = [t](int base, int total) {
    return static_cast<std::uint8_t>(static_cast<int>(base + total * t));
  };
  return {grow(kSkinBackground.r, 16), grow(kSkinBackground.g, 60), grow(kSkinBackground.b, 64)};
}

}  // namespace pq::skin
