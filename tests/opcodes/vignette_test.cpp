#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace {

using orvex::testing::bits_of;
using orvex::testing::describe;

TEST(Vignette, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> samples(4, 0.5f);
    const double k[1] = {1.0};
    orvex_image bad = describe(samples, 2, 2, 1);
    bad.dtype = ORVEX_DTYPE_UINT16;
    bad.reserved = 1;
    EXPECT_EQ(orvex_fix_vignette(nullptr, k, 1, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_fix_vignette(&bad, nullptr, 1, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_fix_vignette(&bad, k, 0, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_fix_vignette(&bad, k, -3, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_fix_vignette(&bad, k, 1, 0.5, 0.5), ORVEX_ERR_UNSUPPORTED);
    bad.dtype = ORVEX_DTYPE_FLOAT32;
    EXPECT_EQ(orvex_fix_vignette(&bad, k, 1, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    bad.reserved = 0;
    bad.data = nullptr;
    EXPECT_EQ(orvex_fix_vignette(&bad, k, 1, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    for (const float s : samples)
        EXPECT_EQ(bits_of(s), bits_of(0.5f));
}

class VignetteIsa : public orvex::testing::IsaTest {};

TEST_P(VignetteIsa, EightBySixAroundTheCentre) {
    // cx = 4, cy = 3, R = 5. The gain is summed in double and rounded to float
    // once; at (0, 0) a float evaluation would give 0x3f2147ad. The sixth and
    // seventh coefficients are ignored. Channel 1 (0.9) clamps where the gain
    // exceeds 1/0.9; channel 2 holds 1.5 (clamped to 1) and -0.25 (to 0).
    const double coefficients[7] = {0.3, -0.2, 0.1, 0.05, 0.01, 99.0, 99.0};
    std::vector<float> samples;
    for (int i = 0; i < 8 * 6; ++i)
        samples.insert(samples.end(), {0.5f, 0.9f, i % 2 ? -0.25f : 1.5f});
    orvex_image image = describe(samples, 6, 8, 3);
    ASSERT_EQ(orvex_fix_vignette(&image, coefficients, 7, 0.5, 0.5), ORVEX_OK);
    struct Pixel {
        int x, y;
        uint32_t half;   // gain * 0.5
        float times_09;  // gain * 0.9, clamped
    };
    // (0, 3): r^2 = 0.64 (0.6400000000000001 in double); (4, 3): r^2 = 0,
    // gain 1; (7, 5): r^2 = 0.52.
    for (const Pixel& p :
         {Pixel{0, 0, 0x3f2147ae, 1.0f}, Pixel{0, 3, 0x3f12a828, 1.0f}, Pixel{4, 3, 0x3f000000, 0.9f},
          Pixel{7, 5, 0x3f0f5cb6, 1.0f}, Pixel{3, 2, 0x3f02ea3c, 1.0227733f * 0.9f}}) {
        const float* px = &samples[(p.y * 8 + p.x) * 3];
        EXPECT_EQ(bits_of(px[0]), p.half) << p.x << "," << p.y;
        EXPECT_EQ(bits_of(px[1]), bits_of(p.times_09)) << p.x << "," << p.y;
        EXPECT_EQ(bits_of(px[2]), bits_of((p.y * 8 + p.x) % 2 ? 0.0f : 1.0f)) << p.x << "," << p.y;
    }
}

TEST_P(VignetteIsa, LongRowOnAMosaic) {
    // One row of 2100 pixels (past the 2048-column bands) with the centre at
    // (0, 0): R is the distance to (2100, 1) and r^2 = (x / R)^2; with k0 = -1
    // the gain is 1 - r^2 and a sample of 1 becomes float(1 - r^2).
    const double coefficients[2] = {-1.0, 0.0};
    std::vector<float> samples(2100, 1.0f);
    orvex_image image = describe(samples, 1, 2100, 1);
    ASSERT_EQ(orvex_fix_vignette(&image, coefficients, 2, 0.0, 0.0), ORVEX_OK);
    for (int x = 0; x < 2100; ++x) {
        const double dx = x / std::sqrt(2100.0 * 2100.0 + 1.0);
        EXPECT_EQ(bits_of(samples[x]), bits_of(static_cast<float>(1.0 - dx * dx))) << x;
    }
}

ORVEX_INSTANTIATE_PER_ISA(VignetteIsa);

TEST(Vignette, SmallImagesUseRadiusOneAndZeroCoefficientsOnlyClamp) {
    // 1 x 1 with the centre in the middle: corner distances are 0.707, so
    // R = 1 and r^2 = 0.5.
    std::vector<float> one = {0.5f};
    orvex_image image = describe(one, 1, 1, 1);
    const double k0[1] = {1.0};
    ASSERT_EQ(orvex_fix_vignette(&image, k0, 1, 0.5, 0.5), ORVEX_OK);
    EXPECT_EQ(bits_of(one[0]), bits_of(0.75f));

    const double zeros[5] = {};
    std::vector<float> samples = {0.25f, 1.5f, -0.5f, std::numeric_limits<float>::quiet_NaN(), -0.0f, 1.0f};
    image = describe(samples, 1, 3, 2);
    ASSERT_EQ(orvex_fix_vignette(&image, zeros, 5, 0.5, 0.5), ORVEX_OK);
    const float expected[6] = {0.25f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bits_of(samples[i]), bits_of(expected[i])) << i;
}

}  // namespace
