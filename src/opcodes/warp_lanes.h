// Double-precision lanes for the warp's vector paths: doubles for the
// geometry, 32-bit integers for sample positions and floats for samples, the
// same number of lanes in each. Only the AVX2 and AVX-512 builds have them.
//
// Every primitive has the exact per-lane meaning of the scalar expression in
// its comment; no fused multiply-add.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including opcodes/warp_lanes.h"
#endif

#include <immintrin.h>

#include <cstdint>

namespace orvex::ORVEX_ISA::warp_lanes {

#if defined(__AVX512F__)

inline constexpr int kLanes = 8;
using vd = __m512d;
using vi = __m256i;
using vf = __m256;

inline vd set1(double x) { return _mm512_set1_pd(x); }
// x, x + 1, ..., x + 7
inline vd ramp(double x) { return _mm512_add_pd(_mm512_set1_pd(x), _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7)); }
inline vd add(vd a, vd b) { return _mm512_add_pd(a, b); }
inline vd sub(vd a, vd b) { return _mm512_sub_pd(a, b); }
inline vd mul(vd a, vd b) { return _mm512_mul_pd(a, b); }
// a < b ? a : b
inline vd min_lt(vd a, vd b) { return _mm512_min_pd(a, b); }
// a > b ? a : b
inline vd max_gt(vd a, vd b) { return _mm512_max_pd(a, b); }
// Truncation toward zero; callers pass values in 0 ... 2^31 - 1.
inline vi trunc_i32(vd a) { return _mm512_cvttpd_epi32(a); }
inline vd to_double(vi a) { return _mm512_cvtepi32_pd(a); }
inline vd to_double(vf a) { return _mm512_cvtps_pd(a); }
inline vf to_float(vd a) { return _mm512_cvtpd_ps(a); }

#elif defined(__AVX2__)

inline constexpr int kLanes = 4;
using vd = __m256d;
using vi = __m128i;
using vf = __m128;

inline vd set1(double x) { return _mm256_set1_pd(x); }
inline vd ramp(double x) { return _mm256_add_pd(_mm256_set1_pd(x), _mm256_setr_pd(0, 1, 2, 3)); }
inline vd add(vd a, vd b) { return _mm256_add_pd(a, b); }
inline vd sub(vd a, vd b) { return _mm256_sub_pd(a, b); }
inline vd mul(vd a, vd b) { return _mm256_mul_pd(a, b); }
inline vd min_lt(vd a, vd b) { return _mm256_min_pd(a, b); }
inline vd max_gt(vd a, vd b) { return _mm256_max_pd(a, b); }
inline vi trunc_i32(vd a) { return _mm256_cvttpd_epi32(a); }
inline vd to_double(vi a) { return _mm256_cvtepi32_pd(a); }
inline vd to_double(vf a) { return _mm256_cvtps_pd(a); }
inline vf to_float(vd a) { return _mm256_cvtpd_ps(a); }

#endif

#if defined(__AVX2__)

// 32-bit integer lanes; the AVX-512 build has the 8 lanes of a 256-bit
// register and AVX2 the 4 of a 128-bit one.
#if defined(__AVX512F__)
inline vi set1_i32(int32_t x) { return _mm256_set1_epi32(x); }
inline vi add_i32(vi a, vi b) { return _mm256_add_epi32(a, b); }
inline vi mul_i32(vi a, vi b) { return _mm256_mullo_epi32(a, b); }
inline vi min_i32(vi a, vi b) { return _mm256_min_epi32(a, b); }
inline vi max_i32(vi a, vi b) { return _mm256_max_epi32(a, b); }
// a == b ? if_equal : 0
inline vi keep_if_equal(vi a, vi b, vi if_equal) { return _mm256_and_si256(_mm256_cmpeq_epi32(a, b), if_equal); }
inline vf gather(const float* base, vi index) { return _mm256_i32gather_ps(base, index, 4); }
inline vf mul_f(vf a, vf b) { return _mm256_mul_ps(a, b); }
inline vf add_f(vf a, vf b) { return _mm256_add_ps(a, b); }
inline vf set1_f(float x) { return _mm256_set1_ps(x); }
inline vf min_lt_f(vf a, vf b) { return _mm256_min_ps(a, b); }
inline vf max_gt_f(vf a, vf b) { return _mm256_max_ps(a, b); }
inline void store_f(float* p, vf a) { _mm256_storeu_ps(p, a); }
inline void store_i32(int32_t* p, vi a) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a); }
// out[b] lane j = quads[j][b]: one quad per lane, transposed.
inline void transpose_quads(const __m128* quads, vf out[4]) {
    __m256 r[4];
    for (int j = 0; j < 4; ++j)
        r[j] = _mm256_insertf128_ps(_mm256_castps128_ps256(quads[j]), quads[j + 4], 1);
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]);
    const __m256 t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]);
    const __m256 t3 = _mm256_unpackhi_ps(r[2], r[3]);
    out[0] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(t0), _mm256_castps_pd(t2)));
    out[1] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(t0), _mm256_castps_pd(t2)));
    out[2] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(t1), _mm256_castps_pd(t3)));
    out[3] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(t1), _mm256_castps_pd(t3)));
}
#else
inline vi set1_i32(int32_t x) { return _mm_set1_epi32(x); }
inline vi add_i32(vi a, vi b) { return _mm_add_epi32(a, b); }
inline vi mul_i32(vi a, vi b) { return _mm_mullo_epi32(a, b); }
inline vi min_i32(vi a, vi b) { return _mm_min_epi32(a, b); }
inline vi max_i32(vi a, vi b) { return _mm_max_epi32(a, b); }
inline vi keep_if_equal(vi a, vi b, vi if_equal) { return _mm_and_si128(_mm_cmpeq_epi32(a, b), if_equal); }
inline vf gather(const float* base, vi index) { return _mm_i32gather_ps(base, index, 4); }
inline vf mul_f(vf a, vf b) { return _mm_mul_ps(a, b); }
inline vf add_f(vf a, vf b) { return _mm_add_ps(a, b); }
inline vf set1_f(float x) { return _mm_set1_ps(x); }
inline vf min_lt_f(vf a, vf b) { return _mm_min_ps(a, b); }
inline vf max_gt_f(vf a, vf b) { return _mm_max_ps(a, b); }
inline void store_f(float* p, vf a) { _mm_storeu_ps(p, a); }
inline void store_i32(int32_t* p, vi a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a); }
inline void transpose_quads(const __m128* quads, vf out[4]) {
    const __m128 t0 = _mm_unpacklo_ps(quads[0], quads[1]);
    const __m128 t1 = _mm_unpackhi_ps(quads[0], quads[1]);
    const __m128 t2 = _mm_unpacklo_ps(quads[2], quads[3]);
    const __m128 t3 = _mm_unpackhi_ps(quads[2], quads[3]);
    out[0] = _mm_movelh_ps(t0, t2);
    out[1] = _mm_movehl_ps(t2, t0);
    out[2] = _mm_movelh_ps(t1, t3);
    out[3] = _mm_movehl_ps(t3, t1);
}
#endif

// p[0], p[stride], p[2 * stride], p[3 * stride], reading nothing past p[3 * stride].
inline __m128 strided_quad(const float* p, int32_t stride) {
    if (stride == 1) return _mm_loadu_ps(p);
    if (stride == 3) return _mm_shuffle_ps(_mm_loadu_ps(p), _mm_loadu_ps(p + 6), _MM_SHUFFLE(3, 0, 3, 0));
    return _mm_setr_ps(p[0], p[stride], p[2 * stride], p[3 * stride]);
}

// out[b] lane j = base[offsets[j] + b * stride] for b = 0 ... 3.
inline void load_strided_quads(const float* base, const int32_t* offsets, int32_t stride, vf out[4]) {
    __m128 quads[kLanes];
    for (int j = 0; j < kLanes; ++j)
        quads[j] = strided_quad(base + offsets[j], stride);
    transpose_quads(quads, out);
}

#endif

}  // namespace orvex::ORVEX_ISA::warp_lanes
