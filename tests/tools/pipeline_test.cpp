#include <gtest/gtest.h>

#include <cstring>

#include "pipeline.h"
#include "recipe.h"
#include "stages.h"

namespace {

using orvex::develop::develop_mosaic;
using orvex::develop::Mosaic;
using orvex::develop::parse_recipe;
using orvex::develop::SampleFormat;

Mosaic small_mosaic() {
    return Mosaic{4, 4, {16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 0, 192, 208, 224, 240, 255}};
}

TEST(Pipeline, RepairNormaliseDemosaicAndOutputGiveExactBytes) {
    // The marked sample at (2, 2), a red site, becomes (48 + 144 + 1) / 2 = 96;
    // levels are sample / 256, and the output stores trunc(level * 255).
    const auto recipe = parse_recipe(R"({"bad_pixels": {"constant": 0}, "demosaic": {"cfa": "RGGB"},
                                         "normalise": {"black_level": [0], "white_level": [256]}})");
    const auto image = develop_mosaic(recipe, small_mosaic(), SampleFormat::uint8);
    const std::vector<unsigned char> expected = {15,  55,  95,  31,  31,  95,  47, 69,  111, 47, 63,  127,
                                                 79,  79,  95,  75,  95,  95,  71, 111, 111, 71, 122, 127,
                                                 143, 148, 159, 119, 159, 159, 95, 175, 175, 95, 191, 190,
                                                 143, 207, 223, 119, 201, 223, 95, 239, 238, 95, 215, 254};
    EXPECT_EQ(image.height, 4u);
    EXPECT_EQ(image.channels, 3u);
    EXPECT_EQ(image.bytes, expected);
}

TEST(Pipeline, NeutralSettingsOfEveryStageChangeNothing) {
    const std::string common = R"("bad_pixels": {"constant": 0}, "demosaic": {"cfa": "RGGB"},
                                  "normalise": {"black_level": [0], "white_level": [256]})";
    const auto reduced = parse_recipe("{" + common + "}");
    const auto every_stage = parse_recipe("{" + common + R"(,
        "mosaic_gain_maps": [{"gains": [1]}, {"points_v": 2, "points_h": 2, "gains": [1, 1, 1, 1], "row_pitch": 2}],
        "vignette": {"coefficients": [0]},
        "warp": {"coefficients": [1], "cubic": false},
        "colour": {"input_curve": "linear", "matrix": [1, 0, 0, 0, 1, 0, 0, 0, 1]},
        "exposure": {"white": 1},
        "hue_sat_map": {"hue_divisions": 1, "sat_divisions": 2, "table": [0, 1, 1, 0, 1, 1]},
        "profile_gain_table": {"table": [1], "weights": [0.25, 0.5, 0.25, 0, 0]},
        "output": {"curve": "linear"}})");
    std::vector<orvex::develop::StageTime> times;
    const auto all = develop_mosaic(every_stage, small_mosaic(), SampleFormat::uint16, &times);
    EXPECT_EQ(all.bytes, develop_mosaic(reduced, small_mosaic(), SampleFormat::uint16).bytes);
    std::vector<std::string> stages;
    for (const auto& time : times)
        stages.push_back(time.stage);
    EXPECT_EQ(stages, (std::vector<std::string>{"bad_pixels", "normalise", "mosaic_gain_maps", "demosaic",
                                                "vignette", "warp", "colour", "exposure", "hue_sat_map",
                                                "profile_gain_table", "output"}));
}

TEST(Pipeline, EachStageActsInItsPlace) {
    // A white balance gain of 2 on the red sites before demosaicing, an
    // exposure that halves, and an sRGB output curve to 16 bits.
    const auto recipe = parse_recipe(R"({"demosaic": {"cfa": "RGGB"},
        "normalise": {"black_level": [0], "white_level": [256]},
        "mosaic_gain_maps": [{"gains": [2], "row_pitch": 2, "col_pitch": 2}],
        "exposure": {"white": 2}, "output": {"curve": "srgb"}})");
    const Mosaic flat{2, 2, {64, 64, 64, 64}};
    const auto image = develop_mosaic(recipe, flat, SampleFormat::uint16);
    std::vector<uint16_t> samples(12);
    std::memcpy(samples.data(), image.bytes.data(), image.bytes.size());
    // red 0.5 / 2 = 0.25, green and blue 0.25 / 2 = 0.125, each then sRGB-encoded.
    EXPECT_EQ(samples[0], samples[3]);
    EXPECT_GT(samples[0], samples[1]);
    EXPECT_EQ(samples[1], samples[2]);
    EXPECT_NEAR(samples[0] / 65535.0, 0.5371, 0.0005);
    EXPECT_NEAR(samples[1] / 65535.0, 0.3886, 0.0005);
}

TEST(Pipeline, OneChannelWithoutDemosaicAndFloatOutput) {
    const auto recipe = parse_recipe(R"({"normalise": {"black_level": [0], "white_level": [256]},
                                         "vignette": {"coefficients": [0]}})");
    const auto image = develop_mosaic(recipe, small_mosaic(), SampleFormat::float32);
    ASSERT_EQ(image.channels, 1u);
    float first = 0.0f;
    std::memcpy(&first, image.bytes.data(), sizeof first);
    EXPECT_EQ(first, 16.0f / 256.0f);
}

TEST(Pipeline, CubicWarpNeedsFourByFour) {
    const auto recipe = parse_recipe(R"({"warp": {"coefficients": [1]}})");
    try {
        develop_mosaic(recipe, Mosaic{3, 3, std::vector<uint16_t>(9)}, SampleFormat::uint8);
        FAIL() << "warped a 3 x 3 image with cubic weights";
    } catch (const orvex::develop::StageError& error) {
        EXPECT_STREQ(error.what(), "warp.cubic: needs an image of at least 4 x 4 pixels");
    }
}

}  // namespace
