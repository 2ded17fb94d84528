// Body of the clipping colour transform kernels; included by one translation
// unit per instruction set after it defines ORVEX_ISA.
#include <cstdint>

#include "color/clip_and_transform_kernels.h"
#include "frame/simd.h"

namespace orvex::ORVEX_ISA {
namespace {

float bound(float s, float limit) { return limit >= s ? s : limit; }

void transform_pixel(const float* s, float* d, const float* limits, const float* m) {
    const float x0 = bound(s[0], limits[0]);
    const float x1 = bound(s[1], limits[1]);
    const float x2 = bound(s[2], limits[2]);
    d[0] = simd::clamp_unit_keep_minus_zero((x0 * m[0] + x1 * m[1]) + x2 * m[2]);
    d[1] = simd::clamp_unit_keep_minus_zero((x0 * m[3] + x1 * m[4]) + x2 * m[5]);
    d[2] = simd::clamp_unit_keep_minus_zero((x0 * m[6] + x1 * m[7]) + x2 * m[8]);
}

// bound() lane by lane.
simd::vf bound(simd::vf s, simd::vf limit) { return simd::select(simd::le(s, limit), s, limit); }

simd::vf row(simd::vf x0, simd::vf x1, simd::vf x2, const simd::vf* m) {
    return simd::add(simd::add(simd::mul(x0, m[0]), simd::mul(x1, m[1])), simd::mul(x2, m[2]));
}

}  // namespace

// One vector step loads all its pixels before it stores any, so src and dst
// may be the same buffer.
void clip_and_transform(const float* src, float* dst, size_t pixels, const float* limits, const float* matrix) {
    const simd::vf l0 = simd::set1(limits[0]), l1 = simd::set1(limits[1]), l2 = simd::set1(limits[2]);
    simd::vf m[9];
    for (int k = 0; k < 9; ++k)
        m[k] = simd::set1(matrix[k]);
    // Single pixels first, until the destination is aligned to a whole vector.
    size_t p = 0;
    for (; p < pixels && p < simd::kLanes && reinterpret_cast<uintptr_t>(dst + 3 * p) % sizeof(simd::vf) != 0; ++p)
        transform_pixel(src + 3 * p, dst + 3 * p, limits, matrix);
    for (; p + simd::kLanes <= pixels; p += simd::kLanes) {
        simd::vf s0, s1, s2;
        simd::load3(src + 3 * p, s0, s1, s2);
        const simd::vf x0 = bound(s0, l0), x1 = bound(s1, l1), x2 = bound(s2, l2);
        simd::store3(dst + 3 * p, simd::clamp_unit_keep_minus_zero(row(x0, x1, x2, m)),
                     simd::clamp_unit_keep_minus_zero(row(x0, x1, x2, m + 3)),
                     simd::clamp_unit_keep_minus_zero(row(x0, x1, x2, m + 6)));
    }
    for (; p < pixels; ++p)
        transform_pixel(src + 3 * p, dst + 3 * p, limits, matrix);
}

}  // namespace orvex::ORVEX_ISA
