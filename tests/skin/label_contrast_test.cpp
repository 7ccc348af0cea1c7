// Every label of the skin stays legible in every look: enabled labels at 4.5:1 or more against
// what lies under them, disabled ones at 3:1 or more and plainly grey. The colours are read
// from the pictures themselves, so a changed palette is checked as it ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>

#include "skin/skin_pictures.h"
#include "support/file_text.h"

namespace {

struct Rgb {
  double r, g, b;  // 0..255
};

// The tab strip the buttons stand on, as the window paints it.
constexpr Rgb kStrip{32, 200, 32};

Rgb Hex(const std::string& h) {
  const unsigned v = std::stoul(h.substr(1), nullptr, 16);
  return {double((v >> 16) & 255), double((v >> 8) & 255), double(v & 255)};
}

double Linear(double c) {
  c /= 255;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }
double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
Rgb Over(Rgb top, double alpha, Rgb under) {
  return {top.r * alpha + under.r * (1 - alpha), top.g * alpha + under.g * (1 - alpha),
          top.b * alpha + under.b * (1 - alpha)};
}
// HSL saturation, 0 for a pure grey.
double Saturation(Rgb c) {
  const double mx = std::max({c.r, c.g, c.b}) / 255, mn = std::min({c.r, c.g, c.b}) / 255;
  const double l = (mx + mn) / 2;
  if (mx == mn) return 0;
  return (mx - mn) / (1 - std::abs(2 * l - 1));
}

std::string Picture(const std::string& name) {
  const std::string text = pqtest::ReadFile(std::string(PQ_SOURCE_DIR) + "/data/skin/" + name + ".svg");
  EXPECT_FALSE(text.empty()) << name;
  return text;
}

std::string Match(const std::string& text, const std::string& pattern) {
  std::smatch m;
  return std::regex_search(text, m, std::regex(pattern)) ? m[1].str() : "";
}

// The label colour of a button picture and what it is drawn on.
struct ButtonColours {
  Rgb label;
  Rgb ground;
};
ButtonColours ButtonOf(const std::string& name) {
  const std::string svg = Picture(name);
  ButtonColours c{Hex(Match(svg, "color=\"(#[0-9a-fA-F]{6})\"")), kStrip};
  // A panel behind the label: its fill, over the strip when it is translucent.
  const std::string panel = Match(svg, "<rect[^>]*rx=\"7\"[^>]*fill=\"(#[0-9a-fA-F]{6})\"");
  if (!panel.empty()) {
    const std::string opacity = Match(svg, "<rect[^>]*rx=\"7\"[^>]*fill-opacity=\"([0-9.]+)\"");
    c.ground = Over(Hex(panel), opacity.empty() ? 1.0 : std::stod(opacity), kStrip);
  }
  return c;
}

TEST(LabelContrastTest, ButtonLabelsInEveryLook) {
  for (const std::string& button : pq::skin::ToolbarButtonNames()) {
    for (const char* look : {"Normal", "Highlight", "Pressed"}) {
      const ButtonColours c = ButtonOf(button + look);
      EXPECT_GE(Contrast(c.label, c.ground), 4.5) << button << look;
    }
    const ButtonColours normal = ButtonOf(button + "Normal");
    const ButtonColours disabled = ButtonOf(button + "Disabled");
    EXPECT_GE(Contrast(disabled.label, disabled.ground), 3.0) << button;
    // Greyed: a grey of its own, told apart from the enabled label at a glance.
    EXPECT_LT(Saturation(disabled.label), 0.15) << button;
    EXPECT_GT(Saturation(normal.label), 0.4) << button;
    EXPECT_GE(Contrast(disabled.label, normal.label), 1.4) << button;
  }
}

TEST(LabelContrastTest, TabHeaderLabels) {
  for (const char* tab : {"ImgBrowse", "ImgEdit"}) {
    for (const char* look : {"Norm", "Unselect", "Disabled"}) {
      const std::string svg = Picture(std::string(tab) + look);
      const Rgb text = Hex(Match(svg, "<text[^>]*fill=\"(#[0-9a-fA-F]{6})\""));
      // Both ends of the header's gradient.
      for (const char* stop : {"0", "1"}) {
        const Rgb ground = Hex(Match(svg, std::string("offset=\"") + stop + "\" stop-color=\"(#[0-9a-fA-F]{6})\""));
        EXPECT_GE(Contrast(text, ground), std::string(look) == "Disabled" ? 3.0 : 4.5) << tab << look << " stop " << stop;
      }
    }
  }
}

TEST(LabelContrastTest, ContrastOfKnownPairs) {
  EXPECT_NEAR(Contrast({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(Contrast({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
}

}  // namespace
