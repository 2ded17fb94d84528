// Vector helpers for interleaved three-channel pixels, compiled once per
// instruction set (included by the colour transform kernels only). A group is
// simd::kLanes pixels: 3 * kLanes consecutive samples, split into one vector
// per channel and joined back in memory order.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including color/rgb_lanes.h"
#endif

#include <cstddef>
#include <cstdint>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA::rgb {

using simd::gather;
using simd::vf;
using simd::vi;

// One vector per channel: lane j holds the channel of pixel j of the group.
struct Pixels {
    vf c0, c1, c2;
};

#if defined(__AVX512F__)

// Entries 2i and 2i + 1 of `pairs` for every lane's i, as two 8-byte reads.
inline void gather_pairs(const float* pairs, vi index, vf& first, vf& second) {
    const vf low = _mm512_castpd_ps(_mm512_i32gather_pd(_mm512_castsi512_si256(index), pairs, 8));
    const vf high = _mm512_castpd_ps(_mm512_i32gather_pd(_mm512_extracti64x4_epi64(index, 1), pairs, 8));
    const vi even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    first = _mm512_permutex2var_ps(low, even, high);
    second = _mm512_permutex2var_ps(low, _mm512_add_epi32(even, _mm512_set1_epi32(1)), high);
}

// The table entry at each of `count` 16-bit samples, in sample order.
inline void read_table(const float* table, const uint16_t* samples, float* values, size_t count) {
    size_t i = 0;
    for (; i + simd::kLanes <= count; i += simd::kLanes) {
        const vi index = _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples + i)));
        simd::store(values + i, gather(table, index));
    }
    for (; i < count; ++i)
        values[i] = table[samples[i]];
}

#elif defined(__AVX2__)

// Entries 2i and 2i + 1 of `pairs` for every lane's i, as two 8-byte reads.
inline void gather_pairs(const float* pairs, vi index, vf& first, vf& second) {
    // The masked form with a zero start value: the plain one trips GCC 12's
    // uninitialized-value warning inside its own header.
    const double* base = reinterpret_cast<const double*>(pairs);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const vf low = _mm256_castpd_ps(_mm256_mask_i32gather_pd(zero, base, _mm256_castsi256_si128(index), all, 8));
    const vf high =
        _mm256_castpd_ps(_mm256_mask_i32gather_pd(zero, base, _mm256_extracti128_si256(index, 1), all, 8));
    // Per 128-bit half: pairs 0, 1, 4, 5 | 2, 3, 6, 7; the permute restores the order.
    const __m256d firsts = _mm256_castps_pd(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m256d seconds = _mm256_castps_pd(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    first = _mm256_castpd_ps(_mm256_permute4x64_pd(firsts, _MM_SHUFFLE(3, 1, 2, 0)));
    second = _mm256_castpd_ps(_mm256_permute4x64_pd(seconds, _MM_SHUFFLE(3, 1, 2, 0)));
}

// The table entry at each of `count` 16-bit samples, in sample order.
inline void read_table(const float* table, const uint16_t* samples, float* values, size_t count) {
    size_t i = 0;
    for (; i + simd::kLanes <= count; i += simd::kLanes) {
        const vi index = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + i)));
        simd::store(values + i, gather(table, index));
    }
    for (; i < count; ++i)
        values[i] = table[samples[i]];
}

#else

// Entries 2i and 2i + 1 of `pairs` for every lane's i.
inline void gather_pairs(const float* pairs, vi index, vf& first, vf& second) {
    alignas(16) int32_t i[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
    const float* p[4] = {pairs + 2 * i[0], pairs + 2 * i[1], pairs + 2 * i[2], pairs + 2 * i[3]};
    first = _mm_setr_ps(p[0][0], p[1][0], p[2][0], p[3][0]);
    second = _mm_setr_ps(p[0][1], p[1][1], p[2][1], p[3][1]);
}

// The table entry at each of `count` 16-bit samples, in sample order.
inline void read_table(const float* table, const uint16_t* samples, float* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
        values[i] = table[samples[i]];
}

#endif

template <class T>
Pixels load_group(const T* p) {
    Pixels pixels;
    simd::split3(simd::load_as_float(p), simd::load_as_float(p + simd::kLanes),
                 simd::load_as_float(p + 2 * simd::kLanes), pixels.c0, pixels.c1, pixels.c2);
    return pixels;
}

template <class T>
void store_group(T* p, const Pixels& pixels) {
    vf x, y, z;
    simd::join3(pixels.c0, pixels.c1, pixels.c2, x, y, z);
    simd::store_from_float(p, x);
    simd::store_from_float(p + simd::kLanes, y);
    simd::store_from_float(p + 2 * simd::kLanes, z);
}

}  // namespace orvex::ORVEX_ISA::rgb
