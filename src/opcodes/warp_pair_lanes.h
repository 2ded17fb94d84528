// Half-width lane helpers of the bilinear warp: both samples of a horizontal
// neighbour pair from one 16-byte load per lane, and the interleaved store of
// three planes. Included by the warp kernel body after frame/simd.h.
#pragma once

#include <cstdint>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA::simd {

#if defined(__AVX512F__)

// Lane j of first and second: base[left[j]] and base[right[j]], taken from
// one four-float load per lane at min(left[j], last_quad). Needs
// 0 <= right[j] - left[j] <= 3 and last_quad = sample count - 4 >= 0, so
// no load reaches past the last sample.
inline void load_pairs(const float* base, vi_half left, vi_half right, vi_half last_quad, vf_half& first,
                       vf_half& second) {
    const vi_half start = _mm256_min_epi32(left, last_quad);
    alignas(32) int32_t at[kHalfLanes];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), start);
    __m512 low = _mm512_castps128_ps512(_mm_loadu_ps(base + at[0]));
    __m512 high = _mm512_castps128_ps512(_mm_loadu_ps(base + at[4]));
    for (int j = 1; j < 4; ++j) {
        low = _mm512_insertf32x4(low, _mm_loadu_ps(base + at[j]), j);
        high = _mm512_insertf32x4(high, _mm_loadu_ps(base + at[j + 4]), j);
    }
    const vi_half quad = _mm256_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28);
    const vi_half first_index = _mm256_add_epi32(quad, _mm256_sub_epi32(left, start));
    const vi_half second_index = _mm256_add_epi32(quad, _mm256_sub_epi32(right, start));
    const __m512i index = _mm512_inserti64x4(_mm512_castsi256_si512(first_index), second_index, 1);
    const __m512 both = _mm512_permutex2var_ps(low, index, high);
    first = _mm512_castps512_ps256(both);
    second = _mm512_extractf32x8_ps(both, 1);
}

// p[3 * j + k] = plane k lane j for k = 0, 1, 2.
inline void store_interleaved3(float* p, vf_half a, vf_half b, vf_half c) {
    const __m512 ab = _mm512_insertf32x8(_mm512_castps256_ps512(a), b, 1);
    const __m512 cc = _mm512_castps256_ps512(c);
    const __m512i first = _mm512_setr_epi32(0, 8, 16, 1, 9, 17, 2, 10, 18, 3, 11, 19, 4, 12, 20, 5);
    const __m512i rest = _mm512_setr_epi32(13, 21, 6, 14, 22, 7, 15, 23, 0, 0, 0, 0, 0, 0, 0, 0);
    _mm512_storeu_ps(p, _mm512_permutex2var_ps(ab, first, cc));
    _mm256_storeu_ps(p + 16, _mm512_castps512_ps256(_mm512_permutex2var_ps(ab, rest, cc)));
}

#elif defined(__AVX2__)

// Lane j of first and second: base[left[j]] and base[right[j]], taken from
// one four-float load per lane at min(left[j], last_quad). Needs
// 0 <= right[j] - left[j] <= 3 and last_quad = sample count - 4 >= 0, so
// no load reaches past the last sample.
inline void load_pairs(const float* base, vi_half left, vi_half right, vi_half last_quad, vf_half& first,
                       vf_half& second) {
    const vi_half start = _mm_min_epi32(left, last_quad);
    alignas(16) int32_t at[kHalfLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), start);
    const __m256 low =
        _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(base + at[0])), _mm_loadu_ps(base + at[1]), 1);
    const __m256 high =
        _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(base + at[2])), _mm_loadu_ps(base + at[3]), 1);
    const vi_half quad = _mm_setr_epi32(0, 4, 0, 4);
    const vi_half first_index = _mm_add_epi32(quad, _mm_sub_epi32(left, start));
    const vi_half second_index = _mm_add_epi32(quad, _mm_sub_epi32(right, start));
    const __m256i index = _mm256_inserti128_si256(_mm256_castsi128_si256(first_index), second_index, 1);
    // Lanes 0, 1, 4, 5 come from the first two quads, lanes 2, 3, 6, 7 from the others.
    const __m256 both =
        _mm256_blend_ps(_mm256_permutevar8x32_ps(low, index), _mm256_permutevar8x32_ps(high, index), 0xCC);
    first = _mm256_castps256_ps128(both);
    second = _mm256_extractf128_ps(both, 1);
}

// p[3 * j + k] = plane k lane j for k = 0, 1, 2.
inline void store_interleaved3(float* p, vf_half a, vf_half b, vf_half c) {
    const __m256 ab = _mm256_insertf128_ps(_mm256_castps128_ps256(a), b, 1);
    const __m256 cc = _mm256_insertf128_ps(_mm256_castps128_ps256(c), c, 1);
    // a0 b0 c0 a1 b1 c1 a2 b2 | c2 a3 b3 c3
    const __m256 first =
        _mm256_blend_ps(_mm256_permutevar8x32_ps(ab, _mm256_setr_epi32(0, 4, 0, 1, 5, 0, 2, 6)),
                        _mm256_permutevar8x32_ps(cc, _mm256_setr_epi32(0, 0, 0, 0, 0, 1, 0, 0)), 0x24);
    const __m256 rest =
        _mm256_blend_ps(_mm256_permutevar8x32_ps(ab, _mm256_setr_epi32(0, 3, 7, 0, 0, 0, 0, 0)),
                        _mm256_permutevar8x32_ps(cc, _mm256_setr_epi32(2, 0, 0, 3, 0, 0, 0, 0)), 0x09);
    _mm256_storeu_ps(p, first);
    _mm_storeu_ps(p + 8, _mm256_castps256_ps128(rest));
}

#endif

}  // namespace orvex::ORVEX_ISA::simd
