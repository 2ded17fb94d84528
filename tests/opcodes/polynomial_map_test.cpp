#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace {

using orvex::testing::bits_of;
using orvex::testing::describe;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Whole image, all channels, pitch 1.
orvex_status map_all(orvex_image& image, const std::vector<float>& c) {
    return orvex_map_polynomial(&image, 0, 0, 0, 0, 0, 3, 1, 1, c.data(), static_cast<int32_t>(c.size()) - 1);
}

TEST(PolynomialMap, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> samples(4 * 4 * 3, 0.5f);
    const float c[2] = {0.0f, 2.0f};
    const orvex_image good = describe(samples, 4, 4, 3);
    struct Case {
        int32_t top, left, bottom, right, plane, row_pitch, col_pitch, degree;
    };
    const auto call = [&](orvex_image image, const float* coefficients, const Case& k) {
        return orvex_map_polynomial(&image, k.top, k.left, k.bottom, k.right, k.plane, 3, k.row_pitch, k.col_pitch,
                                    coefficients, k.degree);
    };
    const Case ok{0, 0, 0, 0, 0, 1, 1, 1};
    orvex_image bad = good;
    bad.dtype = ORVEX_DTYPE_UINT16;
    bad.reserved = 1;
    bad.channels = 2;
    EXPECT_EQ(orvex_map_polynomial(nullptr, 0, 0, 0, 0, 0, 3, 1, 1, c, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(good, nullptr, ok), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(bad, c, {0, 0, 0, 0, 0, 1, 1, -1}), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(bad, c, {0, 0, 0, 0, -1, 0, 0, 1}), ORVEX_ERR_UNSUPPORTED);
    bad.dtype = ORVEX_DTYPE_FLOAT32;
    EXPECT_EQ(call(bad, c, ok), ORVEX_ERR_INVALID_ARGUMENT);
    bad.reserved = 0;
    EXPECT_EQ(call(bad, c, ok), ORVEX_ERR_INVALID_ARGUMENT);
    bad.data = nullptr;
    EXPECT_EQ(call(bad, c, ok), ORVEX_ERR_INVALID_ARGUMENT);
    // Pitches below 1, a negative first channel and areas that leave the
    // image are refused; an empty area is not.
    for (const Case& k :
         {Case{0, 0, 0, 0, 0, 0, 1, 1}, Case{0, 0, 0, 0, 0, 1, -1, 1}, Case{0, 0, 0, 0, -1, 1, 1, 1},
          Case{0, 0, 5, 0, 0, 1, 1, 1}, Case{0, 0, 0, 5, 0, 1, 1, 1}, Case{-1, 0, 2, 0, 0, 1, 1, 1},
          Case{0, -1, 0, 2, 0, 1, 1, 1}, Case{3, 0, 2, 0, 0, 1, 1, 1}, Case{0, 3, 0, 2, 0, 1, 1, 1}})
        EXPECT_EQ(call(good, c, k), ORVEX_ERR_INVALID_ARGUMENT) << k.top << k.left << k.bottom << k.right;
    EXPECT_EQ(call(good, c, {2, 1, 2, 4, 0, 1, 1, 1}), ORVEX_OK);
    for (const float s : samples)
        EXPECT_EQ(bits_of(s), bits_of(0.5f));
}

class PolynomialMapIsa : public orvex::testing::IsaTest {};

TEST_P(PolynomialMapIsa, MirroredSquareOnRowsOfEveryLength) {
    // x = (i - 18) / 16 maps to sign(x) x^2 through (0, 0, 1); |x| > 1 clamps.
    for (int width = 1; width <= 37; width += 6) {
        std::vector<float> samples;
        for (int i = 0; i < width * 3; ++i)
            samples.push_back(static_cast<float>(i % 37 - 18) / 16.0f);
        orvex_image image = describe(samples, 1, width, 3);
        ASSERT_EQ(map_all(image, {0.0f, 0.0f, 1.0f}), ORVEX_OK);
        for (int i = 0; i < width * 3; ++i) {
            const float x = static_cast<float>(i % 37 - 18) / 16.0f;
            const float square = x >= 0.0f ? x * x : -(x * x);
            EXPECT_EQ(bits_of(samples[i]), bits_of(square > 1.0f ? 1.0f : square < -1.0f ? -1.0f : square)) << i;
        }
    }
}

TEST_P(PolynomialMapIsa, EachDegreeUsesItsOwnEvaluation) {
    // Nested forms for degrees 3 and 4, ascending sums for 5 and 6; the two
    // schemes round differently on these inputs. 85 samples fill whole blocks
    // of four vectors and leave a tail on every instruction set.
    const float all[7] = {0.1f, 0.7f, -0.3f, 0.2f, 0.05f, -0.02f, 0.01f};
    const float inputs[4] = {0.7f, -0.7f, 0.93f, -0.93f};
    const struct {
        int degree;
        uint32_t expected[4];
    } cases[] = {{3, {0x3f02f838, 0xbe9f8a09, 0x3f2703c7, 0xbee7a127}},
                 {4, {0x3f060afa, 0xbea5af8e, 0x3f3096ff, 0xbefac797}},
                 {5, {0x3f052eae, 0xbea3f6f7, 0x3f2d0726, 0xbef3a7e2}},
                 {6, {0x3f057bc8, 0xbea4912b, 0x3f2eaf29, 0xbef6f7e8}}};
    for (const auto& k : cases) {
        std::vector<float> samples;
        for (int i = 0; i < 85; ++i)
            samples.push_back(inputs[i % 4]);
        orvex_image image = describe(samples, 1, 85, 1);
        ASSERT_EQ(map_all(image, std::vector<float>(all, all + k.degree + 1)), ORVEX_OK);
        for (int i = 0; i < 85; ++i)
            EXPECT_EQ(bits_of(samples[i]), k.expected[i % 4]) << k.degree << " " << i;
    }
}

TEST_P(PolynomialMapIsa, NaNClampAndConstantDegree) {
    const std::vector<float> inputs = {kNaN, 0.5f, -0.5f, 1.5f, -2.0f, 0.0f, -0.0f, 0.25f, -0.75f};
    // NaN gives -1 for every degree above 0; (0, 1) keeps -1..1 and clamps.
    for (int degree = 1; degree <= 6; ++degree) {
        std::vector<float> samples = inputs;
        orvex_image image = describe(samples, 3, 3, 1);
        std::vector<float> c(degree + 1, 0.0f);
        c[1] = 1.0f;
        ASSERT_EQ(map_all(image, c), ORVEX_OK);
        const float expected[9] = {-1.0f, 0.5f, -0.5f, 1.0f, -1.0f, 0.0f, 0.0f, 0.25f, -0.75f};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(bits_of(samples[i]), bits_of(expected[i])) << degree << " " << i;
    }
    // Degree 0 writes the clamped constant whatever the sample.
    for (const float c0 : {2.0f, -3.0f, kNaN, 0.375f}) {
        std::vector<float> samples = inputs;
        orvex_image image = describe(samples, 1, 9, 1);
        ASSERT_EQ(map_all(image, {c0}), ORVEX_OK);
        for (const float s : samples)
            EXPECT_EQ(bits_of(s), bits_of(c0 > 1.0f ? 1.0f : c0 >= -1.0f ? c0 : -1.0f));
    }
}

ORVEX_INSTANTIATE_PER_ISA(PolynomialMapIsa);

TEST(PolynomialMap, AreaChannelsAndPitches) {
    // 0.5 becomes 0.25 through (0, 0, 1); untouched samples stay 0.5.
    const auto expect = [](uint64_t channels, std::vector<int32_t> a, auto&& mapped) {
        std::vector<float> s(6 * 24 * channels, 0.5f);
        orvex_image image = describe(s, 6, 24, channels);
        const float c[3] = {0.0f, 0.0f, 1.0f};
        ASSERT_EQ(orvex_map_polynomial(&image, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], c, 2), ORVEX_OK);
        for (size_t i = 0; i < s.size(); ++i) {
            const int y = static_cast<int>(i / (24 * channels)), x = static_cast<int>(i / channels % 24);
            EXPECT_EQ(bits_of(s[i]), bits_of(mapped(y, x, static_cast<int>(i % channels)) ? 0.25f : 0.5f)) << i;
        }
    };
    // top = bottom = 0 with columns 10 to 19: every row.
    expect(1, {0, 10, 0, 20, 0, 1, 1, 1}, [](int, int x, int) { return x >= 10 && x < 20; });
    // Rows 1, 3 of 1..4, columns 2, 5, 8 of 2..9, channels 1 and 2 (planes past the count).
    expect(3, {1, 2, 5, 10, 1, 7, 2, 3}, [](int y, int x, int p) {
        return (y == 1 || y == 3) && x >= 2 && x < 10 && (x - 2) % 3 == 0 && p >= 1;
    });
    // All channels of whole rows, every third row.
    expect(3, {0, 0, 0, 0, 0, 3, 3, 1}, [](int y, int, int) { return y % 3 == 0; });
    // A channel count of 0 or less maps nothing.
    expect(3, {0, 0, 0, 0, 0, 0, 1, 1}, [](int, int, int) { return false; });
    expect(3, {0, 0, 0, 0, 2, -1, 1, 1}, [](int, int, int) { return false; });
}

}  // namespace
