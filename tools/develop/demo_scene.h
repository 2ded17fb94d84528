// The demo's synthetic scene, a function of the position in the developed
// image: a colour chart of known colours, a Siemens star, fine text-like
// detail, smooth gradients and a grid of straight lines behind them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace orvex::develop::demo {

inline constexpr uint32_t kWidth = 1200;
inline constexpr uint32_t kHeight = 800;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

struct ChartPatch {
    double left = 0.0;
    double top = 0.0;
    double size = 0.0;
    std::array<uint8_t, 3> srgb{};  // the known colour, 8-bit sRGB
};

// A grid line that no object covers between `from` and `to`.
struct GridLine {
    bool horizontal = true;
    double position = 0.0;
    double from = 0.0;
    double to = 0.0;
};

const std::vector<ChartPatch>& chart_patches();
std::vector<GridLine> measured_grid_lines();

// Linear sRGB in 0..1 at image position (x, y); pixel centres at integers.
// Defined beyond the image too, where the lens sees more than the output keeps.
Rgb scene_colour(double x, double y);

}  // namespace orvex::develop::demo
