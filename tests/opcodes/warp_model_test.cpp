#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <latch>
#include <thread>
#include <vector>

#include "isa_param.h"
#include "opcodes/warp_cubic_table.h"
#include "warp_test_util.h"

namespace orvex::testing {
namespace {

// The lens model and both resamplers written out step by step, one sample
// at a time, as the reference every instruction set must match bit for bit.
struct ReferenceWarp {
    const std::vector<float>& src;
    uint64_t h, w, c;
    const WarpCall& call;

    float sample(int64_t row, int64_t column, uint64_t k) const { return src[(row * w + column) * c + k]; }

    float at(uint64_t y, uint64_t x, uint64_t i) const {
        const double W = static_cast<double>(w), H = static_cast<double>(h);
        const double cx = W * call.center_x, cy = H * call.center_y;
        double R = 1.0;
        for (double d :
             {std::sqrt(cx * cx + cy * cy), std::sqrt((W - cx) * (W - cx) + cy * cy),
              std::sqrt(cx * cx + (H - cy) * (H - cy)), std::sqrt((W - cx) * (W - cx) + (H - cy) * (H - cy))})
            if (d > R) R = d;
        const double dx = x - cx, dy = y - cy, nx = dx * (1 / R), ny = dy * (1 / R);
        const double r2 = ny * ny + nx * nx, r2c = r2 < 1.0 ? r2 : 1.0;
        const double tx = (dx * (2 / R)) * nx + r2c, ty = (dy * (2 / R)) * ny + r2c;
        const double* k = call.coefficients.data() + i * call.coefficient_count;
        double f = k[0], p = r2c;
        for (int n = 1; n < std::min(call.coefficient_count, 4); ++n, p = p * r2c)
            f = f + p * k[n];
        double ox = f * dx, oy = f * dy;
        if (!call.tangential.empty()) {
            const double kt0 = call.tangential[2 * i], kt1 = call.tangential[2 * i + 1];
            if (kt0 != 0 || kt1 != 0) {
                ox = ox + ((kt0 + kt0) * nx * ny + tx * kt1) * R;
                oy = oy + ((kt1 + kt1) * nx * ny + ty * kt0) * R;
            }
        }
        double sx = ox + cx, sy = oy + cy;
        if (sx > W - 1) sx = W - 1;
        if (!(sx > 0)) sx = 0;
        if (sy > H - 1) sy = H - 1;
        if (!(sy > 0)) sy = 0;
        const int64_t x0 = static_cast<int64_t>(std::floor(sx)), y0 = static_cast<int64_t>(std::floor(sy));
        const double fx = sx - x0, fy = sy - y0;
        if (!call.cubic) {
            const int64_t x1 = std::min<int64_t>(x0 + 1, w - 1), y1 = std::min<int64_t>(y0 + 1, h - 1);
            const double top = double(sample(y0, x0, i)) * (1 - fx) + double(sample(y0, x1, i)) * fx;
            const double bottom = double(sample(y1, x0, i)) * (1 - fx) + double(sample(y1, x1, i)) * fx;
            return static_cast<float>(top * (1 - fy) + bottom * fy);
        }
        // The window starts one before the position, moved inside the image with sub-position 0.
        auto window = [](int64_t p, double f, int64_t n, int64_t& q) -> int64_t {
            q = p - 1 < 0 || p - 1 > n - 4 ? 0 : static_cast<int64_t>(f * 32);
            return p - 1 < 0 ? 0 : p - 1 > n - 4 ? n - 4 : p - 1;
        };
        int64_t qx, qy;
        const int64_t cs = window(x0, fx, w, qx), rs = window(y0, fy, h, qy);
        const float* weights = cubic_weight_table() + (qy * 32 + qx) * 16;
        float result = 0.0f;
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b)
                result += sample(rs + a, cs + b, i) * weights[a * 4 + b];
        if (result >= 1) result = 1;
        if (!(result > 0)) result = 0;
        return result;
    }
};

std::vector<float> weights_at(int qy, int qx) {
    const float* w = cubic_weight_table() + (qy * 32 + qx) * 16;
    return std::vector<float>(w, w + 16);
}

// Kernel values at quarter and half offsets are binary fractions summing to 1,
// which the normalisation leaves unchanged.
TEST(WarpCubicTable, SubPositionsWithExactWeights) {
    EXPECT_EQ(weights_at(0, 0), std::vector<float>({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(weights_at(0, 16),
              std::vector<float>({0, 0, 0, 0, -0.09375f, 0.59375f, 0.59375f, -0.09375f, 0, 0, 0, 0, 0, 0, 0, 0}));
    // qy selects the window row.
    EXPECT_EQ(weights_at(16, 0),
              std::vector<float>({0, -0.09375f, 0, 0, 0, 0.59375f, 0, 0, 0, 0.59375f, 0, 0, 0, -0.09375f, 0, 0}));
    // fx = 0.25 reaches both kernel pieces: K(1.25), K(0.25), K(0.75), K(1.75).
    EXPECT_EQ(weights_at(0, 8), std::vector<float>({0, 0, 0, 0, -0.10546875f, 0.87890625f, 0.26171875f,
                                                    -0.03515625f, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Runs in a fresh process, so these are the first cubic calls: several
// threads make them at once and must all use one complete table.
[[noreturn]] void first_cubic_calls_from_several_threads() {
    constexpr int kThreads = 8;
    const std::vector<float> src = ramp_samples(6 * 21, 0.0f, 1.0f);
    WarpCall call;
    call.cubic = true;
    std::vector<std::vector<float>> results(kThreads);
    std::vector<const float*> tables(kThreads);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            results[t] = call.warp(src, 6, 21, 1);
            tables[t] = cubic_weight_table();
        });
    for (std::thread& thread : threads)
        thread.join();
    bool same = true;
    for (int t = 0; t < kThreads; ++t) {
        same = same && tables[t] == tables[0] && bits_of(results[t]) == bits_of(results[0]);
        // Interior pixels of the identity copy their source.
        for (uint64_t y = 1; y < 4; ++y)
            for (uint64_t x = 1; x < 19; ++x)
                same = same && results[t][y * 21 + x] == src[y * 21 + x];
    }
    std::_Exit(same && !::testing::Test::HasFailure() ? 0 : 1);
}

TEST(WarpCubicTable, ConcurrentFirstCubicCallsShareOneTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(first_cubic_calls_from_several_threads(), ::testing::ExitedWithCode(0), "");
}

class WarpRectilinearModel : public IsaTest {};

// Every sample of `dst`, the warp of `src` by `call`, against the step-by-step
// model: channels with a plane bit for bit, the others untouched.
::testing::AssertionResult matches_model(const std::vector<float>& src, const std::vector<float>& dst, uint64_t h,
                                         uint64_t w, uint64_t c, const WarpCall& call) {
    const ReferenceWarp reference{src, h, w, c, call};
    for (uint64_t y = 0; y < h; ++y)
        for (uint64_t x = 0; x < w; ++x)
            for (uint64_t i = 0; i < c; ++i) {
                const float expected = i < static_cast<uint64_t>(call.planes) ? reference.at(y, x, i) : kUntouched;
                const float got = dst[(y * w + x) * c + i];
                if (bits_of(got) != bits_of(expected))
                    return ::testing::AssertionFailure()
                           << "at " << y << "," << x << "," << i << ": " << got << ", expected " << expected;
            }
    return ::testing::AssertionSuccess();
}

// Three planes of different radial and tangential terms, positions that
// leave the image and come back, and widths around every lane count.
TEST_P(WarpRectilinearModel, EveryPlaneMatchesTheStepByStepModel) {
    WarpCall call;
    call.planes = 3;
    call.coefficient_count = 5;
    call.coefficients = {1.02, -0.08, 0.03, -0.004, 9.0,   //
                         0.97, 0.11,  -0.2, 0.05,   9.0,   //
                         1.35, -0.3,  0.0,  0.0,    9.0};  // pushes the corners outside
    call.tangential = {0.013, -0.021, 0.0, 0.0, -0.4, 0.25};
    call.center_x = 0.43;
    call.center_y = 0.61;
    for (bool cubic : {false, true}) {
        call.cubic = cubic;
        for (uint64_t c : {1u, 2u, 3u, 4u}) {  // a fourth channel has no plane
            for (uint64_t width : {4u, 5u, 9u, 16u, 19u, 33u}) {
                const uint64_t h = 7;
                const std::vector<float> src = ramp_samples(h * width * c, -0.2f, 1.2f);
                ASSERT_TRUE(matches_model(src, call.warp(src, h, width, c), h, width, c, call))
                    << (cubic ? "cubic " : "bilinear ") << c << " channels, width " << width;
            }
        }
    }
}

// Lane groups whose source rows differ (a strong tangential term tilts the
// rows), whose pairs spread wider than the vector paths read at once
// (magnification) or share one pair (reduction), that reach the last row and
// the buffer's end, on every combination of planes and channels that picks
// its own store.
TEST_P(WarpRectilinearModel, LaneGroupsAcrossRowsSpreadWideOrAtTheBufferEnd) {
    const std::vector<std::vector<double>> models = {
        {1.0, -0.3, 0.0, 0.0, 0.2, 0.35},  // radial, tangential (kt0, kt1)
        {1.7, 0.0, 0.0, 0.0, 0.0, 0.0},
        {0.45, 0.0, 0.0, 0.0, 0.0, 0.0},
        {0.98, 0.05, 0.0, 0.0, -0.6, 0.02}};
    const std::pair<uint64_t, int32_t> layouts[] = {{1, 1}, {2, 2}, {3, 3}, {3, 1}};  // channels, planes
    const uint64_t h = 23, w = 61;
    for (const std::vector<double>& model : models)
        for (const auto& [c, planes] : layouts)
            for (bool cubic : {false, true}) {
                WarpCall call;
                call.planes = planes;
                call.cubic = cubic;
                call.center_x = 0.55;
                call.center_y = 0.4;
                call.coefficients.clear();
                call.tangential.clear();
                for (int32_t i = 0; i < planes; ++i) {
                    call.coefficients.insert(call.coefficients.end(), model.begin(), model.begin() + 4);
                    call.tangential.insert(call.tangential.end(), model.begin() + 4, model.end());
                }
                const std::vector<float> src = ramp_samples(h * w * c, -0.2f, 1.2f);
                ASSERT_TRUE(matches_model(src, call.warp(src, h, w, c), h, w, c, call))
                    << "model " << model[0] << (cubic ? " cubic " : " bilinear ") << c << " channels, " << planes
                    << " planes";
            }
}

// The vector paths warp several rows per pass over the columns: every height
// from one row up past two passes, with and without a partial last pass, and
// widths around the lane counts, down to one column.
TEST_P(WarpRectilinearModel, EveryHeightAndWidthAroundTheRowPassesAndLanes) {
    WarpCall call;
    call.planes = 3;
    call.coefficients = {1.01, -0.05, 0.02, -0.003, 0.99, 0.04, -0.01, 0.002, 1.0, -0.02, 0.0, 0.0};
    call.tangential = {0.02, -0.03, 0.0, 0.0, -0.01, 0.015};
    call.center_x = 0.47;
    call.center_y = 0.52;
    const uint64_t c = 3;
    for (bool cubic : {false, true})
        for (uint64_t h = 1; h <= 10; ++h)
            for (uint64_t w : {1u, 2u, 7u, 8u, 9u, 15u, 16u, 17u, 25u}) {
                call.cubic = cubic;
                const std::vector<float> src = ramp_samples(h * w * c, -0.2f, 1.2f);
                WarpCall model = call;
                model.cubic = cubic && h >= 4 && w >= 4;  // smaller images resample bilinearly
                ASSERT_TRUE(matches_model(src, call.warp(src, h, w, c), h, w, c, model))
                    << (cubic ? "cubic " : "bilinear ") << h << " x " << w;
            }
}

// Cubic windows of three interleaved planes that each move their own way in
// one lane group: one tilted, one shrunk towards the centre (lanes sharing
// windows), the last one pushed against the last row and column (windows
// ending at the buffer's last sample); widths around one and two lane groups.
TEST_P(WarpRectilinearModel, CubicThreeInterleavedPlanesAtTheBufferEndAndSharingWindows) {
    WarpCall call;
    call.planes = 3;
    call.cubic = true;
    call.coefficients = {1.0, -0.1, 0.0, 0.0, 0.3, 0.0, 0.0, 0.0, 2.5, 0.0, 0.0, 0.0};
    call.tangential = {0.3, -0.2, 0.0, 0.0, 0.0, 0.0};
    call.center_x = 0.9;
    call.center_y = 0.85;
    const uint64_t c = 3;
    for (uint64_t h : {4u, 5u, 9u})
        for (uint64_t w = 4; w <= 18; ++w) {
            const std::vector<float> src = ramp_samples(h * w * c, -0.2f, 1.2f);
            ASSERT_TRUE(matches_model(src, call.warp(src, h, w, c), h, w, c, call)) << h << " x " << w;
        }
}

ORVEX_INSTANTIATE_PER_ISA(WarpRectilinearModel);

}  // namespace
}  // namespace orvex::testing
