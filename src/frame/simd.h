// Vector primitives for kernels compiled once per instruction set. A kernel
// translation unit defines ORVEX_ISA (baseline, avx2 or avx512) and is built
// with that set's flags; everything here then lives in orvex::<isa>::simd, so
// copies built for different sets never merge at link time.
//
// Every primitive has the exact per-lane meaning of the scalar expression in
// its comment; no fused multiply-add, no approximate reciprocal.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including frame/simd.h"
#endif

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace orvex::ORVEX_ISA::simd {

// Scalar float or double to int32: truncation toward zero; NaN, infinities
// and values outside the int32 range give INT32_MIN, as the vector
// conversions do.
inline int32_t trunc_i32(float x) { return _mm_cvtt_ss2si(_mm_set_ss(x)); }
inline int32_t trunc_i32(double x) { return _mm_cvttsd_si32(_mm_set_sd(x)); }
inline uint8_t low8(int32_t t) { return static_cast<uint8_t>(static_cast<uint32_t>(t)); }
inline uint16_t low16(int32_t t) { return static_cast<uint16_t>(static_cast<uint32_t>(t)); }

#if defined(__AVX512F__)

inline constexpr int kLanes = 16;
using vf = __m512;
using vi = __m512i;
using mask = __mmask16;

inline vf set1(float x) { return _mm512_set1_ps(x); }
inline vf load(const float* p) { return _mm512_loadu_ps(p); }
inline void store(float* p, vf v) { _mm512_storeu_ps(p, v); }
inline vf add(vf a, vf b) { return _mm512_add_ps(a, b); }
inline vf sub(vf a, vf b) { return _mm512_sub_ps(a, b); }
inline vf mul(vf a, vf b) { return _mm512_mul_ps(a, b); }
inline vf div(vf a, vf b) { return _mm512_div_ps(a, b); }
// v < limit ? v : limit
inline vf min_lt(vf v, vf limit) { return _mm512_min_ps(v, limit); }
// v > limit ? v : limit
inline vf max_gt(vf v, vf limit) { return _mm512_max_ps(v, limit); }
inline mask lt(vf a, vf b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
inline mask le(vf a, vf b) { return _mm512_cmp_ps_mask(a, b, _CMP_LE_OQ); }
inline mask is_nan(vf a) { return _mm512_cmp_ps_mask(a, a, _CMP_UNORD_Q); }
inline mask mask_or(mask a, mask b) { return static_cast<mask>(a | b); }
// m ? if_true : if_false
inline vf select(mask m, vf if_true, vf if_false) { return _mm512_mask_blend_ps(m, if_false, if_true); }
inline vi trunc_i32(vf v) { return _mm512_cvttps_epi32(v); }
inline vf from_i32(vi v) { return _mm512_cvtepi32_ps(v); }
// base[idx] per lane
inline vf gather(const float* base, vi idx) { return _mm512_i32gather_ps(idx, base, 4); }
inline mask eq(vf a, vf b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
// !a && b
inline mask mask_andnot(mask a, mask b) { return static_cast<mask>(~a & b); }
inline vi set1_i32(int32_t x) { return _mm512_set1_epi32(x); }
inline vi load_i32(const int32_t* p) { return _mm512_loadu_si512(p); }
inline vi add_i32(vi a, vi b) { return _mm512_add_epi32(a, b); }
// Lanes compared as unsigned 32-bit integers.
inline vi min_u32(vi a, vi b) { return _mm512_min_epu32(a, b); }
inline vf load_u8(const uint8_t* p) {
    return _mm512_cvtepi32_ps(_mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}
inline vf load_u16(const uint16_t* p) {
    return _mm512_cvtepi32_ps(_mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))));
}
inline void store_low8(uint8_t* p, vi v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm512_cvtepi32_epi8(v));
}
inline void store_low16(uint16_t* p, vi v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_cvtepi32_epi16(v));
}

// Three-channel pixels: split3 turns 3 * kLanes interleaved floats (three
// vectors in memory order) into one vector per channel, in pixel order; join3
// is its inverse. Each channel is picked from the first two vectors, then
// completed from the third.
inline void split3(vf v0, vf v1, vf v2, vf& c0, vf& c1, vf& c2) {
    const vi first0 = _mm512_setr_epi32(0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 0, 0, 0, 0, 0);
    const vi first1 = _mm512_setr_epi32(1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 0, 0, 0, 0, 0);
    const vi first2 = _mm512_setr_epi32(2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 0, 0, 0, 0, 0, 0);
    const vi rest0 = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 17, 20, 23, 26, 29);
    const vi rest1 = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 21, 24, 27, 30);
    const vi rest2 = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 19, 22, 25, 28, 31);
    c0 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(v0, first0, v1), rest0, v2);
    c1 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(v0, first1, v1), rest1, v2);
    c2 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(v0, first2, v1), rest2, v2);
}
// Each output vector takes channels 0 and 1 first, then channel 2.
inline void join3(vf c0, vf c1, vf c2, vf& v0, vf& v1, vf& v2) {
    const vi first0 = _mm512_setr_epi32(0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5);
    const vi first1 = _mm512_setr_epi32(21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26);
    const vi first2 = _mm512_setr_epi32(0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0);
    const vi rest0 = _mm512_setr_epi32(0, 1, 16, 3, 4, 17, 6, 7, 18, 9, 10, 19, 12, 13, 20, 15);
    const vi rest1 = _mm512_setr_epi32(0, 21, 2, 3, 22, 5, 6, 23, 8, 9, 24, 11, 12, 25, 14, 15);
    const vi rest2 = _mm512_setr_epi32(26, 1, 2, 27, 4, 5, 28, 7, 8, 29, 10, 11, 30, 13, 14, 31);
    v0 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(c0, first0, c1), rest0, c2);
    v1 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(c0, first1, c1), rest1, c2);
    v2 = _mm512_permutex2var_ps(_mm512_permutex2var_ps(c0, first2, c1), rest2, c2);
}

// Half-width lanes, for geometry in double precision: kHalfLanes doubles in a
// vd, with the int32 (vi_half) and float (vf_half) vectors of as many lanes.
// Only the AVX2 and AVX-512 builds have them.
inline constexpr int kHalfLanes = 8;
using vd = __m512d;
using vi_half = __m256i;
using vf_half = __m256;

inline vd set1_d(double x) { return _mm512_set1_pd(x); }
// x, x + 1, ..., x + 7
inline vd ramp_d(double x) { return _mm512_add_pd(_mm512_set1_pd(x), _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7)); }
inline vd add(vd a, vd b) { return _mm512_add_pd(a, b); }
inline vd sub(vd a, vd b) { return _mm512_sub_pd(a, b); }
inline vd mul(vd a, vd b) { return _mm512_mul_pd(a, b); }
inline vd min_lt(vd a, vd b) { return _mm512_min_pd(a, b); }
inline vd max_gt(vd a, vd b) { return _mm512_max_pd(a, b); }
inline vi_half trunc_i32(vd a) { return _mm512_cvttpd_epi32(a); }
inline vd to_double(vi_half a) { return _mm512_cvtepi32_pd(a); }
inline vd to_double(vf_half a) { return _mm512_cvtps_pd(a); }
inline vf_half to_float(vd a) { return _mm512_cvtpd_ps(a); }
inline vi_half set1_i32_half(int32_t x) { return _mm256_set1_epi32(x); }
inline vi_half add_i32(vi_half a, vi_half b) { return _mm256_add_epi32(a, b); }
inline vi_half mul_i32(vi_half a, vi_half b) { return _mm256_mullo_epi32(a, b); }
inline vi_half min_i32(vi_half a, vi_half b) { return _mm256_min_epi32(a, b); }
inline vi_half max_i32(vi_half a, vi_half b) { return _mm256_max_epi32(a, b); }
// a == b ? if_equal : 0
inline vi_half keep_if_equal(vi_half a, vi_half b, vi_half if_equal) {
    return _mm256_and_si256(_mm256_cmpeq_epi32(a, b), if_equal);
}
inline void store_i32(int32_t* p, vi_half a) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a); }
inline vf_half gather(const float* base, vi_half index) { return _mm256_i32gather_ps(base, index, 4); }
inline vf_half set1_half(float x) { return _mm256_set1_ps(x); }
inline vf_half add(vf_half a, vf_half b) { return _mm256_add_ps(a, b); }
inline vf_half mul(vf_half a, vf_half b) { return _mm256_mul_ps(a, b); }
inline vf_half min_lt(vf_half a, vf_half b) { return _mm256_min_ps(a, b); }
inline vf_half max_gt(vf_half a, vf_half b) { return _mm256_max_ps(a, b); }
inline void store(float* p, vf_half a) { _mm256_storeu_ps(p, a); }
// out[b] lane j = quads[j][b]: one four-float quad per lane, transposed.
inline void transpose_quads(const __m128* quads, vf_half out[4]) {
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
#elif defined(__AVX2__)

inline constexpr int kLanes = 8;
using vf = __m256;
using vi = __m256i;
using mask = __m256;

inline vf set1(float x) { return _mm256_set1_ps(x); }
inline vf load(const float* p) { return _mm256_loadu_ps(p); }
inline void store(float* p, vf v) { _mm256_storeu_ps(p, v); }
inline vf add(vf a, vf b) { return _mm256_add_ps(a, b); }
inline vf sub(vf a, vf b) { return _mm256_sub_ps(a, b); }
inline vf mul(vf a, vf b) { return _mm256_mul_ps(a, b); }
inline vf div(vf a, vf b) { return _mm256_div_ps(a, b); }
inline vf min_lt(vf v, vf limit) { return _mm256_min_ps(v, limit); }
inline vf max_gt(vf v, vf limit) { return _mm256_max_ps(v, limit); }
inline mask lt(vf a, vf b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
inline mask le(vf a, vf b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
inline mask is_nan(vf a) { return _mm256_cmp_ps(a, a, _CMP_UNORD_Q); }
inline mask mask_or(mask a, mask b) { return _mm256_or_ps(a, b); }
inline vf select(mask m, vf if_true, vf if_false) { return _mm256_blendv_ps(if_false, if_true, m); }
inline vi trunc_i32(vf v) { return _mm256_cvttps_epi32(v); }
inline vf from_i32(vi v) { return _mm256_cvtepi32_ps(v); }
inline vf gather(const float* base, vi idx) { return _mm256_i32gather_ps(base, idx, 4); }
inline mask eq(vf a, vf b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
inline mask mask_andnot(mask a, mask b) { return _mm256_andnot_ps(a, b); }
inline vi set1_i32(int32_t x) { return _mm256_set1_epi32(x); }
inline vi load_i32(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline vi add_i32(vi a, vi b) { return _mm256_add_epi32(a, b); }
inline vi min_u32(vi a, vi b) { return _mm256_min_epu32(a, b); }
inline vf load_u8(const uint8_t* p) {
    return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}
inline vf load_u16(const uint16_t* p) {
    return _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}
inline void store_low8(uint8_t* p, vi v) {
    // Byte 0 of every 32-bit lane, gathered into the low 8 bytes.
    const __m256i bytes =
        _mm256_shuffle_epi8(v, _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4,
                                                8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const __m256i packed = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
}
inline void store_low16(uint16_t* p, vi v) {
    const __m256i halves =
        _mm256_shuffle_epi8(v, _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 4,
                                                5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1));
    const __m256i packed = _mm256_permute4x64_epi64(halves, 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
}

// Three-channel pixels, as in the AVX-512 forms. Lane l of the k-th vector
// holds channel (8k + l) mod 3: each channel is blended together lane by
// lane, then permuted into pixel order.
inline void split3(vf v0, vf v1, vf v2, vf& c0, vf& c1, vf& c2) {
    const vf t0 = _mm256_blend_ps(_mm256_blend_ps(v0, v1, 0x92), v2, 0x24);
    const vf t1 = _mm256_blend_ps(_mm256_blend_ps(v0, v1, 0x24), v2, 0x49);
    const vf t2 = _mm256_blend_ps(_mm256_blend_ps(v0, v1, 0x49), v2, 0x92);
    c0 = _mm256_permutevar8x32_ps(t0, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5));
    c1 = _mm256_permutevar8x32_ps(t1, _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6));
    c2 = _mm256_permutevar8x32_ps(t2, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7));
}
inline void join3(vf c0, vf c1, vf c2, vf& v0, vf& v1, vf& v2) {
    const vf t0 = _mm256_permutevar8x32_ps(c0, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5));
    const vf t1 = _mm256_permutevar8x32_ps(c1, _mm256_setr_epi32(5, 0, 3, 6, 1, 4, 7, 2));
    const vf t2 = _mm256_permutevar8x32_ps(c2, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7));
    v0 = _mm256_blend_ps(_mm256_blend_ps(t0, t1, 0x92), t2, 0x24);
    v1 = _mm256_blend_ps(_mm256_blend_ps(t0, t1, 0x24), t2, 0x49);
    v2 = _mm256_blend_ps(_mm256_blend_ps(t0, t1, 0x49), t2, 0x92);
}

// Half-width lanes, as in the AVX-512 build.
inline constexpr int kHalfLanes = 4;
using vd = __m256d;
using vi_half = __m128i;
using vf_half = __m128;

inline vd set1_d(double x) { return _mm256_set1_pd(x); }
inline vd ramp_d(double x) { return _mm256_add_pd(_mm256_set1_pd(x), _mm256_setr_pd(0, 1, 2, 3)); }
inline vd add(vd a, vd b) { return _mm256_add_pd(a, b); }
inline vd sub(vd a, vd b) { return _mm256_sub_pd(a, b); }
inline vd mul(vd a, vd b) { return _mm256_mul_pd(a, b); }
inline vd min_lt(vd a, vd b) { return _mm256_min_pd(a, b); }
inline vd max_gt(vd a, vd b) { return _mm256_max_pd(a, b); }
inline vi_half trunc_i32(vd a) { return _mm256_cvttpd_epi32(a); }
inline vd to_double(vi_half a) { return _mm256_cvtepi32_pd(a); }
inline vd to_double(vf_half a) { return _mm256_cvtps_pd(a); }
inline vf_half to_float(vd a) { return _mm256_cvtpd_ps(a); }
inline vi_half set1_i32_half(int32_t x) { return _mm_set1_epi32(x); }
inline vi_half add_i32(vi_half a, vi_half b) { return _mm_add_epi32(a, b); }
inline vi_half mul_i32(vi_half a, vi_half b) { return _mm_mullo_epi32(a, b); }
inline vi_half min_i32(vi_half a, vi_half b) { return _mm_min_epi32(a, b); }
inline vi_half max_i32(vi_half a, vi_half b) { return _mm_max_epi32(a, b); }
inline vi_half keep_if_equal(vi_half a, vi_half b, vi_half if_equal) {
    return _mm_and_si128(_mm_cmpeq_epi32(a, b), if_equal);
}
inline void store_i32(int32_t* p, vi_half a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a); }
inline vf_half gather(const float* base, vi_half index) { return _mm_i32gather_ps(base, index, 4); }
inline vf_half set1_half(float x) { return _mm_set1_ps(x); }
inline vf_half add(vf_half a, vf_half b) { return _mm_add_ps(a, b); }
inline vf_half mul(vf_half a, vf_half b) { return _mm_mul_ps(a, b); }
inline vf_half min_lt(vf_half a, vf_half b) { return _mm_min_ps(a, b); }
inline vf_half max_gt(vf_half a, vf_half b) { return _mm_max_ps(a, b); }
inline void store(float* p, vf_half a) { _mm_storeu_ps(p, a); }
inline void transpose_quads(const __m128* quads, vf_half out[4]) {
    const __m128 t0 = _mm_unpacklo_ps(quads[0], quads[1]);
    const __m128 t1 = _mm_unpackhi_ps(quads[0], quads[1]);
    const __m128 t2 = _mm_unpacklo_ps(quads[2], quads[3]);
    const __m128 t3 = _mm_unpackhi_ps(quads[2], quads[3]);
    out[0] = _mm_movelh_ps(t0, t2);
    out[1] = _mm_movehl_ps(t2, t0);
    out[2] = _mm_movelh_ps(t1, t3);
    out[3] = _mm_movehl_ps(t3, t1);
}
#else

inline constexpr int kLanes = 4;
using vf = __m128;
using vi = __m128i;
using mask = __m128;

inline vf set1(float x) { return _mm_set1_ps(x); }
inline vf load(const float* p) { return _mm_loadu_ps(p); }
inline void store(float* p, vf v) { _mm_storeu_ps(p, v); }
inline vf add(vf a, vf b) { return _mm_add_ps(a, b); }
inline vf sub(vf a, vf b) { return _mm_sub_ps(a, b); }
inline vf mul(vf a, vf b) { return _mm_mul_ps(a, b); }
inline vf div(vf a, vf b) { return _mm_div_ps(a, b); }
inline vf min_lt(vf v, vf limit) { return _mm_min_ps(v, limit); }
inline vf max_gt(vf v, vf limit) { return _mm_max_ps(v, limit); }
inline mask lt(vf a, vf b) { return _mm_cmplt_ps(a, b); }
inline mask le(vf a, vf b) { return _mm_cmple_ps(a, b); }
inline mask is_nan(vf a) { return _mm_cmpunord_ps(a, a); }
inline mask mask_or(mask a, mask b) { return _mm_or_ps(a, b); }
inline vf select(mask m, vf if_true, vf if_false) {
    return _mm_or_ps(_mm_and_ps(m, if_true), _mm_andnot_ps(m, if_false));
}
inline vi trunc_i32(vf v) { return _mm_cvttps_epi32(v); }
inline vf from_i32(vi v) { return _mm_cvtepi32_ps(v); }
inline vf gather(const float* base, vi idx) {
    alignas(16) int32_t k[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(k), idx);
    return _mm_setr_ps(base[k[0]], base[k[1]], base[k[2]], base[k[3]]);
}
inline mask eq(vf a, vf b) { return _mm_cmpeq_ps(a, b); }
inline mask mask_andnot(mask a, mask b) { return _mm_andnot_ps(a, b); }
inline vi set1_i32(int32_t x) { return _mm_set1_epi32(x); }
inline vi load_i32(const int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline vi add_i32(vi a, vi b) { return _mm_add_epi32(a, b); }
inline vi min_u32(vi a, vi b) {
    // Flipping the sign bits turns the unsigned order into the signed one.
    const __m128i bias = _mm_set1_epi32(INT32_MIN);
    const __m128i a_greater = _mm_cmpgt_epi32(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias));
    return _mm_or_si128(_mm_and_si128(a_greater, b), _mm_andnot_si128(a_greater, a));
}
inline vf load_u8(const uint8_t* p) {
    int32_t four;
    std::memcpy(&four, p, sizeof four);
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero));
}
inline vf load_u16(const uint16_t* p) {
    const __m128i words = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, _mm_setzero_si128()));
}
inline void store_low8(uint8_t* p, vi v) {
    // Masked to 0..255, the saturating packs keep every value.
    const __m128i words = _mm_packs_epi32(_mm_and_si128(v, _mm_set1_epi32(0xFF)), _mm_setzero_si128());
    const int32_t four = _mm_cvtsi128_si32(_mm_packus_epi16(words, _mm_setzero_si128()));
    std::memcpy(p, &four, sizeof four);
}
inline void store_low16(uint16_t* p, vi v) {
    // Sign-extending the low 16 bits makes the signed saturating pack exact.
    const __m128i low = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(low, low));
}

// Three-channel pixels, as in the AVX-512 forms: r0 g0 b0 r1 | g1 b1 r2 g2 |
// b2 r3 g3 b3 and back, by pairwise shuffles.
inline void split3(vf v0, vf v1, vf v2, vf& c0, vf& c1, vf& c2) {
    const vf r2r3 = _mm_shuffle_ps(v1, v2, _MM_SHUFFLE(1, 1, 2, 2));
    c0 = _mm_shuffle_ps(v0, r2r3, _MM_SHUFFLE(2, 0, 3, 0));
    const vf g0g1 = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(0, 0, 1, 1));
    const vf g2g3 = _mm_shuffle_ps(v1, v2, _MM_SHUFFLE(2, 2, 3, 3));
    c1 = _mm_shuffle_ps(g0g1, g2g3, _MM_SHUFFLE(2, 0, 2, 0));
    const vf b0b1 = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(1, 1, 2, 2));
    c2 = _mm_shuffle_ps(b0b1, v2, _MM_SHUFFLE(3, 0, 2, 0));
}
inline void join3(vf c0, vf c1, vf c2, vf& v0, vf& v1, vf& v2) {
    const vf r0g0 = _mm_shuffle_ps(c0, c1, _MM_SHUFFLE(0, 0, 0, 0));
    const vf b0r1 = _mm_shuffle_ps(c2, c0, _MM_SHUFFLE(1, 1, 0, 0));
    const vf g1b1 = _mm_shuffle_ps(c1, c2, _MM_SHUFFLE(1, 1, 1, 1));
    const vf r2g2 = _mm_shuffle_ps(c0, c1, _MM_SHUFFLE(2, 2, 2, 2));
    const vf b2r3 = _mm_shuffle_ps(c2, c0, _MM_SHUFFLE(3, 3, 2, 2));
    const vf g3b3 = _mm_shuffle_ps(c1, c2, _MM_SHUFFLE(3, 3, 3, 3));
    v0 = _mm_shuffle_ps(r0g0, b0r1, _MM_SHUFFLE(2, 0, 2, 0));
    v1 = _mm_shuffle_ps(g1b1, r2g2, _MM_SHUFFLE(2, 0, 2, 0));
    v2 = _mm_shuffle_ps(b2r3, g3b3, _MM_SHUFFLE(2, 0, 2, 0));
}
#endif

inline void load3(const float* p, vf& c0, vf& c1, vf& c2) {
    split3(load(p), load(p + kLanes), load(p + 2 * kLanes), c0, c1, c2);
}
inline void store3(float* p, vf c0, vf c1, vf c2) {
    vf v0, v1, v2;
    join3(c0, c1, c2, v0, v1, v2);
    store(p, v0);
    store(p + kLanes, v1);
    store(p + 2 * kLanes, v2);
}

// The two clamps to 0..1, scalar beside vector. Both turn values above 1
// into 1 and NaN into +0; they differ only on -0.
//
// y > 1 gives 1, 0 <= y <= 1 keeps y (so -0 stays -0), below 0 or NaN gives +0.
inline float clamp_unit_keep_minus_zero(float y) { return 0.0f <= y ? (y < 1.0f ? y : 1.0f) : 0.0f; }
inline vf clamp_unit_keep_minus_zero(vf y) {
    const vf zero = set1(0.0f);
    const vf one = set1(1.0f);
    return select(lt(one, y), one, select(le(zero, y), y, zero));
}
// y > 1 gives 1, 0 < y <= 1 keeps y, anything else (-0, below 0, NaN) gives +0.
inline float clamp_unit_flush_minus_zero(float y) {
    const float capped = 1.0f < y ? 1.0f : y;
    return capped > 0.0f ? capped : 0.0f;
}
inline vf clamp_unit_flush_minus_zero(vf y) { return max_gt(min_lt(set1(1.0f), y), set1(0.0f)); }
#if defined(__AVX2__)
inline vf_half clamp_unit_flush_minus_zero(vf_half y) {
    return max_gt(min_lt(set1_half(1.0f), y), set1_half(0.0f));
}
#endif

// kLanes samples of type T as floats (integers convert exactly).
template <class T>
vf load_as_float(const T* p) {
    if constexpr (sizeof(T) == 1)
        return load_u8(p);
    else if constexpr (sizeof(T) == 2)
        return load_u16(p);
    else
        return load(p);
}

// The store of a sample type: floats as they are, integers the low bits of
// the truncated value.
template <class T>
void store_from_float(T* p, vf v) {
    if constexpr (sizeof(T) == 1)
        store_low8(p, trunc_i32(v));
    else if constexpr (sizeof(T) == 2)
        store_low16(p, trunc_i32(v));
    else
        store(p, v);
}

}  // namespace orvex::ORVEX_ISA::simd
