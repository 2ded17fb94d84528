#include "recipe.h"

#include <fstream>
#include <sstream>

#include "json_field.h"
#include "tone_curves.h"

namespace orvex::develop {

namespace {

constexpr int64_t kIntMax = INT32_MAX;

// A curve: "linear", "srgb", or at least two numbers.
std::vector<float> curve_of(const JsonField& field) {
    if (field.value().is_string()) {
        const std::string name = field.text();
        if (name == "linear") return linear_curve();
        if (name == "srgb") return srgb_encoding_curve();
        field.fail("expected \"linear\", \"srgb\" or an array of numbers, got \"" + name + "\"");
    }
    return field.floats_at_least(2);
}

std::array<uint32_t, 4> cfa_of(const JsonField& field) {
    const std::string pattern = field.text();
    if (pattern.size() != 4)
        field.fail("expected four letters R, G or B such as \"RGGB\", got \"" + pattern + "\"");
    std::array<uint32_t, 4> codes{};
    for (size_t i = 0; i < 4; ++i) {
        switch (pattern[i]) {
            case 'R':
                codes[i] = 0;
                break;
            case 'G':
                codes[i] = 1;
                break;
            case 'B':
                codes[i] = 2;
                break;
            default:
                field.fail("expected four letters R, G or B such as \"RGGB\", got \"" + pattern + "\"");
        }
    }
    return codes;
}

double optional_number(const JsonField& parent, const char* name, double fallback) {
    const auto field = parent.member(name);
    return field ? field->number() : fallback;
}

int32_t optional_integer(const JsonField& parent, const char* name, int32_t fallback, int64_t minimum,
                         int64_t maximum) {
    const auto field = parent.member(name);
    return field ? field->integer(minimum, maximum) : fallback;
}

bool optional_boolean(const JsonField& parent, const char* name, bool fallback) {
    const auto field = parent.member(name);
    return field ? field->boolean() : fallback;
}

// Relative distance between map points; by default the points span the image.
double spacing_of(const JsonField& parent, const char* name, int32_t points) {
    const auto field = parent.member(name);
    if (field) return field->number_at_least(0.0, false);
    return points > 1 ? 1.0 / (points - 1) : 1.0;
}

std::vector<float> optional_floats(const JsonField& parent, const char* name) {
    const auto field = parent.member(name);
    return field ? field->floats() : std::vector<float>{};
}

BadPixelsStage bad_pixels_of(const JsonField& field, const std::optional<DemosaicStage>& demosaic) {
    field.allow_only({"constant", "bayer_phase"});
    BadPixelsStage stage;
    stage.constant = field.required("constant").integer(0, 65535);
    if (const auto phase = field.member("bayer_phase")) {
        stage.bayer_phase = static_cast<uint32_t>(phase->integer(0, 3));
    } else if (demosaic) {
        // Phase 0 puts green where row + column is even, phase 1 where it is odd.
        stage.bayer_phase = demosaic->cfa[0] == 1 ? 0 : 1;
    } else {
        field.required("bayer_phase");
    }
    return stage;
}

NormaliseStage normalise_of(const JsonField& field) {
    field.allow_only({"black_level", "black_level_rows", "black_level_cols", "white_level", "black_delta_h",
                      "black_delta_v", "linearization_table"});
    NormaliseStage stage;
    stage.black_level_rows = optional_integer(field, "black_level_rows", 1, 1, 64);
    stage.black_level_cols = optional_integer(field, "black_level_cols", 1, 1, 64);
    stage.black_level =
        field.required("black_level").floats(static_cast<size_t>(stage.black_level_rows) * stage.black_level_cols);
    const JsonField white = field.required("white_level");
    stage.white_level = white.value().is_number() ? std::vector<float>{white.float_number()} : white.floats(1);
    stage.black_delta_h = optional_floats(field, "black_delta_h");
    stage.black_delta_v = optional_floats(field, "black_delta_v");
    if (const auto table = field.member("linearization_table")) {
        for (const JsonField& entry : table->elements())
            stage.linearization_table.push_back(static_cast<uint16_t>(entry.integer(0, 65535)));
    }
    return stage;
}

MosaicGainMap mosaic_gain_map_of(const JsonField& field) {
    field.allow_only({"points_v", "points_h", "gains", "top", "left", "bottom", "right", "row_pitch", "col_pitch",
                      "spacing_v", "spacing_h", "origin_v", "origin_h"});
    MosaicGainMap map;
    map.points_v = optional_integer(field, "points_v", 1, 1, 65536);
    map.points_h = optional_integer(field, "points_h", 1, 1, 65536);
    map.gains = field.required("gains").floats(static_cast<size_t>(map.points_v) * map.points_h);
    map.top = optional_integer(field, "top", 0, 0, kIntMax);
    map.left = optional_integer(field, "left", 0, 0, kIntMax);
    map.bottom = optional_integer(field, "bottom", 0, 0, kIntMax);
    map.right = optional_integer(field, "right", 0, 0, kIntMax);
    map.row_pitch = optional_integer(field, "row_pitch", 1, 1, kIntMax);
    map.col_pitch = optional_integer(field, "col_pitch", 1, 1, kIntMax);
    map.spacing_v = spacing_of(field, "spacing_v", map.points_v);
    map.spacing_h = spacing_of(field, "spacing_h", map.points_h);
    map.origin_v = optional_number(field, "origin_v", 0.0);
    map.origin_h = optional_number(field, "origin_h", 0.0);
    return map;
}

VignetteStage vignette_of(const JsonField& field) {
    field.allow_only({"coefficients", "center_x", "center_y"});
    VignetteStage stage;
    const JsonField coefficients = field.required("coefficients");
    stage.coefficients = coefficients.numbers();
    if (stage.coefficients.empty() || stage.coefficients.size() > 5)
        coefficients.fail("expected 1 to 5 numbers, got " + std::to_string(stage.coefficients.size()));
    stage.center_x = optional_number(field, "center_x", 0.5);
    stage.center_y = optional_number(field, "center_y", 0.5);
    return stage;
}

// One list of numbers for every channel, or one list per channel (three).
std::vector<std::vector<double>> per_channel_sets(const JsonField& field) {
    if (!field.value().is_array() || field.value().empty() || !field.value()[0].is_array())
        return {field.numbers()};
    std::vector<std::vector<double>> sets;
    for (const JsonField& element : field.elements())
        sets.push_back(element.numbers());
    if (sets.size() != 3)
        field.fail("expected one list of numbers or three lists, got " + std::to_string(sets.size()));
    return sets;
}

WarpStage warp_of(const JsonField& field) {
    field.allow_only({"coefficients", "tangential", "center_x", "center_y", "cubic"});
    WarpStage stage;
    const JsonField coefficients = field.required("coefficients");
    const auto radial = per_channel_sets(coefficients);
    for (const auto& set : radial) {
        if (set.empty() || set.size() > 4 || set.size() != radial[0].size())
            coefficients.fail("expected 1 to 4 numbers per channel, the same count for each, got " +
                              std::to_string(set.size()));
        stage.coefficients.insert(stage.coefficients.end(), set.begin(), set.end());
    }
    stage.planes = static_cast<int32_t>(radial.size());
    stage.coefficient_count = static_cast<int32_t>(radial[0].size());
    if (const auto tangential = field.member("tangential")) {
        const auto pairs = per_channel_sets(*tangential);
        if (pairs.size() != radial.size())
            tangential->fail("expected as many lists as warp.coefficients has (" + std::to_string(radial.size()) +
                             "), got " + std::to_string(pairs.size()));
        for (const auto& pair : pairs) {
            if (pair.size() != 2) tangential->fail("expected 2 numbers, got " + std::to_string(pair.size()));
            stage.tangential.insert(stage.tangential.end(), pair.begin(), pair.end());
        }
    }
    stage.center_x = optional_number(field, "center_x", 0.5);
    stage.center_y = optional_number(field, "center_y", 0.5);
    stage.cubic = optional_boolean(field, "cubic", true);
    return stage;
}

ColourStage colour_of(const JsonField& field) {
    field.allow_only({"input_curve", "matrix", "output_curve", "preserve_hue"});
    ColourStage stage;
    if (const auto curve = field.member("input_curve")) stage.input_curve = curve_of(*curve);
    if (const auto matrix = field.member("matrix")) {
        const std::vector<float> values = matrix->floats(9);
        stage.matrix.emplace();
        std::copy(values.begin(), values.end(), stage.matrix->begin());
    }
    if (const auto curve = field.member("output_curve")) {
        if (!field.member("matrix")) curve->fail("is used only together with colour.matrix");
        stage.output_curve = curve_of(*curve);
    }
    if (stage.input_curve.empty() && !stage.matrix && stage.output_curve.empty())
        field.fail("needs at least one of input_curve, matrix and output_curve");
    if (const auto preserve = field.member("preserve_hue")) {
        stage.preserve_hue = preserve->boolean();
        if (stage.preserve_hue && stage.input_curve.empty()) preserve->fail("needs colour.input_curve");
    }
    return stage;
}

ExposureStage exposure_of(const JsonField& field) {
    field.allow_only({"white", "black", "toe_width", "unclipped"});
    ExposureStage stage;
    stage.black = optional_number(field, "black", 0.0);
    const JsonField white = field.required("white");
    stage.white = white.number();
    if (!(stage.white > stage.black)) {
        std::ostringstream message;
        message << "must be greater than exposure.black (" << stage.black << "), got " << stage.white;
        white.fail(message.str());
    }
    if (const auto toe = field.member("toe_width")) stage.toe_width = toe->number_at_least(0.0, true);
    stage.unclipped = optional_boolean(field, "unclipped", false);
    return stage;
}

HueSatMapStage hue_sat_map_of(const JsonField& field) {
    field.allow_only({"hue_divisions", "sat_divisions", "val_divisions", "table"});
    HueSatMapStage stage;
    stage.hue_divisions = field.required("hue_divisions").integer(1, 360);
    stage.sat_divisions = field.required("sat_divisions").integer(1, 256);
    stage.val_divisions = optional_integer(field, "val_divisions", 0, 0, 256);
    const size_t layers = stage.val_divisions >= 2 ? static_cast<size_t>(stage.val_divisions) : 1;
    stage.table =
        field.required("table").floats(3 * layers * static_cast<size_t>(stage.hue_divisions) * stage.sat_divisions);
    return stage;
}

ProfileGainTableStage profile_gain_table_of(const JsonField& field) {
    field.allow_only({"points_v", "points_h", "points_n", "spacing_v", "spacing_h", "origin_v", "origin_h", "table",
                      "weights", "gamma", "input_scale"});
    ProfileGainTableStage stage;
    stage.points_v = optional_integer(field, "points_v", 1, 1, 4096);
    stage.points_h = optional_integer(field, "points_h", 1, 1, 4096);
    stage.points_n = optional_integer(field, "points_n", 1, 1, 4096);
    stage.spacing_v = static_cast<float>(spacing_of(field, "spacing_v", stage.points_v));
    stage.spacing_h = static_cast<float>(spacing_of(field, "spacing_h", stage.points_h));
    stage.origin_v = static_cast<float>(optional_number(field, "origin_v", 0.0));
    stage.origin_h = static_cast<float>(optional_number(field, "origin_h", 0.0));
    stage.table =
        field.required("table").floats(static_cast<size_t>(stage.points_v) * stage.points_h * stage.points_n);
    const std::vector<float> weights = field.required("weights").floats(5);
    std::copy(weights.begin(), weights.end(), stage.weights.begin());
    if (const auto gamma = field.member("gamma"))
        stage.gamma = static_cast<float>(gamma->number_at_least(0.0, false));
    if (const auto scale = field.member("input_scale")) stage.input_scale = scale->float_number();
    return stage;
}

OutputStage output_of(const std::optional<JsonField>& field) {
    OutputStage stage;
    stage.curve = linear_curve();
    if (!field) return stage;
    field->allow_only({"curve"});
    if (const auto curve = field->member("curve")) stage.curve = curve_of(*curve);
    return stage;
}

void require_colour_image(const Recipe& recipe, const JsonField& field) {
    if (!recipe.demosaic) field.fail("needs the demosaic stage (it works on three-channel images)");
}

}  // namespace

Recipe recipe_from_json(const nlohmann::json& document) {
    const JsonField root(document, "");
    root.allow_only({"description", "bad_pixels", "normalise", "mosaic_gain_maps", "demosaic", "vignette", "warp",
                     "colour", "exposure", "hue_sat_map", "profile_gain_table", "output"});
    Recipe recipe;
    if (const auto description = root.member("description")) description->text();
    if (const auto field = root.member("demosaic")) {
        field->allow_only({"cfa"});
        recipe.demosaic = DemosaicStage{cfa_of(field->required("cfa"))};
    }
    if (const auto field = root.member("bad_pixels")) recipe.bad_pixels = bad_pixels_of(*field, recipe.demosaic);
    if (const auto field = root.member("normalise")) recipe.normalise = normalise_of(*field);
    if (const auto field = root.member("mosaic_gain_maps")) {
        for (const JsonField& map : field->elements())
            recipe.mosaic_gain_maps.push_back(mosaic_gain_map_of(map));
    }
    if (const auto field = root.member("vignette")) recipe.vignette = vignette_of(*field);
    if (const auto field = root.member("warp")) recipe.warp = warp_of(*field);
    if (const auto field = root.member("colour")) {
        require_colour_image(recipe, *field);
        recipe.colour = colour_of(*field);
    }
    if (const auto field = root.member("exposure")) {
        require_colour_image(recipe, *field);
        recipe.exposure = exposure_of(*field);
    }
    if (const auto field = root.member("hue_sat_map")) {
        require_colour_image(recipe, *field);
        recipe.hue_sat_map = hue_sat_map_of(*field);
    }
    if (const auto field = root.member("profile_gain_table")) {
        require_colour_image(recipe, *field);
        recipe.profile_gain_table = profile_gain_table_of(*field);
    }
    recipe.output = output_of(root.member("output"));
    return recipe;
}

Recipe parse_recipe(const std::string& text) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        // Drop the library's "[json.exception.parse_error.101] " prefix.
        std::string message = error.what();
        const size_t start = message.find("] ");
        throw RecipeError("invalid JSON: " + (start == std::string::npos ? message : message.substr(start + 2)));
    }
    if (!document.is_object()) throw RecipeError("expected a JSON object at the top level");
    return recipe_from_json(document);
}

Recipe load_recipe(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw RecipeError(path + ": cannot read the file");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw RecipeError(path + ": cannot read the file");
    try {
        return parse_recipe(text.str());
    } catch (const RecipeError& error) {
        throw RecipeError(path + ": " + error.what());
    }
}

}  // namespace orvex::develop
