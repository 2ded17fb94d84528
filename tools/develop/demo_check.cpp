#include "demo_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "demo_scene.h"
#include "tone_curves.h"

namespace orvex::develop::demo {

namespace {

struct Lab {
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// Linear sRGB (D65) to CIE L*a*b*.
Lab lab_of(const Rgb& rgb) {
    const double x = 0.4124564 * rgb.r + 0.3575761 * rgb.g + 0.1804375 * rgb.b;
    const double y = 0.2126729 * rgb.r + 0.7151522 * rgb.g + 0.0721750 * rgb.b;
    const double z = 0.0193339 * rgb.r + 0.1191920 * rgb.g + 0.9503041 * rgb.b;
    const auto f = [](double t) {
        constexpr double e = 216.0 / 24389.0;
        constexpr double k = 24389.0 / 27.0;
        return t > e ? std::cbrt(t) : (k * t + 16.0) / 116.0;
    };
    const double fx = f(x / 0.95047);
    const double fy = f(y / 1.0);
    const double fz = f(z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

uint8_t sample(const OutputImage& image, uint32_t x, uint32_t y, uint32_t channel) {
    return image.bytes[(size_t{y} * image.width + x) * image.channels + channel];
}

constexpr int kHalfWindow = 7;
constexpr int kWindow = 2 * kHalfWindow + 1;

// The green samples across the measured line at one point along it, averaged
// over `half_run` points to each side.
std::array<double, kWindow> profile(const OutputImage& image, const GridLine& line, int along, int centre,
                                    int half_run) {
    std::array<double, kWindow> values{};
    for (int step = -half_run; step <= half_run; ++step) {
        for (int i = 0; i < kWindow; ++i) {
            const int across = centre - kHalfWindow + i;
            const auto x = static_cast<uint32_t>(line.horizontal ? along + step : across);
            const auto y = static_cast<uint32_t>(line.horizontal ? across : along + step);
            values[static_cast<size_t>(i)] += sample(image, x, y, 1) / (2.0 * half_run + 1.0);
        }
    }
    return values;
}

double median(std::array<double, kWindow> values) {
    std::nth_element(values.begin(), values.begin() + kHalfWindow, values.end());
    return values[kHalfWindow];
}

// The centre of the grid's ink across the measured line, searched around
// `guess` and averaged over a short run along it: the darkness below the
// window's median weighs each position. NaN near a crossing grid line, where
// the window shows no clear line on the wall.
double line_centre(const OutputImage& image, const GridLine& line, int along, double guess) {
    constexpr int kHalfRun = 3;
    constexpr int kCrossingReach = 6;
    constexpr double kLeastWall = 120.0;  // the wall is 150 in 8-bit sRGB, the ink 48
    constexpr double kLeastContrast = 50.0;
    const int centre = static_cast<int>(std::lround(guess));
    const int across_limit = static_cast<int>(line.horizontal ? image.height : image.width);
    const int along_limit = static_cast<int>(line.horizontal ? image.width : image.height);
    if (centre - kHalfWindow < 0 || centre + kHalfWindow >= across_limit || along - kCrossingReach < 0 ||
        along + kCrossingReach >= along_limit)
        return std::numeric_limits<double>::quiet_NaN();
    for (const int reach : {-kCrossingReach, kCrossingReach}) {
        if (median(profile(image, line, along + reach, centre, 0)) < kLeastWall)
            return std::numeric_limits<double>::quiet_NaN();
    }
    const std::array<double, kWindow> values = profile(image, line, along, centre, kHalfRun);
    const double wall = median(values);
    if (wall < kLeastWall || wall - *std::min_element(values.begin(), values.end()) < kLeastContrast)
        return std::numeric_limits<double>::quiet_NaN();
    double weight = 0.0;
    double moment = 0.0;
    for (int i = 0; i < kWindow; ++i) {
        const double darkness = std::max(0.0, wall - values[static_cast<size_t>(i)]);
        weight += darkness;
        moment += darkness * (centre - kHalfWindow + i);
    }
    return moment / weight;
}

// The darkest position within reach of the line's place in the scene, where
// the search starts: without the warp, lines lie far from their place.
double nearest_ink(const OutputImage& image, const GridLine& line, int along) {
    constexpr int kReach = 20;
    const int limit = static_cast<int>(line.horizontal ? image.height : image.width) - 1;
    const int first = std::max(0, static_cast<int>(line.position) - kReach);
    const int last = std::min(limit, static_cast<int>(line.position) + kReach);
    int darkest = static_cast<int>(line.position);
    for (int across = first; across <= last; ++across) {
        const auto value = [&](int at) {
            return line.horizontal ? sample(image, static_cast<uint32_t>(along), static_cast<uint32_t>(at), 1)
                                   : sample(image, static_cast<uint32_t>(at), static_cast<uint32_t>(along), 1);
        };
        if (value(across) < value(darkest)) darkest = across;
    }
    return darkest;
}

// Follows one grid line outwards from its middle, fits a straight line to
// the centres found and returns the largest distance from it. Where another
// grid line crosses, the window holds no edge and the point is skipped.
double line_deviation(const OutputImage& image, const GridLine& line) {
    const int from = static_cast<int>(line.from);
    const int to = static_cast<int>(line.to);
    const int middle = (from + to) / 2;
    std::vector<double> positions;
    std::vector<double> centres;
    const double start = nearest_ink(image, line, middle);
    for (const int direction : {-1, 1}) {
        double guess = start;
        for (int along = direction < 0 ? middle : middle + 1; along >= from && along < to; along += direction) {
            const double centre = line_centre(image, line, along, guess);
            if (std::isnan(centre)) continue;
            positions.push_back(along);
            centres.push_back(centre);
            guess = centre;
        }
    }
    if (centres.size() < static_cast<size_t>(to - from) / 2) return std::numeric_limits<double>::infinity();
    double sum_t = 0, sum_c = 0, sum_tt = 0, sum_tc = 0;
    const double n = static_cast<double>(centres.size());
    for (size_t i = 0; i < centres.size(); ++i) {
        sum_t += positions[i];
        sum_c += centres[i];
        sum_tt += positions[i] * positions[i];
        sum_tc += positions[i] * centres[i];
    }
    const double slope = (n * sum_tc - sum_t * sum_c) / (n * sum_tt - sum_t * sum_t);
    const double offset = (sum_c - slope * sum_t) / n;
    double largest = 0.0;
    for (size_t i = 0; i < centres.size(); ++i)
        largest = std::max(largest, std::fabs(centres[i] - (offset + slope * positions[i])));
    return largest;
}

}  // namespace

ColourError chart_colour_error(const OutputImage& developed) {
    ColourError error;
    const auto& patches = chart_patches();
    for (const ChartPatch& patch : patches) {
        const double margin = patch.size * 0.2;
        Rgb sum;
        double count = 0.0;
        for (auto y = static_cast<uint32_t>(patch.top + margin); y < patch.top + patch.size - margin; ++y) {
            for (auto x = static_cast<uint32_t>(patch.left + margin); x < patch.left + patch.size - margin; ++x) {
                sum.r += srgb_decode(sample(developed, x, y, 0) / 255.0);
                sum.g += srgb_decode(sample(developed, x, y, 1) / 255.0);
                sum.b += srgb_decode(sample(developed, x, y, 2) / 255.0);
                count += 1.0;
            }
        }
        const Lab measured = lab_of({sum.r / count, sum.g / count, sum.b / count});
        const Lab known = lab_of({srgb_decode(patch.srgb[0] / 255.0), srgb_decode(patch.srgb[1] / 255.0),
                                  srgb_decode(patch.srgb[2] / 255.0)});
        const double delta = std::sqrt(std::pow(measured.l - known.l, 2) + std::pow(measured.a - known.a, 2) +
                                       std::pow(measured.b - known.b, 2));
        error.mean += delta / static_cast<double>(patches.size());
        error.largest = std::max(error.largest, delta);
    }
    return error;
}

double grid_straightness(const OutputImage& developed) {
    double largest = 0.0;
    for (const GridLine& line : measured_grid_lines())
        largest = std::max(largest, line_deviation(developed, line));
    return largest;
}

}  // namespace orvex::develop::demo
