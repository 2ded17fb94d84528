#include "demo_sensor.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "demo_recipe.h"
#include "demo_scene.h"

namespace orvex::develop::demo {

namespace {

constexpr uint32_t kNoiseSeed = 20261208;
constexpr double kReadNoise = 2.0;   // DN
constexpr double kShotNoise = 0.25;  // variance per DN of signal
constexpr int kBadPixels = 40;

// The optical centre and normalising radius of the corrections: the image
// centre in pixel coordinates and the distance to a corner.
struct Optics {
    double cx = kWidth * 0.5;
    double cy = kHeight * 0.5;
    double radius = std::hypot(kWidth * 0.5, kHeight * 0.5);
};

// The development's warp reads the sensor at c + f(r) (p - c) for output
// position p, with f(r) = k0 + k1 r^2 and r capped at 1. This finds p for a
// sensor position q, so that the sensor holds the scene at p.
void scene_position(const Optics& optics, double qx, double qy, double& px, double& py) {
    const double dx = qx - optics.cx;
    const double dy = qy - optics.cy;
    const double rho = std::hypot(dx, dy) / optics.radius;
    if (rho == 0.0) {
        px = qx;
        py = qy;
        return;
    }
    const double k0 = Camera::lens_model[0];
    const double k1 = Camera::lens_model[1];
    double r = rho;
    if (rho >= k0 + k1) {
        r = rho / (k0 + k1);
    } else {
        for (int step = 0; step < 20; ++step)
            r -= (k0 * r + k1 * r * r * r - rho) / (k0 + 3 * k1 * r * r);
    }
    px = optics.cx + dx * (r / rho);
    py = optics.cy + dy * (r / rho);
}

double vignette_fall_off(const Optics& optics, double x, double y) {
    const double r2 = (std::pow((x - optics.cx) / optics.radius, 2) + std::pow((y - optics.cy) / optics.radius, 2));
    return 1.0 / (1.0 + Camera::vignette_correction[0] * r2 + Camera::vignette_correction[1] * r2 * r2);
}

// Inverse of the colour matrix as the recipe stores it (float entries).
std::array<double, 9> camera_response() {
    std::array<double, 9> m{};
    for (size_t i = 0; i < 9; ++i)
        m[i] = static_cast<float>(Camera::colour_matrix[i]);
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    return {
        (m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det, (m[1] * m[5] - m[2] * m[4]) / det,
        (m[5] * m[6] - m[3] * m[8]) / det, (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
        (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det, (m[0] * m[4] - m[1] * m[3]) / det};
}

// Uniform in [0, 1) from the generator's 32-bit output: the same on every machine.
double uniform(std::mt19937& generator) { return generator() / 4294967296.0; }

// Roughly normal with unit variance: the sum of four uniforms, centred and scaled.
double noise(std::mt19937& generator) {
    double sum = 0.0;
    for (int i = 0; i < 4; ++i)
        sum += uniform(generator);
    return (sum - 2.0) * std::sqrt(3.0);
}

}  // namespace

Mosaic capture_scene() {
    const Optics optics;
    const std::array<double, 9> response = camera_response();
    const double site_gain[3] = {1.0 / Camera::red_gain, 1.0, 1.0 / Camera::blue_gain};
    const double range = Camera::white_level - Camera::black_level;
    std::mt19937 generator(kNoiseSeed);
    Mosaic mosaic{kHeight, kWidth, std::vector<uint16_t>(size_t{kWidth} * kHeight)};
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            const int channel = static_cast<int>((y % 2) + (x % 2));  // RGGB: 0 red, 1 green, 2 blue
            // Four samples per pixel smooth the scene's hard edges.
            double camera = 0.0;
            for (const double oy : {-0.25, 0.25}) {
                for (const double ox : {-0.25, 0.25}) {
                    double px = 0.0;
                    double py = 0.0;
                    scene_position(optics, x + ox, y + oy, px, py);
                    const Rgb scene = scene_colour(px, py);
                    camera += response[3 * channel] * scene.r + response[3 * channel + 1] * scene.g +
                              response[3 * channel + 2] * scene.b;
                }
            }
            const double level =
                camera / 4 * Camera::exposure_white * site_gain[channel] * vignette_fall_off(optics, x, y);
            const double signal = std::max(level, 0.0) * range;
            const double value = Camera::black_level + signal +
                                 noise(generator) * std::sqrt(kReadNoise * kReadNoise + kShotNoise * signal);
            // 0 stays free for the bad-pixel marker.
            mosaic.samples[size_t{y} * kWidth + x] =
                static_cast<uint16_t>(std::clamp(std::lround(value), 1L, long{Camera::white_level}));
        }
    }
    for (int i = 0; i < kBadPixels; ++i) {
        const auto x = static_cast<uint32_t>(uniform(generator) * kWidth);
        const auto y = static_cast<uint32_t>(uniform(generator) * kHeight);
        mosaic.samples[size_t{y} * kWidth + x] = Camera::bad_pixel_marker;
    }
    return mosaic;
}

}  // namespace orvex::develop::demo
