// Shared set-up for the warp tests: one call's parameters and a runner that
// returns the destination, pre-filled with a sentinel so untouched samples show.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_util.h"
#include "orvex.h"

namespace orvex::testing {

inline constexpr float kUntouched = -7.25f;

struct WarpCall {
    std::vector<double> coefficients = {1.0, 0.0, 0.0, 0.0};
    int32_t planes = 1;
    int32_t coefficient_count = 4;
    std::vector<double> tangential;  // empty: null pointer
    double center_x = 0.5;
    double center_y = 0.5;
    bool cubic = false;

    orvex_status run(const orvex_image& src, const orvex_image& dst) const {
        return orvex_warp_rectilinear(&src, &dst, coefficients.data(), planes, coefficient_count,
                                      tangential.empty() ? nullptr : tangential.data(), center_x, center_y, cubic);
    }

    std::vector<float> warp(std::vector<float> src, uint64_t height, uint64_t width, uint64_t channels) const {
        std::vector<float> dst(src.size(), kUntouched);
        EXPECT_EQ(run(describe(src, height, width, channels), describe(dst, height, width, channels)), ORVEX_OK);
        return dst;
    }
};

// Repeatable values in [low, high).
inline std::vector<float> ramp_samples(size_t n, float low, float high) {
    std::vector<float> out(n);
    uint32_t state = 12345;
    for (float& v : out) {
        state = state * 1664525u + 1013904223u;
        v = low + (high - low) * static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
    }
    return out;
}

inline std::vector<uint32_t> bits_of(const std::vector<float>& values) {
    std::vector<uint32_t> out;
    for (float v : values)
        out.push_back(bits_of(v));
    return out;
}

}  // namespace orvex::testing
