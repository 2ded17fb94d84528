// Half-width lane helper of the bilinear warp: both samples of a horizontal
// neighbour pair from one 16-byte load per lane. Included by the warp kernel
// body after frame/simd.h.
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

#endif

}  // namespace orvex::ORVEX_ISA::simd
