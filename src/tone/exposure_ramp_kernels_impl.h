// Body of the exposure ramp kernels; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
#include <cstdint>

#include "frame/simd.h"
#include "tone/exposure_ramp_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

template <bool Unclipped>
float ramp_sample(float x, const ExposureCurve& c) {
    if (!(x > c.lower)) return 0.0f;
    if (!(x < c.upper)) {
        const float y = (x - c.black) * c.slope;
        if constexpr (!Unclipped) return y < 1.0f ? y : 1.0f;
        return y;
    }
    const float e = x - c.lower;
    return (e * c.quad) * e;
}

// The same steps lane by lane: both branches are computed and the comparisons
// select between them, which changes no value.
template <bool Unclipped>
simd::vf ramp_vector(simd::vf x, const ExposureCurve& c) {
    const simd::vf lower = simd::set1(c.lower);
    const simd::vf upper = simd::set1(c.upper);
    simd::vf straight = simd::mul(simd::sub(x, simd::set1(c.black)), simd::set1(c.slope));
    if constexpr (!Unclipped) straight = simd::min_lt(straight, simd::set1(1.0f));
    const simd::vf e = simd::sub(x, lower);
    const simd::vf toe = simd::mul(simd::mul(e, simd::set1(c.quad)), e);
    const simd::vf above_foot = simd::select(simd::lt(x, upper), toe, straight);
    return simd::select(simd::lt(lower, x), above_foot, simd::set1(0.0f));
}

template <bool Unclipped>
void ramp(const float* src, float* dst, size_t n, const ExposureCurve& c) {
    // Single samples first, until the destination is aligned to a whole vector.
    size_t i = 0;
    for (; i < n && i < simd::kLanes && reinterpret_cast<uintptr_t>(dst + i) % sizeof(simd::vf) != 0; ++i)
        dst[i] = ramp_sample<Unclipped>(src[i], c);
    for (; i + 2 * simd::kLanes <= n; i += 2 * simd::kLanes) {
        const simd::vf a = simd::load(src + i);
        const simd::vf b = simd::load(src + i + simd::kLanes);
        simd::store(dst + i, ramp_vector<Unclipped>(a, c));
        simd::store(dst + i + simd::kLanes, ramp_vector<Unclipped>(b, c));
    }
    for (; i < n; ++i)
        dst[i] = ramp_sample<Unclipped>(src[i], c);
}

}  // namespace

void exposure_ramp(const float* src, float* dst, size_t n, const ExposureCurve& curve, bool unclipped) {
    if (unclipped)
        ramp<true>(src, dst, n, curve);
    else
        ramp<false>(src, dst, n, curve);
}

}  // namespace orvex::ORVEX_ISA
