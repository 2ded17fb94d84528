// Body of the polynomial mapping kernels; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
//
// f(x) = c0 + sign(x) (c1 |x| + ... + cn |x|^n). For x >= 0 (true for -0)
// take t = x, otherwise (NaN included) t = -x. Degrees 1 to 4 nest with t
// inside and multiply by x last, since c1 - (a) x = (a) t + c1 exactly. Higher
// degrees add p ck with p = x t^(k-1): for negative x that is -(-x)^k, and
// m + (-q) ck = m - q ck exactly, so one form serves both signs.
#include "frame/simd.h"
#include "opcodes/area_blocks.h"
#include "opcodes/polynomial_map_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

// m >= -1 ? min(m, 1) : -1, so NaN gives -1.
inline simd::vf clamp_signed_unit(simd::vf m) {
    return simd::min_lt(simd::max_gt(m, simd::set1(-1.0f)), simd::set1(1.0f));
}

inline float clamp_signed_unit(float m) {
    if (!(m >= -1.0f)) return -1.0f;
    return m < 1.0f ? m : 1.0f;
}

template <int D>
inline float nested(float x, const float* c) {
    const float t = x >= 0.0f ? x : -x;
    float a = c[D];
    for (int k = D - 1; k >= 1; --k)
        a = a * t + c[k];
    return a * x + c[0];
}

template <int D>
inline simd::vf nested(simd::vf x, const simd::vf* c) {
    const simd::vf zero = simd::set1(0.0f);
    const simd::vf t = simd::select(simd::le(zero, x), x, simd::sub(zero, x));
    simd::vf a = c[D];
    for (int k = D - 1; k >= 1; --k)
        a = simd::add(simd::mul(a, t), c[k]);
    return simd::add(simd::mul(a, x), c[0]);
}

inline float ascending(float x, const float* c, int32_t degree) {
    const float t = x >= 0.0f ? x : -x;
    float m = c[0];
    float p = x;
    for (int32_t k = 1; k <= degree; ++k) {
        m = m + p * c[k];
        p = p * t;
    }
    return m;
}

// Four vectors side by side, so that their chains of sums overlap.
constexpr int kAscendingVectors = 4;

inline void ascending_block(float* samples, const float* c, int32_t degree) {
    const simd::vf zero = simd::set1(0.0f);
    simd::vf m[kAscendingVectors], p[kAscendingVectors], t[kAscendingVectors];
    for (int v = 0; v < kAscendingVectors; ++v) {
        const simd::vf x = simd::load(samples + v * simd::kLanes);
        t[v] = simd::select(simd::le(zero, x), x, simd::sub(zero, x));
        m[v] = simd::set1(c[0]);
        p[v] = x;
    }
    for (int32_t k = 1; k <= degree; ++k) {
        const simd::vf ck = simd::set1(c[k]);
        for (int v = 0; v < kAscendingVectors; ++v) {
            m[v] = simd::add(m[v], simd::mul(p[v], ck));
            p[v] = simd::mul(p[v], t[v]);
        }
    }
    for (int v = 0; v < kAscendingVectors; ++v)
        simd::store(samples + v * simd::kLanes, clamp_signed_unit(m[v]));
}

void constant_run(float* samples, size_t n, size_t stride, const float* c, int32_t) {
    const float value = clamp_signed_unit(c[0]);
    for (size_t i = 0; i < n; ++i)
        samples[i * stride] = value;
}

template <int D>
void nested_run(float* samples, size_t n, size_t stride, const float* c, int32_t) {
    if (stride != 1) {
        for (size_t i = 0; i < n; ++i)
            samples[i * stride] = clamp_signed_unit(nested<D>(samples[i * stride], c));
        return;
    }
    simd::vf vc[D + 1];
    for (int k = 0; k <= D; ++k)
        vc[k] = simd::set1(c[k]);
    for_each_block(samples, n, simd::kLanes,
                   [&](float* p) { simd::store(p, clamp_signed_unit(nested<D>(simd::load(p), vc))); });
}

void ascending_run(float* samples, size_t n, size_t stride, const float* c, int32_t degree) {
    if (stride != 1) {
        for (size_t i = 0; i < n; ++i)
            samples[i * stride] = clamp_signed_unit(ascending(samples[i * stride], c, degree));
        return;
    }
    for_each_block(samples, n, kAscendingVectors * simd::kLanes, [&](float* p) { ascending_block(p, c, degree); });
}

}  // namespace

PolynomialRunKernel select_polynomial_run_kernel(int32_t degree) {
    switch (degree) {
        case 0:
            return &constant_run;
        case 1:
            return &nested_run<1>;
        case 2:
            return &nested_run<2>;
        case 3:
            return &nested_run<3>;
        case 4:
            return &nested_run<4>;
        default:
            return &ascending_run;
    }
}

}  // namespace orvex::ORVEX_ISA
