#pragma once

namespace pq::skin {

// A rectangle in pixels: x and y of the top-left corner, width and height.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
};

// The main window is never laid out, and never resized by the skin, below this size.
inline constexpr int kMinWidth = 665;
inline constexpr int kMinHeight = 385;

}  // namespace pq::skin
