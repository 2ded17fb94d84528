#include "demo_recipe.h"

#include <vector>

namespace orvex::develop::demo {

nlohmann::ordered_json demo_recipe() {
    using json = nlohmann::ordered_json;
    // Hue shift 0, saturation and value scales 1 at every division: a neutral
    // starting point to edit.
    std::vector<double> neutral_hue_sat;
    for (int entry = 0; entry < 6 * 2; ++entry)
        neutral_hue_sat.insert(neutral_hue_sat.end(), {0.0, 1.0, 1.0});
    const auto site_gain = [](double gain, int top, int left) {
        return json{{"gains", {gain}}, {"top", top}, {"left", left}, {"row_pitch", 2}, {"col_pitch", 2}};
    };
    return json{
        {"description", "orvex-develop demo: undoes the synthetic camera's faults"},
        {"bad_pixels", {{"constant", Camera::bad_pixel_marker}}},
        {"normalise", {{"black_level", {Camera::black_level}}, {"white_level", {Camera::white_level}}}},
        {"mosaic_gain_maps", {site_gain(Camera::red_gain, 0, 0), site_gain(Camera::blue_gain, 1, 1)}},
        {"demosaic", {{"cfa", "RGGB"}}},
        {"vignette", {{"coefficients", Camera::vignette_correction}, {"center_x", 0.5}, {"center_y", 0.5}}},
        {"warp", {{"coefficients", Camera::lens_model}, {"center_x", 0.5}, {"center_y", 0.5}, {"cubic", true}}},
        {"colour", {{"matrix", Camera::colour_matrix}}},
        {"exposure", {{"white", Camera::exposure_white}, {"black", 0.0}, {"toe_width", 0.0}}},
        {"hue_sat_map", {{"hue_divisions", 6}, {"sat_divisions", 2}, {"table", neutral_hue_sat}}},
        {"profile_gain_table", {{"table", {1.0}}, {"weights", {0.25, 0.5, 0.25, 0.0, 0.0}}}},
        {"output", {{"curve", "srgb"}}},
    };
}

}  // namespace orvex::develop::demo
