#include "avatar_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "png_writer.h"

namespace zarvex::standin {

namespace {

struct Rgb {
  double r, g, b;
};

Rgb from_hue(double hue, double saturation, double value) {
  const double c = value * saturation;
  const double h = std::fmod(hue, 360.0) / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  Rgb p{0, 0, 0};
  if (h < 1) {
    p = {c, x, 0};
  } else if (h < 2) {
    p = {x, c, 0};
  } else if (h < 3) {
    p = {0, c, x};
  } else if (h < 4) {
    p = {0, x, c};
  } else if (h < 5) {
    p = {x, 0, c};
  } else {
    p = {c, 0, x};
  }
  const double m = value - c;
  return {p.r + m, p.g + m, p.b + m};
}

std::uint8_t channel(double v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
}

}  // namespace

std::string avatar_png(std::string_view uin, int side) {
  side = std::clamp(side, 16, 640);
  std::uint32_t hash = 2166136261u;
  for (char c : uin)
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  const double hue = hash % 360;
  const Rgb top = from_hue(hue, 0.45, 0.95);
  const Rgb bottom = from_hue(hue + 20, 0.70, 0.75);
  const Rgb figure{0.98, 0.98, 0.96};

  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(side) * side * 4);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double u = (x + 0.5) / side;
      const double v = (y + 0.5) / side;
      Rgb p{top.r + (bottom.r - top.r) * v, top.g + (bottom.g - top.g) * v,
            top.b + (bottom.b - top.b) * v};
      const double head = std::hypot(u - 0.5, v - 0.40) / 0.18;
      const double shoulders = std::hypot((u - 0.5) / 0.34, (v - 0.98) / 0.32);
      if (head <= 1.0 || shoulders <= 1.0) p = figure;
      std::uint8_t* px = &rgba[(static_cast<std::size_t>(y) * side + x) * 4];
      px[0] = channel(p.r);
      px[1] = channel(p.g);
      px[2] = channel(p.b);
      px[3] = 255;
    }
  }
  return encode_png_rgba(side, side, rgba);
}

}  // namespace zarvex::standin
