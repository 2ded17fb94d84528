#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"
#include "tone/exposure_ramp_kernels.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct RampCase {
    float x, clipped, unclipped;
};

// white 2.5, black 0.5, toe_width 0.5: span 2, slope 0.5, and the toe is held
// to one sixteenth of the span: radius 0.125, quad 1, toe over 0.375 .. 0.625.
const RampCase kSixteenthToe[] = {
    {-1.0f, 0.0f, 0.0f},          {0.375f, 0.0f, 0.0f},       {0.4375f, 0.00390625f, 0.00390625f},
    {0.5f, 0.015625f, 0.015625f}, {0.625f, 0.0625f, 0.0625f}, {1.5f, 0.5f, 0.5f},
    {2.5f, 1.0f, 1.0f},           {4.5f, 1.0f, 2.0f},         {kNaN, 0.0f, 0.0f},
    {kInf, 1.0f, kInf},           {-kInf, 0.0f, 0.0f},        {-0.0f, 0.0f, 0.0f},
};

std::vector<float> cycled_inputs(size_t n) {
    std::vector<float> samples(n);
    for (size_t i = 0; i < n; ++i)
        samples[i] = kSixteenthToe[i % std::size(kSixteenthToe)].x;
    return samples;
}

class ExposureRampTest : public IsaTest {};

// Lengths around every vector width and unroll, starts at several
// alignments, separate and shared buffers.
TEST_P(ExposureRampTest, MapsEverySampleOfEveryLength) {
    for (size_t skip : {0, 1, 3}) {
        for (size_t pixels : {1, 5, 11, 16, 21, 43}) {
            for (bool unclipped : {false, true}) {
                std::vector<float> src(skip, 5.0f), dst(skip + 3 * pixels, 7.0f);
                const std::vector<float> inputs = cycled_inputs(3 * pixels);
                src.insert(src.end(), inputs.begin(), inputs.end());
                std::vector<float> shared = src;
                orvex_image s = describe(src, 1, pixels, 3), d = describe(dst, 1, pixels, 3),
                            in_place = describe(shared, 1, pixels, 3);
                s.data = src.data() + skip;
                d.data = dst.data() + skip;
                in_place.data = shared.data() + skip;
                ASSERT_EQ(orvex_apply_exposure_ramp(&s, &d, 2.5, 0.5, 0.5, unclipped), ORVEX_OK);
                ASSERT_EQ(orvex_apply_exposure_ramp(&in_place, &in_place, 2.5, 0.5, 0.5, unclipped), ORVEX_OK);
                for (size_t i = 0; i < skip; ++i)
                    EXPECT_EQ(dst[i], 7.0f);
                for (size_t i = 0; i < 3 * pixels; ++i) {
                    const RampCase& c = kSixteenthToe[i % std::size(kSixteenthToe)];
                    const float expected = unclipped ? c.unclipped : c.clipped;
                    EXPECT_EQ(bits_of(dst[skip + i]), bits_of(expected)) << "x " << c.x << " at " << i;
                    EXPECT_EQ(bits_of(shared[skip + i]), bits_of(expected)) << "in place, at " << i;
                }
            }
        }
    }
}

ORVEX_INSTANTIATE_PER_ISA(ExposureRampTest);

struct CurveCase {
    double white, black, toe_width;
    bool unclipped;
    float x, expected;
};

TEST(ExposureRamp, CurveShapes) {
    const float above_half = std::nextafter(0.5f, 1.0f), above_foot = std::nextafter(0.625f, 1.0f);
    const CurveCase cases[] = {
        // Radius 0.05, quad 0.25 / 0.045: the toe from 0.05 meets the ramp at 0.15.
        {1.0, 0.1, 0.1, false, 0.05f, 0.0f},
        {1.0, 0.1, 0.1, false, 0.1f, 0x1.c71c74p-7f},
        {1.0, 0.1, 0.1, false, 0.15f, 0x1.c71c76p-5f},
        // Half the toe width is narrower here: radius 0.0625, quad 2.
        {2.5, 0.5, 0.125, false, 0.4375f, 0.0f},
        {2.5, 0.5, 0.125, false, 0.5f, 0.0078125f},
        {2.5, 0.5, 0.125, false, 0.5625f, 0.03125f},
        // No toe: 0..1 maps onto itself.
        {1.0, 0.0, 0.0, false, 0.7f, 0.7f},
        {1.0, 0.0, 0.0, false, 0.0f, 0.0f},
        {1.0, 0.0, 0.0, true, 3.0f, 3.0f},
        // White equal to black: a step to 1, or to infinity.
        {0.5, 0.5, 0.1, false, 0.5f, 0.0f},
        {0.5, 0.5, 0.1, false, above_half, 1.0f},
        {0.5, 0.5, 0.1, true, above_half, kInf},
        // A negative toe width (radius -0.125) lifts the foot to 0.625.
        {2.5, 0.5, -0.25, false, 0.625f, 0.0f},
        {2.5, 0.5, -0.25, false, above_foot, (above_foot - 0.5f) * 0.5f},
    };
    for (const CurveCase& c : cases) {
        std::vector<float> px = {c.x, c.x, c.x};
        orvex_image image = describe(px, 1, 1, 3);
        ASSERT_EQ(orvex_apply_exposure_ramp(&image, &image, c.white, c.black, c.toe_width, c.unclipped), ORVEX_OK);
        EXPECT_EQ(bits_of(px[0]), bits_of(c.expected)) << c.x << " on " << c.black << " .. " << c.white;
    }
    // In double 1 + 3 * 2^-26 minus 3 * 2^-26 is exactly 1; in float the two
    // operands would round apart first.
    const double offset = std::ldexp(3.0, -26);
    EXPECT_EQ(make_exposure_curve(1.0 + offset, offset, 0.0).slope, 1.0f);
}

TEST(ExposureRamp, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> src(6, 0.5f), dst(6, 9.0f);
    std::vector<uint16_t> words(6);
    const orvex_image good = describe(src, 1, 2, 3);
    const auto run = [&](orvex_image s, orvex_image d) {
        return orvex_apply_exposure_ramp(&s, &d, 1.0, 0.0, 0.0, false);
    };
    orvex_image d = describe(dst, 1, 2, 3);
    orvex_image u16 = describe(words, 1, 2, 3);

    EXPECT_EQ(orvex_apply_exposure_ramp(nullptr, &d, 1.0, 0.0, 0.0, false), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_apply_exposure_ramp(&good, nullptr, 1.0, 0.0, 0.0, false), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image no_data = d;
    no_data.data = nullptr;
    EXPECT_EQ(run(u16, no_data), ORVEX_ERR_INVALID_ARGUMENT);  // null tests come before types
    orvex_image four = d;
    four.channels = 4;
    EXPECT_EQ(run(u16, four), ORVEX_ERR_UNSUPPORTED);  // types before channels
    EXPECT_EQ(run(good, u16), ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(run(good, four), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image reserved = d;
    reserved.reserved = 1;
    EXPECT_EQ(run(good, reserved), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image narrow = d;
    narrow.width = 1;
    EXPECT_EQ(run(good, narrow), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image empty_src = good, empty_dst = d;
    empty_src.height = 0;
    EXPECT_EQ(run(empty_src, d), ORVEX_ERR_INVALID_ARGUMENT);  // sizes are compared before the empty case
    empty_dst.height = 0;
    EXPECT_EQ(run(empty_src, empty_dst), ORVEX_OK);
    for (float v : dst)
        EXPECT_EQ(v, 9.0f);
}

}  // namespace
}  // namespace orvex::testing
