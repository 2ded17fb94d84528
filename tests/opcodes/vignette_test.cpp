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
    // One row of 8300 pixels (past the 8192-column bands) with the centre at
    // (0, 0): R is the distance to (8300, 1) and r^2 = (x / R)^2; with k0 = -1
    // the gain is 1 - r^2 and a sample of 1 becomes float(1 - r^2).
    const double coefficients[2] = {-1.0, 0.0};
    std::vector<float> samples(8300, 1.0f);
    orvex_image image = describe(samples, 1, 8300, 1);
    ASSERT_EQ(orvex_fix_vignette(&image, coefficients, 2, 0.0, 0.0), ORVEX_OK);
    for (int x = 0; x < 8300; ++x) {
        const double dx = x / std::sqrt(8300.0 * 8300.0 + 1.0);
        EXPECT_EQ(bits_of(samples[x]), bits_of(static_cast<float>(1.0 - dx * dx))) << x;
    }
}

// The correction as plain loops: the normalising radius, then per pixel the
// double polynomial in r^2, rounded to float once, applied to each channel.
std::vector<uint32_t> plain_vignette(std::vector<float> samples, int height, int width, int channels,
                                     const double* k, int n, double center_x, double center_y) {
    const double w = width, h = height, cx = w * center_x, cy = h * center_y;
    double radius = 1.0;
    for (const double d :
         {std::sqrt(cx * cx + cy * cy), std::sqrt((w - cx) * (w - cx) + cy * cy),
          std::sqrt(cx * cx + (h - cy) * (h - cy)), std::sqrt((w - cx) * (w - cx) + (h - cy) * (h - cy))})
        if (d > radius) radius = d;
    std::vector<uint32_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double dy = (y - cy) / radius, dx = (x - cx) / radius;
            const double r2 = dy * dy + dx * dx;
            double gain = 1.0, power = r2;
            for (int i = 0; i < n; ++i) {
                gain = gain + power * k[i];
                power = power * r2;
            }
            for (int c = 0; c < channels; ++c) {
                float s = static_cast<float>(gain) * samples[(y * width + x) * channels + c];
                if (s >= 1.0f) s = 1.0f;
                if (!(s > 0.0f)) s = 0.0f;
                out.push_back(bits_of(s));
            }
        }
    return out;
}

// Row lengths 1..47 leave every vector tail, for the channel counts with
// their own kernels and one without; gains above and below 1 make both clamps
// and rounded products occur.
TEST_P(VignetteIsa, EveryRowLengthAndChannelCountMatchesPlainLoops) {
    const double k[5] = {0.7, -0.3, 0.15, 0.05, -0.01};
    for (const int channels : {1, 3, 4, 5})
        for (int width = 1; width <= 47; ++width) {
            const int height = 3;
            std::vector<float> samples(static_cast<size_t>(height * width * channels));
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = i % 13 == 5 ? std::numeric_limits<float>::quiet_NaN()
                                         : static_cast<float>(i * 37 % 101) / 83.0f - 0.1f;
            const std::vector<uint32_t> want = plain_vignette(samples, height, width, channels, k, 5, 0.37, 0.61);
            orvex_image image = describe(samples, height, width, channels);
            ASSERT_EQ(orvex_fix_vignette(&image, k, 5, 0.37, 0.61), ORVEX_OK);
            std::vector<uint32_t> got;
            for (const float s : samples)
                got.push_back(bits_of(s));
            EXPECT_EQ(got, want) << channels << " " << width;
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
