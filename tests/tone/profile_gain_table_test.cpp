#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "frame/power.h"
#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

using Pixel = std::array<float, 3>;

struct GainMap {
    std::vector<float> table = {1.0f};
    int32_t points_v = 1, points_h = 1, points_n = 1;
    float spacing_v = 1.0f, spacing_h = 1.0f, origin_v = 0.0f, origin_h = 0.0f;
    std::array<float, 5> weights = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    float gamma = 1.0f, input_scale = 1.0f;

    void expect(std::vector<float> samples, uint64_t height, uint64_t width, const std::vector<float>& expected) {
        orvex_image image = describe(samples, height, width, 3);
        ASSERT_EQ(
            orvex_apply_profile_gain_table_map(&image, table.data(), points_v, points_h, spacing_v, spacing_h,
                                               origin_v, origin_h, points_n, weights.data(), gamma, input_scale),
            ORVEX_OK);
        for (size_t i = 0; i < samples.size(); ++i)
            ASSERT_EQ(bits_of(samples[i]), bits_of(expected[i])) << "sample " << i << ": " << samples[i];
    }
    // One-row images of widths around the vector widths, `input` cycled.
    void expect_row(const std::vector<Pixel>& input, const std::vector<Pixel>& expected) {
        for (size_t width : {1, 3, 5, 7, 9, 17, 19, 33}) {
            std::vector<float> samples, wanted;
            for (size_t x = 0; x < width; ++x) {
                samples.insert(samples.end(), input[x % input.size()].begin(), input[x % input.size()].end());
                wanted.insert(wanted.end(), expected[x % expected.size()].begin(),
                              expected[x % expected.size()].end());
            }
            SCOPED_TRACE(width);
            expect(samples, 1, width, wanted);
        }
    }
    // An image of 0.5 in every sample becomes half the gain of each pixel.
    void expect_gains(uint64_t height, uint64_t width, const std::vector<float>& gains) {
        std::vector<float> expected;
        for (float gain : gains)
            expected.insert(expected.end(), 3, gain * 0.5f);
        expect(std::vector<float>(3 * height * width, 0.5f), height, width, expected);
    }
};

class ProfileGainTable : public IsaTest {};

TEST_P(ProfileGainTable, OneGainForAllChannelsThenClamp) {
    GainMap map;
    map.table = {2.0f};
    map.expect_row({{0.6f, 0.3f, 0.1f}, {-0.5f, 0.25f, kNaN}, {-0.0f, 1.0f, 0.0f}},
                   {{1.0f, 0.6f, 0.2f}, {0.0f, 0.5f, 0.0f}, {-0.0f, 1.0f, 0.0f}});
}

TEST_P(ProfileGainTable, BrightnessAndGammaPickTablePoints) {
    // Gains 1, 2, 4, 8 at t = 0, 0.25, 0.5, 0.75; the last holds up to 1.
    GainMap map;
    map.points_n = 4;
    map.table = {1.0f, 2.0f, 4.0f, 8.0f};
    struct Case {
        std::array<float, 5> weights;
        float scale, gamma;
        Pixel expected;  // from the pixel (0.5, 0.25, 0.125)
    };
    const Case cases[] = {
        {{1, 0, 0, 0, 0}, 1.0f, 1.0f, {1.0f, 1.0f, 0.5f}},        // t 0.5: point 2
        {{0, 1, 0, 0, 0}, 1.0f, 1.0f, {1.0f, 0.5f, 0.25f}},       // t 0.25: point 1
        {{0, 0, 1, 0, 0}, 1.0f, 1.0f, {0.75f, 0.375f, 0.1875f}},  // t 0.125: halfway from 0 to 1
        {{0, 0, 0, 1, 0}, 1.0f, 1.0f, {0.75f, 0.375f, 0.1875f}},  // minimum
        {{0, 0, 0, 0, 1}, 1.0f, 1.0f, {1.0f, 1.0f, 0.5f}},        // maximum
        {{0, 0, 0, 0, 1}, 1.375f, 1.0f, {1.0f, 1.0f, 0.875f}},    // t 0.6875
        {{0, 0, 0, 0, 1}, 1.625f, 1.0f, {1.0f, 1.0f, 1.0f}},      // t 0.8125: last point
        {{0.5f, 0.5f, 0, 0, 0}, 1.0f, 1.0f, {1.0f, 0.75f, 0.375f}},
        {{0, 0, 0, 0, 0}, 1.0f, 1.0f, {0.5f, 0.25f, 0.125f}},        // t 0: point 0
        {{1, 0, 0, 0, 0}, 1.0f, 2.0f, {1.0f, 0.5f, 0.25f}},          // t 0.25
        {{0, 1, 0, 0, 0}, 1.0f, 0.5f, {1.0f, 1.0f, 0.5f}},           // t 0.5
        {{1, 0, 0, 0, 0}, 1.0f, kNaN, {1.0f, 1.0f, 0.5f}},           // counts as 1
        {{0, 0, 0, 0, 0}, 1.0f, 0.0f, {1.0f, 1.0f, 1.0f}},           // 0 to the power 0 is 1
        {{0, 0, 0, 0, 0}, 1.0f, -1.0f, {1.0f, 1.0f, 1.0f}},          // infinite coordinate
        {{0, 0, 0, 0, 0}, -1.0f, -1.0f, {1.0f, 1.0f, 1.0f}},         // -0 to the power -1 is -infinity
        {{0, 0, 0, 0, 0}, -1.0f, 3.0f, {0.5f, 0.25f, 0.125f}},       // -0 cubed stays -0
        {{0, 0, 1e-30f, 0, 0}, 1.0f, -2.0f, {1.0f, 1.0f, 1.0f}},     // the power overflows
        {{0, 0, 0x1p-123f, 0, 0}, 1.0f, -0.5f, {1.0f, 1.0f, 1.0f}},  // 4 * 2^63, past int32
    };
    for (const Case& c : cases) {
        map.weights = c.weights;
        map.input_scale = c.scale;
        map.gamma = c.gamma;
        SCOPED_TRACE(&c - cases);
        map.expect_row({{0.5f, 0.25f, 0.125f}}, {c.expected});
    }
}

TEST_P(ProfileGainTable, BrightnessSumKeepsItsGrouping) {
    // With points 0 and 1 the gain is 2t. Each pixel's terms cancel to 0
    // only in the grouping ((R + G) + (B + (min + max))).
    GainMap map;
    map.points_n = 2;
    map.table = {0.0f, 1.0f};
    map.weights = {0.25f, 1.0f, 0.0f, 0.0f, -1.0f};
    map.expect_row({{0.5f, 33554432.0f, 0.25f}}, {{0.0f, 0.0f, 0.0f}});
    map.weights = {0.0f, 0.0f, 1.0f, -134217728.0f, 0x1p-28f};
    map.expect_row({{0.5f, 0.25f, 33554432.0f}}, {{0.0f, 0.0f, 0.0f}});
}

TEST_P(ProfileGainTable, MapPointsInterpolateByRowAndColumn) {
    GainMap map;
    map.points_v = map.points_h = 2;
    map.table = {0.5f, 0.25f, 1.0f, 0.75f};
    map.spacing_v = map.spacing_h = 0.5f;
    // Rows and columns at map positions 0, 0.5, 1, 1.5.
    map.origin_v = map.origin_h = 0.125f;
    map.expect_gains(4, 4,
                     {0.5f, 0.375f, 0.25f, 0.25f, 0.75f, 0.625f, 0.5f, 0.5f,  //
                      1.0f, 0.875f, 0.75f, 0.75f, 1.0f, 0.875f, 0.75f, 0.75f});
    // At -0.5, 0, 0.5, 1.
    map.origin_v = map.origin_h = 0.375f;
    map.expect_gains(4, 4,
                     {0.5f, 0.5f, 0.375f, 0.25f, 0.5f, 0.5f, 0.375f, 0.25f,  //
                      0.75f, 0.75f, 0.625f, 0.5f, 1.0f, 1.0f, 0.875f, 0.75f});
}

TEST_P(ProfileGainTable, ZeroSpacingPicksEndPointBySide) {
    // Offsets -0.25, 0, 0.25, 0.5: the first point up to and including the
    // origin, the last after it.
    GainMap map;
    map.table = {0.25f, 0.5f, 1.0f};
    map.points_h = 3;
    map.spacing_h = 0.0f;
    map.origin_h = 0.375f;
    map.expect_gains(1, 4, {0.25f, 0.25f, 1.0f, 1.0f});
    map.points_h = 1;
    map.points_v = 3;
    map.spacing_v = 0.0f;
    map.origin_v = 0.375f;
    map.expect_gains(4, 1, {0.25f, 0.25f, 1.0f, 1.0f});
}

TEST_P(ProfileGainTable, LastMapColumnStaysInsideWhenItsIndexRoundsUp) {
    // The last column index, 2^24 + 3, rounds up to 2^24 + 4 as a float.
    GainMap map;
    map.points_h = (1 << 24) + 4;
    map.table.assign(static_cast<size_t>(map.points_h), 1.0f);
    map.table.back() = 0.5f;
    map.spacing_h = 1e-9f;
    map.origin_h = 0.25f;
    map.expect_gains(1, 2, {1.0f, 0.5f});
}

// The gain of one pixel, computed by the rule pixel by pixel.
float reference_gain(const GainMap& map, float row_position, float column_position, Pixel p) {
    auto place = [](float coordinate, int32_t points, int32_t& first, int32_t& second) {
        const float last = static_cast<float>(points - 1);
        const float c = coordinate >= 0.0f ? (coordinate < last ? coordinate : last) : 0.0f;
        first = static_cast<int32_t>(c) < points - 1 ? static_cast<int32_t>(c) : points - 1;
        second = first + 1 < points ? first + 1 : first;
        return c - static_cast<float>(first);
    };
    int32_t r0, r1, c0, c1;
    const float fr = place(row_position, map.points_v, r0, r1);
    const float fc = place(column_position, map.points_h, c0, c1);
    const float* w = map.weights.data();
    const float lo = std::min({p[0], p[1], p[2]}), hi = std::max({p[0], p[1], p[2]});
    const float m = ((w[0] * p[0] + w[1] * p[1]) + (w[2] * p[2] + (w[3] * lo + w[4] * hi))) * map.input_scale;
    float t = m >= 0.0f ? (m < 1.0f ? m : 1.0f) : 0.0f;
    if (map.gamma != 1.0f && map.gamma == map.gamma) t = power(t, map.gamma);
    const int32_t n = map.points_n;
    const float kp = static_cast<float>(n) * t;
    const bool in_range = kp >= 0.0f && kp < 2147483648.0f;
    const int32_t k0 = in_range && static_cast<int32_t>(kp) < n - 1 ? static_cast<int32_t>(kp) : n - 1;
    const int32_t k1 = k0 + 1 < n ? k0 + 1 : k0;
    const float fk = in_range ? kp - static_cast<float>(k0) : 0.0f;
    auto lerp = [](float a, float b, float f) { return (b - a) * f + a; };
    auto along_points = [&](int32_t r, int32_t c) {
        const float* line = map.table.data() + (static_cast<size_t>(r) * map.points_h + c) * n;
        return lerp(line[k0], line[k1], fk);
    };
    const float u0 = lerp(along_points(r0, c0), along_points(r0, c1), fc);
    const float u1 = lerp(along_points(r1, c0), along_points(r1, c1), fc);
    return lerp(u0, u1, fr);
}

TEST_P(ProfileGainTable, RunsOfMapColumnsMatchThePixelRule) {
    // Map columns that change inside a vector, runs shorter than a vector,
    // runs from right to left, rows wider than a block of pixels, and table
    // lines held in registers (up to 32 points) or read from the table.
    struct Case {
        int32_t points_h, points_n;
        float spacing_h, origin_h, gamma;
        uint64_t width;
    };
    const Case cases[] = {
        {7, 1, 0.15f, 0.05f, 1.0f, 61},      {9, 5, 0.1f, 0.0f, 2.2f, 47},    {40, 8, 0.02f, 0.1f, 1.0f, 77},
        {5, 9, 0.3f, -0.2f, 1.0f, 1100},     {6, 16, -0.2f, 0.9f, 0.45f, 93}, {3, 17, 0.4f, 0.1f, 1.0f, 530},
        {17, 32, 0.0625f, 0.0f, 2.2f, 1043}, {4, 33, 0.25f, 0.0f, 1.0f, 35},  {11, 40, 0.09f, 0.05f, 2.2f, 529},
    };
    for (const Case& c : cases) {
        GainMap map;
        map.points_v = 3;
        map.points_h = c.points_h;
        map.points_n = c.points_n;
        map.spacing_v = 0.4f;
        map.spacing_h = c.spacing_h;
        map.origin_v = 0.1f;
        map.origin_h = c.origin_h;
        map.gamma = c.gamma;
        map.weights = {0.3f, 0.2f, 0.1f, 0.25f, 0.15f};
        map.input_scale = 1.1f;
        map.table.resize(static_cast<size_t>(map.points_v) * map.points_h * map.points_n);
        for (size_t i = 0; i < map.table.size(); ++i)
            map.table[i] = 0.5f + static_cast<float>((i * 37) % 23) / 17.0f;
        constexpr uint64_t kHeight = 3;
        std::vector<float> samples(3 * kHeight * c.width), expected(samples.size());
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>((i * 7919) % 1201) / 1000.0f - 0.05f;
        const float inverse_width = 1.0f / static_cast<float>(c.width);
        const float inverse_spacing = 1.0f / c.spacing_h;
        for (uint64_t y = 0; y < kHeight; ++y) {
            const float rp = ((static_cast<float>(y) + 0.5f) / kHeight - map.origin_v) / map.spacing_v;
            float column_centre = 0.5f;
            for (uint64_t x = 0; x < c.width; ++x, column_centre += 1.0f) {
                const float cp = (column_centre * inverse_width - map.origin_h) * inverse_spacing;
                const size_t i = 3 * (y * c.width + x);
                const float gain = reference_gain(map, rp, cp, {samples[i], samples[i + 1], samples[i + 2]});
                for (size_t k = i; k < i + 3; ++k) {
                    const float v = gain * samples[k];
                    expected[k] = v >= 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
                }
            }
        }
        SCOPED_TRACE(&c - cases);
        map.expect(samples, kHeight, c.width, expected);
    }
}

TEST_P(ProfileGainTable, GammaIsTheCorrectlyRoundedPower) {
    // Brightness = red; with table point k holding k, the gain is the table
    // coordinate N * t^gamma, and green = 2^-11 carries it out exactly.
    constexpr int32_t kPoints = 1024;
    GainMap map;
    map.points_n = kPoints;
    map.table.clear();
    for (int32_t k = 0; k < kPoints; ++k)
        map.table.push_back(static_cast<float>(k));
    map.weights = {1, 0, 0, 0, 0};
    std::vector<float> reds = {0.0f,   -0.0f,      0x1p-149f, 0x1p-130f, 0x1.fffffep-127f, 1e-30f, 1e-8f,
                               0.003f, 0.0404482f, 0.5f,      0.75f,     0x1.fffffep-1f,   1.0f};
    for (int i = 1; reds.size() < 301; ++i)
        reds.push_back(static_cast<float>((i * 7919) % 10007) / 10007.0f);
    const float green = 0x1p-11f;
    for (float gamma : {2.2f, 1 / 2.2f, 2.4f, 1 / 2.4f, 0.5f, 3.0f, 0.001f, 15.9f, -0.25f, -7.5f}) {
        map.gamma = gamma;
        std::vector<float> samples, expected;
        for (float red : reds) {
            const float kp = kPoints * power(red, gamma);
            const bool in_range = kp >= 0.0f && kp < 2147483648.0f;
            const int32_t k0 = in_range && kp < kPoints - 1 ? static_cast<int32_t>(kp) : kPoints - 1;
            const int32_t k1 = k0 + 1 < kPoints ? k0 + 1 : k0;
            const float fk = in_range ? kp - static_cast<float>(k0) : 0.0f;
            const float gain = (map.table[k1] - map.table[k0]) * fk + map.table[k0];
            auto clamp01 = [](float v) { return v >= 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; };
            samples.insert(samples.end(), {red, green, 0.0f});
            expected.insert(expected.end(), {clamp01(gain * red), clamp01(gain * green), 0.0f});
        }
        SCOPED_TRACE(gamma);
        map.expect(samples, 1, reds.size(), expected);
    }
}

ORVEX_INSTANTIATE_PER_ISA(ProfileGainTable);

TEST(ProfileGainTableValidation, FirstFailingTestDecidesAndNothingIsWritten) {
    const std::vector<float> original = {0.5f, 0.75f, 1.0f, 0.1f, 0.2f, 0.3f};
    std::vector<float> samples = original;
    const float table[] = {2.0f};
    const float weights[] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    const orvex_image good = describe(samples, 1, 2, 3);
    auto image = [&](uint32_t dtype, uint64_t channels, uint64_t reserved, bool data = true, uint64_t height = 1,
                     uint64_t width = 2) {
        orvex_image i = good;
        i.dtype = dtype;
        i.channels = channels;
        i.reserved = reserved;
        i.data = data ? i.data : nullptr;
        i.height = height;
        i.width = width;
        return i;
    };
    constexpr uint32_t f32 = ORVEX_DTYPE_FLOAT32, u8 = ORVEX_DTYPE_UINT8;
    struct Case {
        orvex_image image;
        const float* table;
        const float* weights;
        int32_t v, h, n;
        orvex_status status;
    };
    const Case cases[] = {
        {image(u8, 3, 0, false), table, weights, 1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(u8, 3, 0), nullptr, weights, 1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(u8, 3, 0), table, nullptr, 1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(ORVEX_DTYPE_UINT16, 1, 1), table, weights, 0, 0, 0, ORVEX_ERR_UNSUPPORTED},
        {image(2, 3, 0), table, weights, 1, 1, 1, ORVEX_ERR_UNSUPPORTED},
        {image(f32, 4, 0), table, weights, 1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 1), table, weights, 1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), table, weights, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), table, weights, 1, 0, 1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), table, weights, 1, 1, 0, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0, true, 0), table, weights, 1, 1, 0, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0, true, 0), table, weights, 1, 1, 1, ORVEX_OK},
        {image(f32, 3, 0, true, 1, 0), table, weights, 1, 1, 1, ORVEX_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(orvex_apply_profile_gain_table_map(&c.image, c.table, c.v, c.h, 0.5f, 0.5f, 0.0f, 0.0f, c.n,
                                                     c.weights, 1.0f, 1.0f),
                  c.status);
        EXPECT_EQ(samples, original);
    }
    EXPECT_EQ(
        orvex_apply_profile_gain_table_map(nullptr, table, 1, 1, 0.5f, 0.5f, 0.0f, 0.0f, 1, weights, 1.0f, 1.0f),
        ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(
        orvex_apply_profile_gain_table_map(&good, table, 1, 1, 0.5f, 0.5f, 0.0f, 0.0f, 1, weights, 1.0f, 1.0f),
        ORVEX_OK);
    EXPECT_NE(samples, original);
}

}  // namespace
}  // namespace orvex::testing
