// Every export that allocates, under an allocator that fails at its n-th
// request: the call returns ORVEX_ERR_INVALID_ARGUMENT and writes nothing,
// for every n until the call needs no more than n - 1 allocations; then it
// succeeds with the same result as without failures. Under LeakSanitizer the
// program also shows that no return path leaks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#include "image_util.h"
#include "orvex.h"

namespace {

using orvex::testing::bytes_of;
using orvex::testing::describe;

// Allocations left before the next one fails; negative: never fail.
thread_local int64_t allocations_before_failure = -1;

}  // namespace

void* operator new(size_t size) {
    if (allocations_before_failure == 0) {
        allocations_before_failure = -1;
        throw std::bad_alloc();
    }
    if (allocations_before_failure > 0) --allocations_before_failure;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// Arrays too: a sanitizer runtime would otherwise serve them itself.
void* operator new[](size_t size) { return operator new(size); }
// The pairs of the replacements above, which allocate with malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

// A call on buffers it owns; returns the status and exposes what it wrote.
struct Case {
    std::function<orvex_status()> call;
    std::function<std::vector<uint8_t>()> written;
};

// Fails the 1st, 2nd, ... allocation of the call until it needs fewer; each
// failure must give ORVEX_ERR_INVALID_ARGUMENT with nothing written. Returns
// the number of allocations the call makes.
int failures_until_success(const Case& c) {
    const std::vector<uint8_t> before = c.written();
    for (int n = 0; n < 64; ++n) {
        allocations_before_failure = n;
        const orvex_status status = c.call();
        const bool failure_hit = allocations_before_failure == -1;
        allocations_before_failure = -1;
        if (status == ORVEX_OK) {
            EXPECT_FALSE(failure_hit) << "allocation " << n + 1 << " failed but the call succeeded";
            return n;
        }
        EXPECT_EQ(status, ORVEX_ERR_INVALID_ARGUMENT) << "allocation " << n + 1;
        EXPECT_EQ(c.written(), before) << "allocation " << n + 1 << " failed after a write";
    }
    ADD_FAILURE() << "the call never succeeded";
    return -1;
}

TEST(AllocationFailure, NormalisationGeneralRule) {
    std::vector<uint16_t> raw(5 * 7, 3000);
    std::vector<float> out(5 * 7, -1.0f);
    const orvex_image src = describe(raw.data(), 5, 7, 1, ORVEX_DTYPE_UINT16);
    const orvex_image dst = describe(out.data(), 5, 7, 1, ORVEX_DTYPE_FLOAT32);
    const float black = 100.0f, white = 4000.0f, delta_h[2] = {1.0f, 2.0f};
    const Case c{[&] {
                     return orvex_normalize_raw(&src, &dst, &black, 1, 1, 1, &white, 1, delta_h, 2, nullptr, 0,
                                                nullptr, 0);
                 },
                 [&] { return bytes_of(out); }};
    EXPECT_GE(failures_until_success(c), 1);
    EXPECT_EQ(out[1], (3000.0f - 102.0f) / (4000.0f - 102.0f));
}

// Table entries as floats (a table no longer than the image), and per-sample
// lookups into a row of scratch (a longer one).
TEST(AllocationFailure, NormalisationLinearizationTable) {
    std::vector<uint16_t> raw(5 * 7, 2);
    const orvex_image src = describe(raw.data(), 5, 7, 1, ORVEX_DTYPE_UINT16);
    const float black = 100.0f, white = 4000.0f;
    for (const size_t entries : {size_t{4}, size_t{36}}) {
        std::vector<uint16_t> table(entries, 3000);
        std::vector<float> out(5 * 7, -1.0f);
        const orvex_image dst = describe(out.data(), 5, 7, 1, ORVEX_DTYPE_FLOAT32);
        const Case c{[&] {
                         return orvex_normalize_raw(&src, &dst, &black, 1, 1, 1, &white, 1, nullptr, 0, nullptr, 0,
                                                    table.data(), static_cast<int32_t>(entries));
                     },
                     [&] { return bytes_of(out); }};
        EXPECT_GE(failures_until_success(c), 1) << entries;
        EXPECT_EQ(out[1], (3000.0f - 100.0f) / (4000.0f - 100.0f)) << entries;
    }
}

TEST(AllocationFailure, ColourTransformCurveCopiesAndSourceTable) {
    std::vector<uint16_t> pixels(300 * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>(i * 211);
    std::vector<uint8_t> out(pixels.size(), 0xAB);
    const orvex_image src = describe(pixels.data(), 10, 30, 3, ORVEX_DTYPE_UINT16);
    const orvex_image dst = describe(out.data(), 10, 30, 3, ORVEX_DTYPE_UINT8);
    const std::vector<float> input = {0.0f, 0.25f, 1.0f}, output = {0.0f, 0.5f, 0.75f, 1.0f};
    const float matrix[9] = {0.5f, 0.25f, 0.25f, 0, 1, 0, 0.25f, 0.25f, 0.5f};
    const Case c{[&] {
                     return orvex_transform_color(&src, &dst, input.data(), input.size(), matrix, output.data(),
                                                  output.size(), 0, 0, false);
                 },
                 [&] { return out; }};
    EXPECT_GE(failures_until_success(c), 2);  // two curve copies at least
}

TEST(AllocationFailure, ProfileGainTable) {
    std::vector<float> pixels(6 * 9 * 3, 0.25f);
    const orvex_image image = describe(pixels.data(), 6, 9, 3, ORVEX_DTYPE_FLOAT32);
    const std::vector<float> table(2 * 2 * 2, 2.0f);
    const float weights[5] = {1, 0, 0, 0, 0};
    const Case c{[&] {
                     return orvex_apply_profile_gain_table_map(&image, table.data(), 2, 2, 1.0f, 1.0f, 0.0f, 0.0f,
                                                               2, weights, 1.0f, 1.0f);
                 },
                 [&] { return bytes_of(pixels); }};
    EXPECT_GE(failures_until_success(c), 1);
    EXPECT_EQ(pixels[0], 0.5f);
}

// The cubic weight table is built by the first cubic call of a process, so
// this runs in a fresh one: a failed build is retried by the next call.
void warp_allocations_in_a_fresh_process() {
    std::vector<float> src(8 * 8 * 3), dst(8 * 8 * 3, -1.0f);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<float>(i % 17) / 16.0f;
    const orvex_image s = describe(src.data(), 8, 8, 3, ORVEX_DTYPE_FLOAT32);
    const orvex_image d = describe(dst.data(), 8, 8, 3, ORVEX_DTYPE_FLOAT32);
    const double coefficients[3] = {1.0, 0.01, 0.0};
    const Case c{[&] { return orvex_warp_rectilinear(&s, &d, coefficients, 1, 3, nullptr, 0.5, 0.5, true); },
                 [&] { return bytes_of(dst); }};
    const int cubic_first = failures_until_success(c);
    std::vector<float> first = dst;
    const int cubic_later = failures_until_success(c);
    std::_Exit(cubic_first == cubic_later + 1 && cubic_later >= 1 && first == dst && !::testing::Test::HasFailure()
                   ? 0
                   : 1);
}

TEST(AllocationFailure, WarpPlanesAndCubicTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(warp_allocations_in_a_fresh_process(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
