// Vector helpers for interleaved three-channel pixels, compiled once per
// instruction set (included by the colour transform kernels only). A group is
// simd::kLanes pixels: 3 * kLanes consecutive samples, split into one vector
// per channel and joined back in memory order.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including color/rgb_lanes.h"
#endif

#include <cstdint>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA::rgb {

using simd::vf;
using simd::vi;

// One vector per channel: lane j holds the channel of pixel j of the group.
struct Pixels {
    vf c0, c1, c2;
};

#if defined(__AVX512F__)

namespace detail {

struct Index16 {
    int32_t lane[16];
};

// Lane j of channel c is sample 3j + c; the first permute takes what lies in
// x:y (samples 0..31), the second the rest from z.
constexpr Index16 split_from_xy(int c) {
    Index16 t{};
    for (int j = 0; j < 16; ++j)
        t.lane[j] = 3 * j + c < 32 ? 3 * j + c : 0;
    return t;
}
constexpr Index16 split_from_z(int c) {
    Index16 t{};
    for (int j = 0; j < 16; ++j)
        t.lane[j] = 3 * j + c < 32 ? j : 16 + 3 * j + c - 32;
    return t;
}
// Sample g of the output (g from first) is channel g % 3 of pixel g / 3.
constexpr Index16 join_from_c01(int first) {
    Index16 t{};
    for (int j = 0; j < 16; ++j) {
        const int g = first + j;
        t.lane[j] = g % 3 == 0 ? g / 3 : g % 3 == 1 ? 16 + g / 3 : 0;
    }
    return t;
}
constexpr Index16 join_from_c2(int first) {
    Index16 t{};
    for (int j = 0; j < 16; ++j) {
        const int g = first + j;
        t.lane[j] = g % 3 == 2 ? 16 + g / 3 : j;
    }
    return t;
}

inline vi load_index(const Index16& t) { return _mm512_loadu_si512(t.lane); }

inline vf split(vf x, vf y, vf z, int c) {
    static constexpr Index16 from_xy[3] = {split_from_xy(0), split_from_xy(1), split_from_xy(2)};
    static constexpr Index16 from_z[3] = {split_from_z(0), split_from_z(1), split_from_z(2)};
    const vf xy = _mm512_permutex2var_ps(x, load_index(from_xy[c]), y);
    return _mm512_permutex2var_ps(xy, load_index(from_z[c]), z);
}

inline vf join(const Pixels& p, int third) {
    static constexpr Index16 from_c01[3] = {join_from_c01(0), join_from_c01(16), join_from_c01(32)};
    static constexpr Index16 from_c2[3] = {join_from_c2(0), join_from_c2(16), join_from_c2(32)};
    const vf c01 = _mm512_permutex2var_ps(p.c0, load_index(from_c01[third]), p.c1);
    return _mm512_permutex2var_ps(c01, load_index(from_c2[third]), p.c2);
}

}  // namespace detail

inline Pixels split(vf x, vf y, vf z) {
    return {detail::split(x, y, z, 0), detail::split(x, y, z, 1), detail::split(x, y, z, 2)};
}

inline void join(const Pixels& p, vf& x, vf& y, vf& z) {
    x = detail::join(p, 0);
    y = detail::join(p, 1);
    z = detail::join(p, 2);
}

inline vf gather(const float* table, vi index) { return _mm512_i32gather_ps(index, table, 4); }

// Entries 2i and 2i + 1 of `pairs` for every lane's i, as two 8-byte reads.
inline void gather_pairs(const float* pairs, vi index, vf& first, vf& second) {
    const vf low = _mm512_castpd_ps(_mm512_i32gather_pd(_mm512_castsi512_si256(index), pairs, 8));
    const vf high = _mm512_castpd_ps(_mm512_i32gather_pd(_mm512_extracti64x4_epi64(index, 1), pairs, 8));
    const vi even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    first = _mm512_permutex2var_ps(low, even, high);
    second = _mm512_permutex2var_ps(low, _mm512_add_epi32(even, _mm512_set1_epi32(1)), high);
}

#elif defined(__AVX2__)

// In each of x, y, z the three channels sit at fixed positions: channel 0 at
// {0,3,6} of x, {1,4,7} of y, {2,5} of z, and so on. Blending puts a
// channel's eight samples into one vector, a permute sorts them by pixel.
inline Pixels split(vf x, vf y, vf z) {
    const vf c0 = _mm256_blend_ps(_mm256_blend_ps(x, y, 0x92), z, 0x24);
    const vf c1 = _mm256_blend_ps(_mm256_blend_ps(x, y, 0x24), z, 0x49);
    const vf c2 = _mm256_blend_ps(_mm256_blend_ps(x, y, 0x49), z, 0x92);
    return {_mm256_permutevar8x32_ps(c0, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5)),
            _mm256_permutevar8x32_ps(c1, _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6)),
            _mm256_permutevar8x32_ps(c2, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7))};
}

inline void join(const Pixels& p, vf& x, vf& y, vf& z) {
    const vf c0 = _mm256_permutevar8x32_ps(p.c0, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5));
    const vf c1 = _mm256_permutevar8x32_ps(p.c1, _mm256_setr_epi32(5, 0, 3, 6, 1, 4, 7, 2));
    const vf c2 = _mm256_permutevar8x32_ps(p.c2, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7));
    x = _mm256_blend_ps(_mm256_blend_ps(c0, c1, 0x92), c2, 0x24);
    y = _mm256_blend_ps(_mm256_blend_ps(c2, c0, 0x92), c1, 0x24);
    z = _mm256_blend_ps(_mm256_blend_ps(c1, c2, 0x92), c0, 0x24);
}

inline vf gather(const float* table, vi index) { return _mm256_i32gather_ps(table, index, 4); }

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

#else

// x = r0 g0 b0 r1, y = g1 b1 r2 g2, z = b2 r3 g3 b3.
inline Pixels split(vf x, vf y, vf z) {
    const vf r23 = _mm_shuffle_ps(y, z, _MM_SHUFFLE(0, 1, 0, 2));
    const vf g01 = _mm_shuffle_ps(x, y, _MM_SHUFFLE(0, 0, 0, 1));
    const vf g23 = _mm_shuffle_ps(y, z, _MM_SHUFFLE(0, 2, 0, 3));
    const vf b01 = _mm_shuffle_ps(x, y, _MM_SHUFFLE(0, 1, 0, 2));
    const vf b23 = _mm_shuffle_ps(z, z, _MM_SHUFFLE(0, 3, 0, 0));
    return {_mm_shuffle_ps(x, r23, _MM_SHUFFLE(2, 0, 3, 0)), _mm_shuffle_ps(g01, g23, _MM_SHUFFLE(2, 0, 2, 0)),
            _mm_shuffle_ps(b01, b23, _MM_SHUFFLE(2, 0, 2, 0))};
}

inline void join(const Pixels& p, vf& x, vf& y, vf& z) {
    const vf rg01 = _mm_unpacklo_ps(p.c0, p.c1);  // r0 g0 r1 g1
    const vf rg23 = _mm_unpackhi_ps(p.c0, p.c1);  // r2 g2 r3 g3
    const vf b0r1 = _mm_shuffle_ps(p.c2, rg01, _MM_SHUFFLE(0, 2, 0, 0));
    const vf g1b1 = _mm_shuffle_ps(rg01, p.c2, _MM_SHUFFLE(0, 1, 0, 3));
    const vf b2r3 = _mm_shuffle_ps(p.c2, rg23, _MM_SHUFFLE(0, 2, 0, 2));
    const vf g3b3 = _mm_shuffle_ps(rg23, p.c2, _MM_SHUFFLE(0, 3, 0, 3));
    x = _mm_shuffle_ps(rg01, b0r1, _MM_SHUFFLE(2, 0, 1, 0));
    y = _mm_shuffle_ps(g1b1, rg23, _MM_SHUFFLE(1, 0, 2, 0));
    z = _mm_shuffle_ps(b2r3, g3b3, _MM_SHUFFLE(2, 0, 2, 0));
}

inline vf gather(const float* table, vi index) {
    alignas(16) int32_t i[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
    return _mm_setr_ps(table[i[0]], table[i[1]], table[i[2]], table[i[3]]);
}

// Entries 2i and 2i + 1 of `pairs` for every lane's i.
inline void gather_pairs(const float* pairs, vi index, vf& first, vf& second) {
    alignas(16) int32_t i[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
    const float* p[4] = {pairs + 2 * i[0], pairs + 2 * i[1], pairs + 2 * i[2], pairs + 2 * i[3]};
    first = _mm_setr_ps(p[0][0], p[1][0], p[2][0], p[3][0]);
    second = _mm_setr_ps(p[0][1], p[1][1], p[2][1], p[3][1]);
}

#endif

// kLanes consecutive samples of type T as floats (integers convert exactly).
template <class T>
vf load_samples(const T* p) {
    if constexpr (sizeof(T) == 1)
        return simd::load_u8(p);
    else if constexpr (sizeof(T) == 2)
        return simd::load_u16(p);
    else
        return simd::load(p);
}

// Float stores as is; integers keep the low bits of the truncated value.
template <class T>
void store_samples(T* p, vf v) {
    if constexpr (sizeof(T) == 1)
        simd::store_low8(p, simd::trunc_i32(v));
    else if constexpr (sizeof(T) == 2)
        simd::store_low16(p, simd::trunc_i32(v));
    else
        simd::store(p, v);
}

template <class T>
Pixels load_group(const T* p) {
    return split(load_samples(p), load_samples(p + simd::kLanes), load_samples(p + 2 * simd::kLanes));
}

template <class T>
void store_group(T* p, const Pixels& pixels) {
    vf x, y, z;
    join(pixels, x, y, z);
    store_samples(p, x);
    store_samples(p + simd::kLanes, y);
    store_samples(p + 2 * simd::kLanes, z);
}

}  // namespace orvex::ORVEX_ISA::rgb
