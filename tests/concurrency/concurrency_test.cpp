// Calls from several threads at once, the library's only shared state being
// the cubic weight table built on first use. Built also under
// ThreadSanitizer (scripts/test-tsan), where any data race fails the run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

#include "image_util.h"
#include "orvex.h"

namespace {

using orvex::testing::bytes_of;
using orvex::testing::describe;

constexpr int kThreads = 16;

std::vector<float> ramp(size_t n) {
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<float>((i * 37) % 101) / 100.0f;
    return v;
}

// Cubic warp of a fresh 9 x 13 three-channel image; returns the output bytes.
std::vector<uint8_t> cubic_warp() {
    std::vector<float> src = ramp(9 * 13 * 3), dst(src.size());
    const orvex_image s = describe(src.data(), 9, 13, 3, ORVEX_DTYPE_FLOAT32);
    const orvex_image d = describe(dst.data(), 9, 13, 3, ORVEX_DTYPE_FLOAT32);
    const double coefficients[4] = {1.0, 0.02, -0.01, 0.0};
    const double tangential[2] = {0.001, -0.002};
    if (orvex_warp_rectilinear(&s, &d, coefficients, 1, 4, tangential, 0.45, 0.55, true) != ORVEX_OK) return {};
    return bytes_of(dst);
}

// 16 threads make the process's first cubic calls at the same moment; all
// must see one table and give identical bytes.
void first_cubic_calls_race() {
    std::vector<std::vector<uint8_t>> results(kThreads);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            results[t] = cubic_warp();
        });
    for (std::thread& thread : threads)
        thread.join();
    bool same = !results[0].empty();
    for (const std::vector<uint8_t>& r : results)
        same = same && r == results[0];
    std::_Exit(same ? 0 : 1);
}

TEST(Concurrency, FirstCubicCallsRaceInAFreshProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(first_cubic_calls_race(), ::testing::ExitedWithCode(0), "");
}

// One call per export on buffers of its own, returning the bytes it wrote
// (the status as a last byte).
std::vector<std::function<std::vector<uint8_t>()>> every_export() {
    using Bytes = std::vector<uint8_t>;
    const auto with_status = [](Bytes bytes, orvex_status status) {
        bytes.push_back(static_cast<uint8_t>(status));
        return bytes;
    };
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::vector<std::function<Bytes()>> calls;
    calls.push_back([=] {
        std::vector<uint16_t> src(12 * 10);
        for (size_t i = 0; i < src.size(); ++i)
            src[i] = static_cast<uint16_t>(i * 523);
        std::vector<float> dst(src.size());
        const orvex_image s = describe(src.data(), 12, 10, 1, ORVEX_DTYPE_UINT16);
        const orvex_image d = describe(dst.data(), 12, 10, 1, ORVEX_DTYPE_FLOAT32);
        return with_status(bytes_of(dst), orvex_convert_dtype(&s, &d, 0, 0, -1.0f));
    });
    calls.push_back([=] {
        std::vector<float> src = ramp(12 * 10), dst(src.size());
        const orvex_image s = describe(src.data(), 12, 10, 1, ORVEX_DTYPE_FLOAT32);
        const orvex_image d = describe(dst.data(), 12, 10, 1, ORVEX_DTYPE_FLOAT32);
        const float black[4] = {0.01f, 0.02f, 0.03f, 0.04f}, white = 0.9f, delta_v[3] = {0.0f, 0.01f, 0.02f};
        orvex_status status =
            orvex_normalize_raw(&s, &d, black, 2, 2, 1, &white, 1, nullptr, 0, nullptr, 0, nullptr, 0);
        Bytes bytes = bytes_of(dst);
        status |= orvex_normalize_raw(&s, &d, black, 2, 2, 1, &white, 1, nullptr, 0, delta_v, 3, nullptr, 0);
        Bytes general = bytes_of(dst);
        bytes.insert(bytes.end(), general.begin(), general.end());
        return with_status(bytes, status);
    });
    calls.push_back([=] {
        std::vector<float> src = ramp(12 * 10), dst(src.size() * 3);
        const orvex_image s = describe(src.data(), 12, 10, 1, ORVEX_DTYPE_FLOAT32);
        const orvex_image d = describe(dst.data(), 12, 10, 3, ORVEX_DTYPE_FLOAT32);
        const uint32_t rggb[4] = {0, 1, 1, 2};
        const orvex_status status = orvex_bilinear_demosaic(&s, &d, rggb);
        const bool vng_unsupported = orvex_vng_demosaic(&s, &d, rggb) == ORVEX_ERR_UNSUPPORTED;
        return with_status(bytes_of(dst), vng_unsupported ? status : ORVEX_ERR_INVALID_ARGUMENT);
    });
    calls.push_back([=] {
        std::vector<uint16_t> src(12 * 10 * 3);
        for (size_t i = 0; i < src.size(); ++i)
            src[i] = static_cast<uint16_t>(i * 331);
        std::vector<uint8_t> dst(src.size());
        const orvex_image s = describe(src.data(), 12, 10, 3, ORVEX_DTYPE_UINT16);
        const orvex_image d = describe(dst.data(), 12, 10, 3, ORVEX_DTYPE_UINT8);
        const float curve[3] = {0.0f, 0.7f, 1.0f};
        return with_status(dst, orvex_transform_color(&s, &d, curve, 3, identity, curve, 3, 0, 0, false));
    });
    calls.push_back([=] {
        std::vector<float> src = ramp(12 * 10 * 3), dst(src.size());
        const orvex_image s = describe(src.data(), 12, 10, 3, ORVEX_DTYPE_FLOAT32);
        const orvex_image d = describe(dst.data(), 12, 10, 3, ORVEX_DTYPE_FLOAT32);
        const float limits[3] = {0.8f, 0.9f, 0.7f};
        orvex_status status = orvex_clip_and_transform_color(&s, &d, limits, identity);
        Bytes bytes = bytes_of(dst);
        status |= orvex_apply_exposure_ramp(&s, &d, 0.9, 0.05, 0.1, false);
        Bytes ramped = bytes_of(dst);
        bytes.insert(bytes.end(), ramped.begin(), ramped.end());
        return with_status(bytes, status);
    });
    calls.push_back([=] {
        std::vector<float> image = ramp(12 * 10 * 3);
        const orvex_image i = describe(image.data(), 12, 10, 3, ORVEX_DTYPE_FLOAT32);
        std::vector<float> hsv(6 * 3 * 2 * 3);
        for (size_t k = 0; k < hsv.size(); ++k)
            hsv[k] = k % 3 == 0 ? 10.0f : 1.05f;
        orvex_status status = orvex_apply_hue_sat_map(&i, hsv.data(), 6, 3, 2);
        const std::vector<float> table = {1.1f, 0.9f, 1.2f, 0.8f, 1.0f, 1.3f, 0.7f, 1.05f};
        const float weights[5] = {0.3f, 0.4f, 0.3f, 0.0f, 0.0f};
        status |= orvex_apply_profile_gain_table_map(&i, table.data(), 2, 2, 1.0f, 1.0f, 0.0f, 0.0f, 2, weights,
                                                     0.8f, 1.0f);
        return with_status(bytes_of(image), status);
    });
    calls.push_back([=] {
        std::vector<uint16_t> src(12 * 10);
        for (size_t i = 0; i < src.size(); ++i)
            src[i] = static_cast<uint16_t>(i * 97);
        std::vector<uint8_t> dst(src.size());
        const orvex_image s = describe(src.data(), 12, 10, 1, ORVEX_DTYPE_UINT16);
        const orvex_image d = describe(dst.data(), 12, 10, 1, ORVEX_DTYPE_UINT8);
        const float lut[5] = {0.0f, 0.1f, 0.4f, 0.8f, 1.0f};
        return with_status(dst, orvex_mono_lut(&s, &d, lut, 5, 0, 0));
    });
    calls.push_back([=] {
        std::vector<float> rgb = ramp(12 * 10 * 3), mosaic = ramp(12 * 10);
        const orvex_image i3 = describe(rgb.data(), 12, 10, 3, ORVEX_DTYPE_FLOAT32);
        const orvex_image i1 = describe(mosaic.data(), 12, 10, 1, ORVEX_DTYPE_FLOAT32);
        const std::vector<float> map = {1.1f, 0.9f, 1.2f, 0.8f, 1.0f, 1.3f};
        const double vignette[2] = {0.1, -0.05};
        const float polynomial[3] = {0.0f, 1.1f, -0.1f};
        orvex_status status =
            orvex_apply_gain_map(&i3, map.data(), 3, 2, 1, 0, 0, 0, 0, 0, 3, 1, 1, 0.5, 1.0, 0.0, 0.0);
        status |= orvex_apply_gain_map_cfa(&i1, map.data(), 2, 3, 1, 0, 0, 0, 0, 2, 2, 1.0, 0.5, 0.0, 0.0);
        status |= orvex_apply_flat_gain_map(&i1, map.data(), 2, 3);
        status |= orvex_fix_vignette(&i3, vignette, 2, 0.4, 0.6);
        status |= orvex_map_polynomial(&i3, 0, 0, 0, 0, 0, 3, 1, 1, polynomial, 2);
        Bytes bytes = bytes_of(rgb), more = bytes_of(mosaic);
        bytes.insert(bytes.end(), more.begin(), more.end());
        return with_status(bytes, status);
    });
    calls.push_back([] { return cubic_warp(); });
    calls.push_back([=] {
        std::vector<uint16_t> src(12 * 10, 7), dst(src.size());
        for (size_t i = 0; i < src.size(); i += 5)
            src[i] = 0;
        const orvex_image s = describe(src.data(), 12, 10, 1, ORVEX_DTYPE_UINT16);
        const orvex_image d = describe(dst.data(), 12, 10, 1, ORVEX_DTYPE_UINT16);
        return with_status(bytes_of(dst), orvex_fix_bad_pixels_constant(&s, &d, 0, 1));
    });
    return calls;
}

// Each thread runs every export several times, in its own order, on buffers
// of its own; every result must match the single-threaded one.
TEST(Concurrency, EveryExportOnDisjointBuffersFromSeveralThreads) {
    const auto calls = every_export();
    std::vector<std::vector<uint8_t>> expected;
    for (const auto& call : calls)
        expected.push_back(call());
    for (const auto& bytes : expected)
        ASSERT_EQ(bytes.back(), ORVEX_OK);

    constexpr int kWorkers = 4;
    std::vector<int> mismatches(kWorkers, 0);
    std::latch start(kWorkers);
    std::vector<std::thread> threads;
    for (int t = 0; t < kWorkers; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int round = 0; round < 3; ++round)
                for (size_t k = 0; k < calls.size(); ++k) {
                    const size_t which = (k + static_cast<size_t>(t) * 3) % calls.size();
                    if (calls[which]() != expected[which]) ++mismatches[t];
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(kWorkers, 0));
}

}  // namespace
