#include <gtest/gtest.h>

#include <string>

#include "recipe.h"
#include "temporary_folder.h"
#include "tone_curves.h"

namespace {

using orvex::develop::parse_recipe;
using orvex::develop::RecipeError;

std::string error_of(const std::string& text) {
    try {
        parse_recipe(text);
    } catch (const RecipeError& error) {
        return error.what();
    }
    return "no error";
}

TEST(Recipe, ErrorsNameTheFieldAndTheFile) {
    orvex::testing::TemporaryFolder folder;
    const std::string path = folder.path("recipe.json");
    orvex::testing::write_text_file(path,
                                    R"({"demosaic": {"cfa": "RGGB"}, "colour": {"matrix": [1,0,0, 0,1,0, 0,0]}})");
    try {
        orvex::develop::load_recipe(path);
        FAIL() << "accepted a matrix of eight numbers";
    } catch (const RecipeError& error) {
        EXPECT_EQ(std::string(error.what()), path + ": colour.matrix: expected 9 numbers, got 8");
    }
    try {
        orvex::develop::load_recipe(folder.path("absent.json"));
        FAIL() << "read a file that does not exist";
    } catch (const RecipeError& error) {
        EXPECT_EQ(std::string(error.what()), folder.path("absent.json") + ": cannot read the file");
    }
}

TEST(Recipe, EveryKindOfMistakeHasItsMessage) {
    EXPECT_EQ(error_of("{\"demosaic\": {\"cfa\": \"RGGB\"},"),
              "invalid JSON: parse error at line 1, column 30: syntax error while parsing object key - unexpected "
              "end of input; expected string literal");
    EXPECT_EQ(error_of("[1, 2]"), "expected a JSON object at the top level");
    // Missing fields.
    EXPECT_EQ(error_of(R"({"normalise": {"black_level": [256]}})"),
              "normalise.white_level: required field is missing");
    EXPECT_EQ(error_of(R"({"bad_pixels": {"constant": 0}})"), "bad_pixels.bayer_phase: required field is missing");
    EXPECT_EQ(error_of(R"({"mosaic_gain_maps": [{"points_v": 2}]})"),
              "mosaic_gain_maps[0].gains: required field is missing");
    // Wrong types.
    EXPECT_EQ(error_of(R"({"vignette": {"coefficients": "strong"}})"),
              "vignette.coefficients: expected an array of numbers, got a string");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "colour": {"matrix": [1,0,0, 0,"1",0, 0,0,1]}})"),
              "colour.matrix[4]: expected a number, got a string");
    EXPECT_EQ(error_of(R"({"bad_pixels": {"constant": 1.5, "bayer_phase": 0}})"),
              "bad_pixels.constant: expected an integer, got a number");
    EXPECT_EQ(error_of(R"({"warp": {"coefficients": [1], "cubic": "yes"}})"),
              "warp.cubic: expected true or false, got a string");
    EXPECT_EQ(error_of(R"({"normalise": []})"), "normalise: expected an object, got an array");
    // Values out of range.
    EXPECT_EQ(error_of(R"({"bad_pixels": {"constant": 70000, "bayer_phase": 0}})"),
              "bad_pixels.constant: must be between 0 and 65535, got 70000");
    EXPECT_EQ(error_of(R"({"bad_pixels": {"constant": 18446744073709551615, "bayer_phase": 0}})"),
              "bad_pixels.constant: must be between 0 and 65535, got 18446744073709551615");
    EXPECT_EQ(error_of(R"({"bad_pixels": {"constant": -1, "bayer_phase": 0}})"),
              "bad_pixels.constant: must be between 0 and 65535, got -1");
    EXPECT_EQ(error_of(R"({"mosaic_gain_maps": [{"gains": [1], "row_pitch": 0}]})"),
              "mosaic_gain_maps[0].row_pitch: must be at least 1, got 0");
    EXPECT_EQ(error_of(R"({"mosaic_gain_maps": [{"gains": [1], "spacing_v": 0}]})"),
              "mosaic_gain_maps[0].spacing_v: must be greater than 0, got 0");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGXB"}})"),
              "demosaic.cfa: expected four letters R, G or B such as \"RGGB\", got \"RGXB\"");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "exposure": {"white": 0.2, "black": 0.5}})"),
              "exposure.white: must be greater than exposure.black (0.5), got 0.2");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "hue_sat_map": {"hue_divisions": 6, "sat_divisions": 0,
                          "table": []}})"),
              "hue_sat_map.sat_divisions: must be between 1 and 256, got 0");
    EXPECT_EQ(error_of(R"({"vignette": {"coefficients": [1, 2, 3, 4, 5, 6]}})"),
              "vignette.coefficients: expected 1 to 5 numbers, got 6");
    EXPECT_EQ(error_of(R"({"output": {"curve": [0.5]}})"), "output.curve: expected at least 2 numbers, got 1");
    EXPECT_EQ(error_of(R"({"output": {"curve": "gamma"}})"),
              "output.curve: expected \"linear\", \"srgb\" or an array of numbers, got \"gamma\"");
    EXPECT_EQ(error_of(R"({"normalise": {"black_level": [1e300], "white_level": 4095}})"),
              "normalise.black_level[0]: must fit a 32-bit float, got 1e+300");
    // Tables sized by their dimensions, so the library never reads past them.
    EXPECT_EQ(error_of(R"({"normalise": {"black_level": [1, 2, 3], "black_level_rows": 2, "black_level_cols": 2,
                          "white_level": [4095]}})"),
              "normalise.black_level: expected 4 numbers, got 3");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "hue_sat_map": {"hue_divisions": 2, "sat_divisions": 2,
                          "val_divisions": 2, "table": [0, 1, 1]}})"),
              "hue_sat_map.table: expected 24 numbers, got 3");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "profile_gain_table": {"points_n": 2, "table": [1],
                          "weights": [1, 0, 0, 0, 0]}})"),
              "profile_gain_table.table: expected 2 numbers, got 1");
    EXPECT_EQ(error_of(R"({"warp": {"coefficients": [[1, 0], [1], [1, 0]]}})"),
              "warp.coefficients: expected 1 to 4 numbers per channel, the same count for each, got 1");
    EXPECT_EQ(error_of(R"({"warp": {"coefficients": [1], "tangential": [0]}})"),
              "warp.tangential: expected 2 numbers, got 1");
    // Fields that do not exist or do not fit together.
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "colour": {"matirx": []}})"),
              "colour.matirx: unknown field");
    EXPECT_EQ(error_of(R"({"colour": {"matrix": [1,0,0,0,1,0,0,0,1]}})"),
              "colour: needs the demosaic stage (it works on three-channel images)");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "colour": {}})"),
              "colour: needs at least one of input_curve, matrix and output_curve");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "colour": {"output_curve": "srgb"}})"),
              "colour.output_curve: is used only together with colour.matrix");
    EXPECT_EQ(error_of(R"({"demosaic": {"cfa": "RGGB"}, "colour": {"matrix": [1,0,0,0,1,0,0,0,1],
                          "preserve_hue": true}})"),
              "colour.preserve_hue: needs colour.input_curve");
}

TEST(Recipe, DefaultsAndDerivedValues) {
    const auto recipe = parse_recipe(R"({
        "bad_pixels": {"constant": 0},
        "normalise": {"black_level": [256], "white_level": 4095},
        "mosaic_gain_maps": [{"points_v": 3, "points_h": 5, "gains": [1,1,1,1,1, 1,1,1,1,1, 1,1,1,1,1]}],
        "demosaic": {"cfa": "GRBG"},
        "warp": {"coefficients": [[1, 0], [1, 0.1], [1, 0]], "tangential": [[0, 0], [0, 0.01], [0, 0]]},
        "colour": {"input_curve": "srgb"}
    })");
    ASSERT_TRUE(recipe.bad_pixels);
    EXPECT_EQ(recipe.bad_pixels->bayer_phase, 0u);  // green at the top-left corner
    EXPECT_EQ(recipe.normalise->white_level, std::vector<float>{4095.0f});
    EXPECT_EQ(recipe.mosaic_gain_maps[0].spacing_v, 0.5);
    EXPECT_EQ(recipe.mosaic_gain_maps[0].spacing_h, 0.25);
    EXPECT_EQ(recipe.mosaic_gain_maps[0].row_pitch, 1);
    EXPECT_EQ(recipe.demosaic->cfa, (std::array<uint32_t, 4>{1, 0, 2, 1}));
    EXPECT_EQ(recipe.warp->planes, 3);
    EXPECT_EQ(recipe.warp->coefficient_count, 2);
    EXPECT_EQ(recipe.warp->coefficients, (std::vector<double>{1, 0, 1, 0.1, 1, 0}));
    EXPECT_EQ(recipe.warp->tangential, (std::vector<double>{0, 0, 0, 0.01, 0, 0}));
    EXPECT_TRUE(recipe.warp->cubic);
    EXPECT_EQ(recipe.colour->input_curve.size(), size_t{orvex::develop::kSrgbCurveEntries});
    EXPECT_EQ(recipe.output.curve, (std::vector<float>{0.0f, 1.0f}));
    EXPECT_EQ(
        parse_recipe(R"({"bad_pixels": {"constant": 0}, "demosaic": {"cfa": "RGGB"}})").bad_pixels->bayer_phase,
        1u);
}

}  // namespace
