// The development recipe: which pipeline stages run and with which settings,
// read from JSON and checked field by field before any image is touched.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace orvex::develop {

// A recipe that cannot be used; what() is "field.path: what is wrong".
class RecipeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BadPixelsStage {
    int32_t constant = 0;
    uint32_t bayer_phase = 0;
};

struct NormaliseStage {
    std::vector<float> black_level;
    int32_t black_level_rows = 1;
    int32_t black_level_cols = 1;
    std::vector<float> white_level;
    std::vector<float> black_delta_h;
    std::vector<float> black_delta_v;
    std::vector<uint16_t> linearization_table;
};

// A gain map over the sites of the mosaic chosen by the area and the pitches.
struct MosaicGainMap {
    int32_t points_v = 1;
    int32_t points_h = 1;
    std::vector<float> gains;
    int32_t top = 0;
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    int32_t row_pitch = 1;
    int32_t col_pitch = 1;
    double spacing_v = 1.0;
    double spacing_h = 1.0;
    double origin_v = 0.0;
    double origin_h = 0.0;
};

struct DemosaicStage {
    std::array<uint32_t, 4> cfa{};
};

struct VignetteStage {
    std::vector<double> coefficients;
    double center_x = 0.5;
    double center_y = 0.5;
};

// One radial set (and tangential pair) per output channel, all sets of one length.
struct WarpStage {
    std::vector<double> coefficients;
    int32_t planes = 1;
    int32_t coefficient_count = 1;
    std::vector<double> tangential;
    double center_x = 0.5;
    double center_y = 0.5;
    bool cubic = true;
};

struct ColourStage {
    std::vector<float> input_curve;
    std::optional<std::array<float, 9>> matrix;
    std::vector<float> output_curve;
    bool preserve_hue = false;
};

struct ExposureStage {
    double white = 1.0;
    double black = 0.0;
    double toe_width = 0.0;
    bool unclipped = false;
};

struct HueSatMapStage {
    int32_t hue_divisions = 1;
    int32_t sat_divisions = 2;
    int32_t val_divisions = 0;
    std::vector<float> table;
};

struct ProfileGainTableStage {
    int32_t points_v = 1;
    int32_t points_h = 1;
    int32_t points_n = 1;
    float spacing_v = 1.0f;
    float spacing_h = 1.0f;
    float origin_v = 0.0f;
    float origin_h = 0.0f;
    std::vector<float> table;
    std::array<float, 5> weights{};
    float gamma = 1.0f;
    float input_scale = 1.0f;
};

struct OutputStage {
    std::vector<float> curve;  // 0..1 levels over 0..1, at least two entries
};

struct Recipe {
    std::optional<BadPixelsStage> bad_pixels;
    std::optional<NormaliseStage> normalise;
    std::vector<MosaicGainMap> mosaic_gain_maps;
    std::optional<DemosaicStage> demosaic;
    std::optional<VignetteStage> vignette;
    std::optional<WarpStage> warp;
    std::optional<ColourStage> colour;
    std::optional<ExposureStage> exposure;
    std::optional<HueSatMapStage> hue_sat_map;
    std::optional<ProfileGainTableStage> profile_gain_table;
    OutputStage output;
};

// Checks every field of a parsed document; throws RecipeError.
Recipe recipe_from_json(const nlohmann::json& document);

// Parses JSON text; throws RecipeError ("invalid JSON: ..." or a field error).
Recipe parse_recipe(const std::string& text);

// Reads a recipe file; errors are "FILE: field.path: what is wrong".
Recipe load_recipe(const std::string& path);

}  // namespace orvex::develop
