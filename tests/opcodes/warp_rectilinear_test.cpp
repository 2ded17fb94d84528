#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "isa_param.h"
#include "warp_test_util.h"

namespace orvex::testing {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

constexpr double kIdentity[4] = {1.0, 0.0, 0.0, 0.0};

orvex_status run(orvex_image s, orvex_image d, const double* coefficients = kIdentity, int32_t planes = 1,
                 int32_t count = 4) {
    return orvex_warp_rectilinear(&s, &d, coefficients, planes, count, nullptr, 0.5, 0.5, true);
}

TEST(WarpRectilinearValidation, EachTestInOrderAndNothingWritten) {
    std::vector<float> src_samples = ramp_samples(60, 0.0f, 1.0f), dst_samples(60, kUntouched);
    const orvex_image src = describe(src_samples, 4, 5, 3), dst = describe(dst_samples, 4, 5, 3);
    const double* c = kIdentity;
    orvex_image no_data = src, u16 = src, reserved = src, short_dst = dst;
    no_data.data = nullptr;
    u16.dtype = ORVEX_DTYPE_UINT16;
    reserved.reserved = 1;
    short_dst.height = 3;
    EXPECT_EQ(orvex_warp_rectilinear(nullptr, &dst, c, 1, 4, nullptr, 0.5, 0.5, false), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_warp_rectilinear(&src, nullptr, c, 1, 4, nullptr, 0.5, 0.5, false), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(no_data, dst), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(src, no_data), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(src, dst, nullptr), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(u16, dst, c, 0), ORVEX_ERR_INVALID_ARGUMENT);  // counts before types
    EXPECT_EQ(run(src, dst, c, -1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(src, dst, c, 1, 0), ORVEX_ERR_INVALID_ARGUMENT);
    for (uint32_t dtype : {0u, 1u, 2u, 4u}) {
        u16.dtype = dtype;
        EXPECT_EQ(run(u16, dst), ORVEX_ERR_UNSUPPORTED) << dtype;
        EXPECT_EQ(run(src, u16), ORVEX_ERR_UNSUPPORTED) << dtype;
        EXPECT_EQ(run(reserved, u16), ORVEX_ERR_UNSUPPORTED) << dtype;  // types before reserved
    }
    EXPECT_EQ(run(reserved, dst), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(src, reserved), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(reserved, short_dst), ORVEX_ERR_INVALID_ARGUMENT);  // reserved before shape
    for (uint64_t orvex_image::*size : {&orvex_image::height, &orvex_image::width, &orvex_image::channels}) {
        orvex_image d = dst;
        d.*size -= 1;
        EXPECT_EQ(run(src, d), ORVEX_ERR_SHAPE_MISMATCH);
    }
    // Images without rows or columns succeed without writing.
    EXPECT_EQ(run(describe(src_samples, 0, 5, 3), describe(dst_samples, 0, 5, 3)), ORVEX_OK);
    EXPECT_EQ(run(describe(src_samples, 4, 0, 3), describe(dst_samples, 4, 0, 3)), ORVEX_OK);
    EXPECT_EQ(bits_of(dst_samples), bits_of(std::vector<float>(60, kUntouched)));
}

// The column (row) that a cubic window at integer position p takes alone:
// windows are kept inside, so border positions repeat their neighbours.
uint64_t cubic_source(uint64_t p, uint64_t extent) { return p == 0 ? 1 : p + 2 >= extent ? extent - 3 : p; }

class WarpRectilinear : public IsaTest {};

TEST_P(WarpRectilinear, IdentityBilinearCopiesUnclampedAcrossWidths) {
    WarpCall call;
    call.planes = 3;
    call.coefficients = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (uint64_t width : {1u, 2u, 3u, 5u, 8u, 9u, 13u, 16u, 19u}) {
        const std::vector<float> src = ramp_samples(3 * width * 3, -0.5f, 1.5f);
        EXPECT_EQ(bits_of(call.warp(src, 3, width, 3)), bits_of(src)) << width;
    }
}

// The right neighbour's zero weight still multiplies it: -0 becomes +0, an
// infinite neighbour gives NaN, and so does an infinity in the last column,
// which is its own neighbour.
TEST_P(WarpRectilinear, IdentityBilinearKeepsTheZeroWeightProducts) {
    std::vector<float> src(18, 0.25f);
    const float row0[9] = {-0.0f, 0.5f, 0.5f, 0.5f, kInf, 0.5f, 0.5f, 0.5f, kInf};
    std::copy(row0, row0 + 9, src.begin());
    const std::vector<float> dst = WarpCall{}.warp(src, 2, 9, 1);
    EXPECT_EQ(bits_of(dst[0]), bits_of(0.0f));
    for (uint64_t x : {3u, 7u, 8u})
        EXPECT_TRUE(std::isnan(dst[x])) << x;
    EXPECT_EQ(dst[4], kInf);
    for (uint64_t x : {1u, 2u, 5u, 6u})
        EXPECT_EQ(dst[x], 0.5f) << x;
    for (uint64_t x = 9; x < 18; ++x)
        EXPECT_EQ(dst[x], 0.25f) << x;
}

TEST_P(WarpRectilinear, IdentityCubicCopiesInteriorAndRepeatsBorderNeighbours) {
    WarpCall call;
    call.cubic = true;
    call.planes = 2;
    call.coefficients = {1, 0, 0, 0, 1, 0, 0, 0};
    for (uint64_t h : {4u, 7u})
        for (uint64_t w : {4u, 5u, 8u, 9u, 17u, 19u}) {
            const std::vector<float> src = ramp_samples(h * w * 2, 0.0f, 1.0f), dst = call.warp(src, h, w, 2);
            for (uint64_t i = 0; i < dst.size(); ++i) {
                const uint64_t y = i / 2 / w, x = i / 2 % w;
                const uint64_t from = (cubic_source(y, h) * w + cubic_source(x, w)) * 2 + i % 2;
                ASSERT_EQ(bits_of(dst[i]), bits_of(src[from])) << h << "x" << w << " sample " << i;
            }
        }
}

TEST_P(WarpRectilinear, CubicClampsToZeroOneAndNaNWindowsGiveZero) {
    const uint64_t h = 6, w = 12;
    std::vector<float> src(h * w, 0.25f);
    src[2 * w + 3] = 1.5f;
    src[3 * w + 8] = -0.5f;
    src[1 * w + 6] = std::numeric_limits<float>::quiet_NaN();
    WarpCall call;
    call.cubic = true;
    const std::vector<float> dst = call.warp(src, h, w, 1);
    for (uint64_t y = 0; y < h; ++y)
        for (uint64_t x = 0; x < w; ++x) {
            const uint64_t sy = cubic_source(y, h), sx = cubic_source(x, w);
            // Windows of rows 0 ... 2 and columns 4 ... 7 hold the NaN: its zero-weighted product is NaN.
            const bool nan_window = y <= 2 && x >= 4 && x <= 7;
            const float expected = nan_window || (sy == 3 && sx == 8) ? 0.0f : sy == 2 && sx == 3 ? 1.0f : 0.25f;
            ASSERT_EQ(bits_of(dst[y * w + x]), bits_of(expected)) << y << "," << x;
        }
}

// kr0 = inf (the only coefficient) throws every position off the image:
// positive offsets pin to the last column (row), negative ones and the NaN of
// 0 x inf to 0.
TEST_P(WarpRectilinear, PositionsOutsideTheImageClampToItsEdges) {
    const uint64_t h = 6, w = 10;  // centre (5, 3)
    const std::vector<float> src = ramp_samples(h * w, 0.0f, 1.0f);
    for (bool cubic : {false, true}) {
        WarpCall call;
        call.coefficients = {static_cast<double>(kInf)};
        call.coefficient_count = 1;
        call.cubic = cubic;
        const std::vector<float> dst = call.warp(src, h, w, 1);
        for (uint64_t y = 0; y < h; ++y)
            for (uint64_t x = 0; x < w; ++x) {
                uint64_t sx = x > 5 ? w - 1 : 0, sy = y > 3 ? h - 1 : 0;
                if (cubic) sx = cubic_source(sx, w), sy = cubic_source(sy, h);
                ASSERT_EQ(bits_of(dst[y * w + x]), bits_of(src[sy * w + sx])) << cubic << " " << y << "," << x;
            }
    }
}

// With kr0 = inf the lower right quarter samples the last pixel of the
// buffer, whose right and lower neighbours are itself: every plane of it is
// read at the buffer's very end, and only the planes asked for are written.
TEST_P(WarpRectilinear, LastPixelOfTheBufferFeedsTheLowerRightQuarter) {
    const uint64_t h = 6, w = 10, c = 3;  // centre (5, 3)
    std::vector<float> src = ramp_samples(h * w * c, 0.0f, 1.0f);
    const float last[3] = {-0.0f, kInf, 0.75f};
    std::copy(last, last + 3, src.end() - 3);
    for (int32_t planes : {2, 3}) {
        WarpCall call;
        call.planes = planes;
        call.coefficients = {static_cast<double>(kInf), static_cast<double>(kInf), static_cast<double>(kInf)};
        call.coefficient_count = 1;
        const std::vector<float> dst = call.warp(src, h, w, c);
        for (uint64_t y = 4; y < h; ++y)
            for (uint64_t x = 6; x < w; ++x) {
                const float* out = &dst[(y * w + x) * c];
                EXPECT_EQ(bits_of(out[0]), bits_of(-0.0f)) << planes << " " << y << "," << x;
                EXPECT_TRUE(std::isnan(out[1])) << planes << " " << y << "," << x;
                EXPECT_EQ(bits_of(out[2]), bits_of(planes == 3 ? 0.75f : kUntouched))
                    << planes << " " << y << "," << x;
            }
    }
}

// A cubic window needs 4 rows and 4 columns: smaller images are resampled
// bilinearly (unclamped) instead of being read outside.
TEST_P(WarpRectilinear, CubicOnImagesBelowFourRowsOrColumnsResamplesBilinearly) {
    WarpCall bilinear;
    bilinear.coefficients = {0.75, 0.1, 0, 0};
    WarpCall cubic = bilinear;
    cubic.cubic = true;
    for (auto [h, w] : {std::pair<uint64_t, uint64_t>{3, 9}, {9, 3}, {1, 1}, {2, 17}}) {
        const std::vector<float> src = ramp_samples(h * w * 2, -1.0f, 2.0f);
        EXPECT_EQ(bits_of(cubic.warp(src, h, w, 2)), bits_of(bilinear.warp(src, h, w, 2))) << h << "x" << w;
    }
}

ORVEX_INSTANTIATE_PER_ISA(WarpRectilinear);

}  // namespace
}  // namespace orvex::testing
