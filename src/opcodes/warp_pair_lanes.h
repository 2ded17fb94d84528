// Half-width lane helpers of the warp: whole parts of positions, both
// samples of a horizontal neighbour pair from one 16-byte load per lane, or
// the pairs of all lanes from a few consecutive samples per row, and the
// interleaved store of three planes. Included by the warp kernel body after
// frame/simd.h.
#pragma once

#include <algorithm>
#include <cstdint>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA::simd {

#if defined(__AVX512F__)

// Each lane rounded toward zero, as a double.
inline vd trunc_d(vd a) { return _mm512_roundscale_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }

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

// Bilinear samples of lanes whose pairs lie close together: every lane's
// upper row is first_row or first_row + 1, its lower row the next one, and
// its two columns (column_left[j], column_right[j], in samples from the row
// start) lie in the kWindow samples from lane 0's column_left. Then each row
// is read as kWindow consecutive samples and permuted into the lanes. Returns
// false, writing nothing, when the lanes do not fit: first_row is the smaller
// of lane 0's and the last lane's row; the rows read must end inside the
// first max_window_end samples (the sample count).
inline constexpr int32_t kWindow = 32;

inline bool load_pair_window(const float* base, int32_t row_samples, int32_t max_window_end, vi_half rows,
                             vi_half column_left, vi_half column_right, vf_half& top_first, vf_half& top_second,
                             vf_half& bottom_first, vf_half& bottom_second) {
    const int32_t first_row = std::min(_mm256_cvtsi256_si32(rows), _mm256_extract_epi32(rows, 7));
    const int32_t first_column = _mm256_cvtsi256_si32(column_left);
    const vi_half origin = _mm256_set1_epi32(first_column);
    const vi_half left = _mm256_sub_epi32(column_left, origin);
    const vi_half right = _mm256_sub_epi32(column_right, origin);
    const vi_half down = _mm256_sub_epi32(rows, _mm256_set1_epi32(first_row));
    const vi_half last = _mm256_set1_epi32(kWindow - 1);
    if ((_mm256_cmpgt_epu32_mask(left, last) | _mm256_cmpgt_epu32_mask(right, last) |
         _mm256_cmpgt_epu32_mask(down, _mm256_set1_epi32(1))) != 0)
        return false;
    const __mmask8 lower = _mm256_cmpeq_epi32_mask(down, _mm256_set1_epi32(1));
    const int32_t rows_read = lower != 0 ? 3 : 2;
    const int64_t start = static_cast<int64_t>(first_row) * row_samples + first_column;
    if (start + static_cast<int64_t>(rows_read - 1) * row_samples + kWindow > max_window_end) return false;
    const __m512i index = _mm512_inserti64x4(_mm512_castsi256_si512(left), right, 1);
    const float* p = base + start;
    const __m512 upper = _mm512_permutex2var_ps(_mm512_loadu_ps(p), index, _mm512_loadu_ps(p + 16));
    p += row_samples;
    const __m512 middle = _mm512_permutex2var_ps(_mm512_loadu_ps(p), index, _mm512_loadu_ps(p + 16));
    __m512 top = upper, bottom = middle;
    if (lower != 0) {
        p += row_samples;
        const __m512 under = _mm512_permutex2var_ps(_mm512_loadu_ps(p), index, _mm512_loadu_ps(p + 16));
        const __mmask16 both = static_cast<__mmask16>(lower | (lower << 8));
        top = _mm512_mask_blend_ps(both, upper, middle);
        bottom = _mm512_mask_blend_ps(both, middle, under);
    }
    top_first = _mm512_castps512_ps256(top);
    top_second = _mm512_extractf32x8_ps(top, 1);
    bottom_first = _mm512_castps512_ps256(bottom);
    bottom_second = _mm512_extractf32x8_ps(bottom, 1);
    return true;
}

// out[b] lane j = base[offsets[j] + 3 * b] for b = 0 ... 3, reading nothing
// past base[offsets[j] + 9]. Lanes j and j + 4 share each 256-bit register;
// one shuffle picks samples 0 and 3 of two lanes, a second one sorts them.
inline void load_stride3_quads(const float* base, const int32_t* offsets, vf_half out[4]) {
    __m256 head[4], tail[4];  // samples 0 ... 3 and 6 ... 9
    for (int j = 0; j < 4; ++j) {
        const float* low = base + offsets[j];
        const float* high = base + offsets[j + 4];
        head[j] = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
        tail[j] = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low + 6)), _mm_loadu_ps(high + 6), 1);
    }
    const __m256 head01 = _mm256_shuffle_ps(head[0], head[1], _MM_SHUFFLE(3, 0, 3, 0));
    const __m256 head23 = _mm256_shuffle_ps(head[2], head[3], _MM_SHUFFLE(3, 0, 3, 0));
    const __m256 tail01 = _mm256_shuffle_ps(tail[0], tail[1], _MM_SHUFFLE(3, 0, 3, 0));
    const __m256 tail23 = _mm256_shuffle_ps(tail[2], tail[3], _MM_SHUFFLE(3, 0, 3, 0));
    out[0] = _mm256_shuffle_ps(head01, head23, _MM_SHUFFLE(2, 0, 2, 0));
    out[1] = _mm256_shuffle_ps(head01, head23, _MM_SHUFFLE(3, 1, 3, 1));
    out[2] = _mm256_shuffle_ps(tail01, tail23, _MM_SHUFFLE(2, 0, 2, 0));
    out[3] = _mm256_shuffle_ps(tail01, tail23, _MM_SHUFFLE(3, 1, 3, 1));
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

// Each lane rounded toward zero, as a double.
inline vd trunc_d(vd a) { return _mm256_round_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }

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

// As the AVX-512 form, with a window of 16 samples.
inline constexpr int32_t kWindow = 16;

inline bool load_pair_window(const float* base, int32_t row_samples, int32_t max_window_end, vi_half rows,
                             vi_half column_left, vi_half column_right, vf_half& top_first, vf_half& top_second,
                             vf_half& bottom_first, vf_half& bottom_second) {
    const int32_t first_row = std::min(_mm_cvtsi128_si32(rows), _mm_extract_epi32(rows, 3));
    const int32_t first_column = _mm_cvtsi128_si32(column_left);
    const vi_half origin = _mm_set1_epi32(first_column);
    const vi_half left = _mm_sub_epi32(column_left, origin);
    const vi_half right = _mm_sub_epi32(column_right, origin);
    const vi_half down = _mm_sub_epi32(rows, _mm_set1_epi32(first_row));
    // Unsigned v <= limit as min(v, limit) == v.
    const auto within = [](vi_half v, int32_t limit) {
        return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_min_epu32(v, _mm_set1_epi32(limit)), v)) == 0xFFFF;
    };
    if (!within(left, kWindow - 1) || !within(right, kWindow - 1) || !within(down, 1)) return false;
    const __m128i lower = _mm_cmpeq_epi32(down, _mm_set1_epi32(1));
    const bool mixed = _mm_movemask_epi8(lower) != 0;
    const int64_t start = static_cast<int64_t>(first_row) * row_samples + first_column;
    if (start + static_cast<int64_t>(mixed ? 2 : 1) * row_samples + kWindow > max_window_end) return false;
    const __m256i index = _mm256_inserti128_si256(_mm256_castsi128_si256(left), right, 1);
    const __m256 high_half = _mm256_castsi256_ps(_mm256_slli_epi32(index, 28));  // index >= 8
    const auto pick = [&](const float* p) {
        return _mm256_blendv_ps(_mm256_permutevar8x32_ps(_mm256_loadu_ps(p), index),
                                _mm256_permutevar8x32_ps(_mm256_loadu_ps(p + 8), index), high_half);
    };
    const float* p = base + start;
    const __m256 upper = pick(p);
    const __m256 middle = pick(p + row_samples);
    __m256 top = upper, bottom = middle;
    if (mixed) {
        const __m256 under = pick(p + 2 * static_cast<int64_t>(row_samples));
        const __m256 both = _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(lower), lower, 1));
        top = _mm256_blendv_ps(upper, middle, both);
        bottom = _mm256_blendv_ps(middle, under, both);
    }
    top_first = _mm256_castps256_ps128(top);
    top_second = _mm256_extractf128_ps(top, 1);
    bottom_first = _mm256_castps256_ps128(bottom);
    bottom_second = _mm256_extractf128_ps(bottom, 1);
    return true;
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
