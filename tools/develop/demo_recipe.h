// The demo camera's faults and the built-in recipe that undoes them: both are
// made from the same constants.
#pragma once

#include <array>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace orvex::develop::demo {

struct Camera {
    static constexpr uint16_t black_level = 256;
    static constexpr uint16_t white_level = 4095;  // 12-bit samples
    static constexpr uint16_t bad_pixel_marker = 0;
    static constexpr double red_gain = 1.9;  // white balance: red and blue sites read low
    static constexpr double blue_gain = 1.45;
    static constexpr std::array<double, 2> vignette_correction = {0.5, 0.3};  // 1 + 0.5 r^2 + 0.3 r^4
    static constexpr std::array<double, 2> lens_model = {1.0, -0.05};         // barrel: 1 - 0.05 r^2
    static constexpr double exposure_white = 0.8;                             // the scene's white reads 0.8
    // Camera colour to linear sRGB; each row sums to 1, so grey stays grey.
    static constexpr std::array<double, 9> colour_matrix = {1.60,  -0.45, -0.15, -0.25, 1.50,
                                                            -0.25, 0.05,  -0.50, 1.45};
};

// RGGB mosaic, bad pixels, normalisation, white balance as mosaic gain maps,
// demosaicing, vignette, lens warp, colour matrix, exposure, neutral
// hue/saturation/value map and profile gain table, sRGB output curve.
nlohmann::ordered_json demo_recipe();

}  // namespace orvex::develop::demo
