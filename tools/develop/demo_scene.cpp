#include "demo_scene.h"

#include <cmath>
#include <numbers>

#include "tone_curves.h"

namespace orvex::develop::demo {

namespace {

constexpr double kGridPitch = 50.0;
constexpr double kGridOffset = 25.0;
constexpr double kGridHalfWidth = 2.0;

constexpr double kPaper = 0.80;
constexpr double kInk = 0.03;
constexpr double kWall = 0.30;

// Object cards: the grid shows only outside them.
constexpr double kChartLeft = 60, kChartTop = 56, kChartRight = 590, kChartBottom = 414;
constexpr double kPatchSize = 76, kPatchGap = 10, kPatchLeft = 72, kPatchTop = 68;
constexpr double kStarX = 880, kStarY = 235, kStarRadius = 160, kStarCardRadius = 175;
constexpr int kStarSpokes = 36;
constexpr double kTextLeft = 620, kTextTop = 450, kTextRight = 1140, kTextBottom = 620;
constexpr double kRampLeft = 60, kRampTop = 640, kRampRight = 1140, kRampBottom = 740;

Rgb grey(double level) { return {level, level, level}; }

Rgb linear_of(const std::array<uint8_t, 3>& srgb) {
    return {srgb_decode(srgb[0] / 255.0), srgb_decode(srgb[1] / 255.0), srgb_decode(srgb[2] / 255.0)};
}

bool inside(double x, double y, double left, double top, double right, double bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

// A small integer hash: the text's glyph shapes, the same on every machine.
uint32_t hash(uint32_t a, uint32_t b) {
    uint32_t h = a * 0x9e3779b1u ^ (b + 0x7f4a7c15u) * 0x85ebca77u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

// Lines of pseudo-glyphs on paper: 5 x 7 cells per glyph, spaces between words.
Rgb text_colour(double x, double y) {
    struct Line {
        double top;
        double cell;
    };
    static const Line lines[] = {{462, 3}, {490, 2}, {512, 2}, {534, 2}, {556, 1}, {568, 1}, {580, 1}, {592, 1}};
    for (size_t index = 0; index < std::size(lines); ++index) {
        const Line& line = lines[index];
        const double glyph_width = 6 * line.cell;
        const double row = (y - line.top) / line.cell;
        if (row < 0 || row >= 7) continue;
        const double column = (x - (kTextLeft + 12)) / glyph_width;
        if (column < 0 || x >= kTextRight - 12) return grey(kPaper);
        const auto glyph = static_cast<uint32_t>(column);
        const double cell_x = (column - glyph) * 6;
        if (cell_x >= 5 || hash(static_cast<uint32_t>(index), glyph) % 6 == 0) return grey(kPaper);
        const uint32_t bits = hash(glyph * 31 + static_cast<uint32_t>(index), 7);
        const uint32_t bit = static_cast<uint32_t>(row) * 5 + static_cast<uint32_t>(cell_x);
        return grey(((bits >> (bit % 32)) & 1) != 0 && bit < 35 ? kInk : kPaper);
    }
    return grey(kPaper);
}

Rgb star_colour(double x, double y) {
    const double dx = x - kStarX;
    const double dy = y - kStarY;
    const double radius = std::hypot(dx, dy);
    if (radius > kStarRadius || radius < 2.0) return grey(kPaper);
    const double angle = std::atan2(dy, dx) + std::numbers::pi;
    const auto sector = static_cast<int>(angle / (2 * std::numbers::pi) * 2 * kStarSpokes);
    return grey(sector % 2 == 0 ? kInk : kPaper);
}

// Upper half: grey ramp even in sRGB steps; lower half: hue ramp.
Rgb ramp_colour(double x, double y) {
    const double t = (x - kRampLeft) / (kRampRight - kRampLeft);
    if (y < (kRampTop + kRampBottom) / 2) return grey(srgb_decode(t));
    const double hue = t * 6.0;
    const double f = hue - std::floor(hue);
    const double high = 0.75, low = 0.08;
    const double up = low + (high - low) * f, down = high - (high - low) * f;
    switch (static_cast<int>(hue) % 6) {
        case 0:
            return {high, up, low};
        case 1:
            return {down, high, low};
        case 2:
            return {low, high, up};
        case 3:
            return {low, down, high};
        case 4:
            return {up, low, high};
        default:
            return {high, low, down};
    }
}

Rgb wall_colour(double x, double y) {
    const auto near_line = [](double value) {
        const double offset = std::fmod(std::fmod(value - kGridOffset, kGridPitch) + kGridPitch, kGridPitch);
        return offset <= kGridHalfWidth || offset >= kGridPitch - kGridHalfWidth;
    };
    return grey(near_line(x) || near_line(y) ? kInk : kWall);
}

}  // namespace

const std::vector<ChartPatch>& chart_patches() {
    // Six columns of four rows: naturals, primaries and secondaries, a grey scale.
    static const std::array<std::array<uint8_t, 3>, 24> colours = {{
        {{112, 80, 66}},   {{196, 148, 128}}, {{92, 122, 156}}, {{88, 108, 64}},   {{128, 126, 176}},
        {{98, 188, 170}},  {{220, 122, 46}},  {{70, 90, 166}},  {{192, 84, 96}},   {{92, 60, 106}},
        {{158, 188, 64}},  {{226, 162, 40}},  {{48, 62, 146}},  {{70, 148, 72}},   {{176, 48, 58}},
        {{234, 198, 30}},  {{186, 84, 150}},  {{20, 134, 162}}, {{242, 242, 236}}, {{200, 200, 198}},
        {{160, 160, 160}}, {{122, 122, 120}}, {{84, 84, 84}},   {{52, 52, 52}},
    }};
    static const std::vector<ChartPatch> patches = [] {
        std::vector<ChartPatch> list;
        for (size_t i = 0; i < colours.size(); ++i) {
            const double column = static_cast<double>(i % 6);
            const double row = static_cast<double>(i / 6);
            list.push_back({kPatchLeft + column * (kPatchSize + kPatchGap),
                            kPatchTop + row * (kPatchSize + kPatchGap), kPatchSize, colours[i]});
        }
        return list;
    }();
    return patches;
}

std::vector<GridLine> measured_grid_lines() {
    return {
        {true, 25, 10, kWidth - 10},   {true, 425, 10, kWidth - 10},    {true, 775, 10, kWidth - 10},
        {false, 25, 10, kHeight - 10}, {false, 1175, 10, kHeight - 10},
    };
}

Rgb scene_colour(double x, double y) {
    if (inside(x, y, kChartLeft, kChartTop, kChartRight, kChartBottom)) {
        for (const ChartPatch& patch : chart_patches()) {
            if (inside(x, y, patch.left, patch.top, patch.left + patch.size, patch.top + patch.size))
                return linear_of(patch.srgb);
        }
        return grey(0.02);
    }
    if (std::hypot(x - kStarX, y - kStarY) <= kStarCardRadius) return star_colour(x, y);
    if (inside(x, y, kTextLeft, kTextTop, kTextRight, kTextBottom)) return text_colour(x, y);
    if (inside(x, y, kRampLeft, kRampTop, kRampRight, kRampBottom)) return ramp_colour(x, y);
    return wall_colour(x, y);
}

}  // namespace orvex::develop::demo
