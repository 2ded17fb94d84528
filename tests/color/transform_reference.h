// A plain per-pixel model of the colour transform, written straight from the
// formulas with scalar floats, to check every kernel member against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "color/transform_kernels.h"

namespace orvex::testing::reference {

inline int32_t trunc_i32(float x) {
    if (!(x >= -2147483648.0f && x < 2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(x);
}

inline float clamp_index(float p, float top) {
    if (!(top >= p)) return top;
    return p >= 0.0f ? p : 0.0f;
}

inline float clamp_unit(float y) {
    if (y > 1.0f) return 1.0f;
    if (y >= 0.0f) return y;
    return 0.0f;
}

// `curve` is padded: entry size() - 1 repeats the last real entry.
inline float lookup(const std::vector<float>& curve, float p) {
    const int32_t i = trunc_i32(p);
    const float f = p - static_cast<float>(i);
    const float low = (1.0f - f) * curve[static_cast<size_t>(i)];
    const float high = f * curve[static_cast<size_t>(i) + 1];
    return low + high;
}

inline float row(const float* e, int k, const float* u) {
    return (e[3 * k] * u[0] + e[3 * k + 1] * u[1]) + e[3 * k + 2] * u[2];
}

inline std::vector<float> padded(const std::vector<float>& curve) {
    std::vector<float> copy = curve;
    copy.push_back(curve.back());
    return copy;
}

inline void hue_preserving_curve(const float* s, const std::vector<float>& c1, float top, float* h) {
    const float v[3] = {clamp_unit(s[0]), clamp_unit(s[1]), clamp_unit(s[2])};
    const float r = v[0], g = v[1], b = v[2];
    // Channel indices of hi, mid and lo, by the six orders.
    static constexpr int roles[6][3] = {{0, 1, 2}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}, {1, 2, 0}};
    const int order = r >= g ? (g > b ? 0 : b > r ? 1 : 2) : (r >= b ? 3 : b > g ? 4 : 5);
    const int hi = roles[order][0], mid = roles[order][1], lo = roles[order][2];
    const float t_hi = lookup(c1, v[hi] * top);
    const float t_lo = lookup(c1, v[lo] * top);
    h[hi] = t_hi;
    h[lo] = t_lo;
    const float span = v[hi] - v[lo];
    h[mid] = span > 1e-10f ? ((v[mid] - v[lo]) * (t_hi - t_lo)) / span + t_lo : t_lo;
}

struct Call {
    StageSet stages;
    bool direct = false;
    bool src_u8 = false;        // fold of matrix_output from 8-bit sources
    bool dst_int = false;       // ... to integer destinations
    std::vector<float> c1, c2;  // unpadded; c1 is the single curve of single_curve
    const float* m = nullptr;
    float in_max = 1.0f, out_max = 1.0f;
    std::vector<float> padded1, padded2;  // set by pad_curves
};

inline void pad_curves(Call& call) {
    if (!call.c1.empty()) call.padded1 = padded(call.c1);
    if (!call.c2.empty()) call.padded2 = padded(call.c2);
}

// Results t (already times out_max) of one pixel, before the store; the
// curves must have been padded.
inline void transform_pixel(const Call& call, const float* s, float* t) {
    const std::vector<float>& c1 = call.padded1;
    const std::vector<float>& c2 = call.padded2;
    const float inv_in = 1.0f / call.in_max;
    const float n1 = static_cast<float>(static_cast<int32_t>(call.c1.size()) - 1);
    const float n2 = static_cast<float>(static_cast<int32_t>(call.c2.size()) - 1);
    auto first_curve = [&](float x) {
        if (call.direct) return c1[static_cast<size_t>(x)];
        return lookup(c1, clamp_index(x * (n1 * inv_in), n1));
    };
    float a[9];
    float v[3];
    switch (call.stages) {
        case StageSet::input_matrix_output:
            for (int i = 0; i < 9; ++i)
                a[i] = n2 * call.m[i];
            for (int j = 0; j < 3; ++j)
                v[j] = first_curve(s[j]);
            for (int k = 0; k < 3; ++k)
                t[k] = lookup(c2, clamp_index(row(a, k, v), n2)) * call.out_max;
            break;
        case StageSet::input_matrix:
            for (int j = 0; j < 3; ++j)
                v[j] = first_curve(s[j]);
            for (int k = 0; k < 3; ++k)
                t[k] = clamp_unit(row(call.m, k, v)) * call.out_max;
            break;
        case StageSet::matrix_output:
            for (int i = 0; i < 9; ++i)
                a[i] = (call.src_u8 && call.dst_int ? call.m[i] / call.in_max : inv_in * call.m[i]) * n2;
            for (int k = 0; k < 3; ++k)
                t[k] = lookup(c2, clamp_index(row(a, k, s), n2)) * call.out_max;
            break;
        case StageSet::matrix:
            for (int j = 0; j < 3; ++j)
                v[j] = s[j] * inv_in;
            for (int k = 0; k < 3; ++k)
                t[k] = clamp_unit(row(call.m, k, v)) * call.out_max;
            break;
        case StageSet::single_curve:
            for (int j = 0; j < 3; ++j)
                t[j] = clamp_unit(first_curve(s[j])) * call.out_max;
            break;
        case StageSet::hue:
            hue_preserving_curve(s, c1, n1, t);
            break;
        case StageSet::hue_matrix:
            hue_preserving_curve(s, c1, n1, v);
            for (int k = 0; k < 3; ++k)
                t[k] = clamp_unit(row(call.m, k, v)) * call.out_max;
            break;
        case StageSet::hue_matrix_output:
            for (int i = 0; i < 9; ++i)
                a[i] = n2 * call.m[i];
            hue_preserving_curve(s, c1, n1, v);
            for (int k = 0; k < 3; ++k)
                t[k] = lookup(c2, clamp_index(row(a, k, v), n2)) * call.out_max;
            break;
    }
}

template <class Dst>
Dst store(float t) {
    if constexpr (sizeof(Dst) == 4)
        return t;
    else
        return static_cast<Dst>(static_cast<uint32_t>(trunc_i32(t)));
}

}  // namespace orvex::testing::reference
