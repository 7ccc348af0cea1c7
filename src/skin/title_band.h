#pragma once
#include <cstdint>

namespace pq::skin {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The window's background colour under and around the title band.
inline constexpr Rgb kSkinBackground{13, 71, 179};
inline constexpr int kTitleBandHeight = 75;

// Colour of the horizontal line y of the title band: it brightens towards the middle of the
// band by (16, 60, 64) in total and darkens again towards its bottom; below the band, the
// background colour.
Rgb TitleBandColour(int y);

}  // namespace pq::skin
