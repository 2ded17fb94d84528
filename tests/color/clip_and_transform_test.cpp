#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

std::vector<float> transform(std::vector<float> src, const float* limits, const float* matrix) {
    std::vector<float> dst(src.size());
    orvex_image s = describe(src, 1, src.size() / 3, 3), d = describe(dst, 1, dst.size() / 3, 3);
    EXPECT_EQ(orvex_clip_and_transform_color(&s, &d, limits, matrix), ORVEX_OK);
    return dst;
}

void expect_bits(const std::vector<float>& got, const std::vector<float>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(bits_of(got[i]), bits_of(expected[i])) << "sample " << i;
}

class ClipAndTransformTest : public IsaTest {};

// Rows 0 and 1 tell (a + b) + c from a + (b + c): 0.5 + 2^-25 rounds back
// to 0.5 before the second 2^-25 arrives. Row 2 subtracts channel 0.
// Lengths and starts put pixels before, in and after the vector steps.
TEST_P(ClipAndTransformTest, EveryLengthSeparateAndInPlace) {
    const float tiny = std::ldexp(1.0f, -25);
    const float matrix[9] = {0.5f, tiny, tiny, tiny, tiny, 0.5f, -1.0f, 0.0f, 1.0f};
    const float limits[3] = {1.0f, 1.0f, 0.75f};
    const float in[][3] = {{1, 1, 1}, {2, 1, 0.5f}, {0.25f, 0, 1}, {kNaN, 0.5f, 2}, {0.5f, 0.5f, 0.25f}};
    const float out[][3] = {{0.5f, 0.375f + 2 * tiny, 0},
                            {0.5f, 0.25f + 2 * tiny, 0},
                            {0.125f + tiny, 0.375f, 0.5f},
                            {0.5f, 0.375f + 2 * tiny, 0},
                            {0.25f, 0.125f + tiny, 0}};
    for (size_t skip : {0, 1, 2}) {
        for (size_t pixels : {1, 4, 5, 8, 13, 16, 17, 35, 51}) {
            std::vector<float> src(3 * (skip + pixels), 5.0f), expected(3 * pixels);
            for (size_t p = 0; p < pixels; ++p)
                for (int k = 0; k < 3; ++k) {
                    src[3 * (skip + p) + k] = in[p % 5][k];
                    expected[3 * p + k] = out[p % 5][k];
                }
            std::vector<float> dst(src.size(), 7.0f);
            orvex_image s = describe(src, pixels, 1, 3), d = describe(dst, pixels, 1, 3);
            s.data = src.data() + 3 * skip;
            d.data = dst.data() + 3 * skip;
            ASSERT_EQ(orvex_clip_and_transform_color(&s, &d, limits, matrix), ORVEX_OK);
            expect_bits(std::vector<float>(dst.begin(), dst.begin() + 3 * skip),
                        std::vector<float>(3 * skip, 7.0f));
            expect_bits(std::vector<float>(dst.begin() + 3 * skip, dst.end()), expected);
            ASSERT_EQ(orvex_clip_and_transform_color(&s, &s, limits, matrix), ORVEX_OK);
            expect_bits(std::vector<float>(src.begin() + 3 * skip, src.end()), expected);
        }
    }
}

TEST(ClipAndTransform, BoundBeforeMatrixClampAfter) {
    const float unit[3] = {1, 1, 1};
    expect_bits(transform({0.2f, 0.5f, 0.9f, 1.5f, -0.5f, 0.3f}, unit, kIdentity),
                {0.2f, 0.5f, 0.9f, 1.0f, 0.0f, 0.3f});
    const float narrow_red[3] = {0.8f, 10, 10};
    expect_bits(transform({0.9f, 0.9f, 0.9f}, narrow_red, kIdentity), {0.8f, 0.9f, 0.9f});
    const float half[3] = {0.5f, 0.5f, 0.5f};
    const float sum_row[9] = {1, 1, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(transform({2, 2, 2}, half, sum_row)[0], 1.0f);
    const float negate_row[9] = {-1, 0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(transform({0.3f, 0, 0}, unit, negate_row)[0], 0.0f);
}

// Repeated over 37 pixels, so that vector steps and the tail both see them.
void expect_every_pixel(const std::vector<float>& pixel, const float* limits, const std::vector<float>& expected) {
    std::vector<float> src;
    for (int p = 0; p < 37; ++p)
        src.insert(src.end(), pixel.begin(), pixel.end());
    const std::vector<float> dst = transform(src, limits, kIdentity);
    for (size_t i = 0; i < dst.size(); ++i)
        EXPECT_EQ(bits_of(dst[i]), bits_of(expected[i % 3])) << "sample " << i;
}

TEST_P(ClipAndTransformTest, NaNAndSignedZeroAtTheBound) {
    const float bound_07[3] = {0.7f, 0.7f, 0.7f};
    expect_every_pixel({kNaN, 0.1f, 0.2f}, bound_07, {0.7f, 0.1f, 0.2f});
    // A NaN bound replaces the sample, and NaN * 0 poisons every row.
    const float nan_red[3] = {kNaN, 1, 1};
    expect_every_pixel({0.2f, 0.3f, 0.4f}, nan_red, {0, 0, 0});
    // -0 under a bound of +0 is kept (the bound is not above it), and -0
    // passes the clamp.
    const float zeros[3] = {0, 0, 0};
    expect_every_pixel({-0.0f, -0.0f, -0.0f}, zeros, {-0.0f, -0.0f, -0.0f});
    const float negative_zeros[3] = {-0.0f, -0.0f, -0.0f};
    expect_every_pixel({0.0f, 0.0f, 0.0f}, negative_zeros, {0.0f, 0.0f, 0.0f});
}

ORVEX_INSTANTIATE_PER_ISA(ClipAndTransformTest);

TEST(ClipAndTransform, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> src(6, 0.5f), dst(6, 9.0f);
    std::vector<uint16_t> words(6);
    const float limits[3] = {1, 1, 1};
    const orvex_image s = describe(src, 1, 2, 3), d = describe(dst, 1, 2, 3), u16 = describe(words, 1, 2, 3);
    const auto run = [&](orvex_image a, orvex_image b) {
        return orvex_clip_and_transform_color(&a, &b, limits, kIdentity);
    };
    EXPECT_EQ(orvex_clip_and_transform_color(&s, &d, nullptr, kIdentity), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_clip_and_transform_color(&s, &d, limits, nullptr), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_clip_and_transform_color(&s, nullptr, limits, kIdentity), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image no_data = d, four = d, reserved = d, wide = d;
    no_data.data = nullptr;
    EXPECT_EQ(run(u16, no_data), ORVEX_ERR_INVALID_ARGUMENT);  // null tests before types
    four.channels = 4;
    EXPECT_EQ(run(u16, four), ORVEX_ERR_UNSUPPORTED);  // types before the rest
    EXPECT_EQ(run(s, u16), ORVEX_ERR_UNSUPPORTED);
    reserved.reserved = 1;
    EXPECT_EQ(run(s, reserved), ORVEX_ERR_INVALID_ARGUMENT);
    wide.width = 3;
    EXPECT_EQ(run(s, wide), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(s, four), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image empty_s = s, empty_d = d;
    empty_s.height = empty_d.height = 0;
    EXPECT_EQ(run(empty_s, empty_d), ORVEX_OK);
    for (float v : dst)
        EXPECT_EQ(v, 9.0f);
}

}  // namespace
}  // namespace orvex::testing
