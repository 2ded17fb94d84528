// Body of the hue/saturation/value kernels; included by one translation unit
// per instruction set after it defines ORVEX_ISA.
//
// Pixels go through in blocks of kBlock, in four passes over groups of
// pixels that do not depend on each other, so that the groups of a pass
// overlap: conversion to hue, saturation and value with the table divisions;
// the lookup; the adjustment; the conversion back. Every lane performs
// exactly the scalar sequence of operations. A short last block runs on a
// zero-padded copy, and only its real pixels are written back.
//
// The lookup works on quads: for one hue and value division the entries of
// saturation divisions s0 and s0 + 1 are 6 adjacent floats, read as floats
// 0..3 (lanes 0..2: entry s0) and floats 2..5 (lanes 1..3: entry s0 + 1), so
// it reads exactly the floats the interpolation uses. A vector holds one quad
// per 128-bit quarter: quarter q of quad vector k belongs to pixel k + 4q of
// the group. The interpolation runs on the quads; a transpose of the four
// result vectors gives one vector per component, in pixel order.
#include <math.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/simd.h"
#include "tone/hue_sat_map_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

using simd::kLanes;
using simd::mask;
using simd::vf;
using simd::vi;

constexpr int kBlock = 64;
static_assert(kBlock % kLanes == 0);
constexpr float kSextantsPerDegree = 1.0f / 60.0f;
// Largest float below 2^31: a position clamped to it converts to int32.
constexpr float kLargestPosition = 2147483520.0f;
// Beyond this magnitude a hue needs the general remainder by 6.
constexpr float kNearHue = 12.0f;

template <int K>
using QuadIndex = std::integral_constant<int, K>;

// Calls step(QuadIndex<k>) for the four quad vectors k = 0..3.
template <class Step>
inline void for_each_quad_vector(Step step) {
    step(QuadIndex<0>{});
    step(QuadIndex<1>{});
    step(QuadIndex<2>{});
    step(QuadIndex<3>{});
}

#if defined(__AVX512F__)
inline bool any(mask m) { return m != 0; }
inline vi min_int(vi a, vi b) { return _mm512_min_epi32(a, b); }
inline vi mul_int(vi a, vi b) { return _mm512_mullo_epi32(a, b); }
// a == b ? if_equal : otherwise
inline vi pick_if_equal(vi a, vi b, vi if_equal, vi otherwise) {
    return _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(a, b), otherwise, if_equal);
}
inline void store_int(int32_t* p, vi v) { _mm512_storeu_si512(p, v); }
#elif defined(__AVX2__)
inline bool any(mask m) { return _mm256_movemask_ps(m) != 0; }
inline vi min_int(vi a, vi b) { return _mm256_min_epi32(a, b); }
inline vi mul_int(vi a, vi b) { return _mm256_mullo_epi32(a, b); }
inline vi pick_if_equal(vi a, vi b, vi if_equal, vi otherwise) {
    return _mm256_blendv_epi8(otherwise, if_equal, _mm256_cmpeq_epi32(a, b));
}
inline void store_int(int32_t* p, vi v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
#else
inline bool any(mask m) { return _mm_movemask_ps(m) != 0; }
inline vi min_int(vi a, vi b) {
    const __m128i a_greater = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(a_greater, b), _mm_andnot_si128(a_greater, a));
}
inline void store_int(int32_t* p, vi v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
#endif

// Quad vectors: the lookup runs on 256-bit vectors where the instruction set
// has them, in the AVX-512 build too, where a 512-bit form measured no faster
// (it needs three inserts for every four quads instead of one for every two).
#if defined(__AVX2__)
using qv = __m256;
constexpr int kQuadLanes = 8;
inline qv q_set1(float x) { return _mm256_set1_ps(x); }
inline qv q_load(const float* p) { return _mm256_loadu_ps(p); }
inline void q_store(float* p, qv v) { _mm256_storeu_ps(p, v); }
inline qv q_add(qv a, qv b) { return _mm256_add_ps(a, b); }
inline qv q_sub(qv a, qv b) { return _mm256_sub_ps(a, b); }
inline qv q_mul(qv a, qv b) { return _mm256_mul_ps(a, b); }
// A quad vector from the quads of pixels 0 and 4 counted from its first
// pixel.
template <class QuadOf>
inline qv quad_vector(QuadOf quad_of) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(quad_of(0)), quad_of(4), 1);
}
// Lane k + 4q of w, repeated over quarter q.
template <int K>
inline qv spread(qv w) {
    return _mm256_permutevar8x32_ps(w, _mm256_setr_epi32(K, K, K, K, K + 4, K + 4, K + 4, K + 4));
}
// The same lane permutation within every quarter.
template <int Imm>
inline qv permute_in_quads(qv v) {
    return _mm256_permute_ps(v, Imm);
}
inline qv interleave_low(qv a, qv b) { return _mm256_unpacklo_ps(a, b); }
inline qv interleave_high(qv a, qv b) { return _mm256_unpackhi_ps(a, b); }
// Per quarter: lanes 0, 1 of a, then lanes 0, 1 of b.
inline qv low_pairs(qv a, qv b) {
    return _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(a), _mm256_castps_pd(b)));
}
// Per quarter: lanes 2, 3 of a, then lanes 2, 3 of b.
inline qv high_pairs(qv a, qv b) {
    return _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(a), _mm256_castps_pd(b)));
}
#else
using qv = __m128;
constexpr int kQuadLanes = 4;
inline qv q_set1(float x) { return _mm_set1_ps(x); }
inline qv q_load(const float* p) { return _mm_loadu_ps(p); }
inline void q_store(float* p, qv v) { _mm_storeu_ps(p, v); }
inline qv q_add(qv a, qv b) { return _mm_add_ps(a, b); }
inline qv q_sub(qv a, qv b) { return _mm_sub_ps(a, b); }
inline qv q_mul(qv a, qv b) { return _mm_mul_ps(a, b); }
template <class QuadOf>
inline qv quad_vector(QuadOf quad_of) {
    return quad_of(0);
}
template <int K>
inline qv spread(qv w) {
    return _mm_shuffle_ps(w, w, _MM_SHUFFLE(K, K, K, K));
}
template <int Imm>
inline qv permute_in_quads(qv v) {
    return _mm_shuffle_ps(v, v, Imm);
}
inline qv interleave_low(qv a, qv b) { return _mm_unpacklo_ps(a, b); }
inline qv interleave_high(qv a, qv b) { return _mm_unpackhi_ps(a, b); }
inline qv low_pairs(qv a, qv b) { return _mm_movelh_ps(a, b); }
inline qv high_pairs(qv a, qv b) { return _mm_movehl_ps(b, a); }
#endif

// The quad of the 3 floats at `entry` (lanes 0..2; lane 3 is 0), for tables
// with one saturation division, where entry s0 stands for both.
inline __m128 entry_quad(const float* entry) {
    return _mm_movelh_ps(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(entry)),
                         _mm_load_ss(entry + 2));
}

// The table and the constants derived from it.
struct Lookup {
    const float* entries;
    const float* upper_entries;  // the same offsets one value division up
    int32_t last_hue;            // hue_divisions - 1
    int32_t last_sat_pair;       // first division of the last saturation pair
    int32_t last_val_pair;       // first division of the last value pair
    int32_t sat_divisions;
    int32_t plane;  // hue_divisions * sat_divisions, when offsets fit 32 bits
    bool single_sat;
};

// Truncates table positions toward zero. Lookups never leave the table:
// negative and NaN positions give 0, positions past the int32 range the
// largest float below 2^31 (the callers then clamp to the last division).
inline vi truncate_positions(vf x) {
    using namespace simd;
    return trunc_i32(select(le(set1(0.0f), x), min_lt(x, set1(kLargestPosition)), set1(0.0f)));
}

// A block of pixels between the passes.
template <class Index>
struct Block {
    alignas(64) float hue[kBlock];
    alignas(64) float sat[kBlock];
    alignas(64) float val[kBlock];
    alignas(64) float hue_frac[kBlock];
    alignas(64) float sat_frac[kBlock];
    alignas(64) float val_frac[kBlock];
    alignas(64) Index corner[kBlock];   // float offset of entry (V0, h0, s0)
    alignas(64) Index partner[kBlock];  // float offset of entry (V0, h1, s0)
    alignas(64) float hue_shift[kBlock];
    alignas(64) float sat_gain[kBlock];
    alignas(64) float val_gain[kBlock];
};

// The divisions around the positions of group j and the fractions between
// them.
template <bool ThreeD, class Index>
inline void find_divisions(vf hue_pos, vf sat_pos, vf val_pos, const Lookup& lookup, int j, Block<Index>& block) {
    using namespace simd;
    // The last hue division pairs with division 0.
    const vi last_hue = set1_i32(lookup.last_hue);
    const vi h0 = min_int(truncate_positions(hue_pos), last_hue);
    store(block.hue_frac + j, sub(hue_pos, from_i32(h0)));
    // No upper clamp on the fraction: saturation above 1 extrapolates.
    const vi s0 = min_int(truncate_positions(sat_pos), set1_i32(lookup.last_sat_pair));
    store(block.sat_frac + j, lookup.single_sat ? set1(0.0f) : sub(sat_pos, from_i32(s0)));
    vi v0 = set1_i32(0);
    if constexpr (ThreeD) {
        v0 = min_int(truncate_positions(val_pos), set1_i32(lookup.last_val_pair));
        store(block.val_frac + j, sub(val_pos, from_i32(v0)));
    }
#if defined(__AVX2__)
    // 32-bit offsets on vectors where the instruction set multiplies 32-bit
    // lanes; otherwise lane by lane.
    if constexpr (sizeof(Index) == sizeof(int32_t)) {
        const vi sat_divisions = set1_i32(lookup.sat_divisions);
        vi entry = add_i32(mul_int(h0, sat_divisions), s0);
        if constexpr (ThreeD) entry = add_i32(mul_int(v0, set1_i32(lookup.plane)), entry);
        const vi corner = mul_int(entry, set1_i32(3));
        const vi hue_step = pick_if_equal(h0, last_hue, set1_i32(-3 * lookup.last_hue * lookup.sat_divisions),
                                          set1_i32(3 * lookup.sat_divisions));
        store_int(block.corner + j, corner);
        store_int(block.partner + j, add_i32(corner, hue_step));
        return;
    }
#endif
    alignas(64) int32_t hue[kLanes], sat[kLanes], val[kLanes];
    store_int(hue, h0);
    store_int(sat, s0);
    store_int(val, v0);
    const Index sat_divisions = lookup.sat_divisions;
    const Index plane = static_cast<Index>(lookup.last_hue + 1) * sat_divisions;
    for (int l = 0; l < kLanes; ++l) {
        const Index corner = 3 * (val[l] * plane + hue[l] * sat_divisions + sat[l]);
        const Index h1 = hue[l] == lookup.last_hue ? 0 : hue[l] + 1;
        block.corner[j + l] = corner;
        block.partner[j + l] = corner + 3 * (h1 - hue[l]) * sat_divisions;
    }
}

// First pass over group j: hue in sextants, saturation and value, and their
// divisions. Ties of the largest channel go to red, then green; one divide
// finds the hue.
template <bool ThreeD, class Index>
inline void to_hsv(const float* pixels, const HueSatTable& table, const Lookup& lookup, int j,
                   Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf six = set1(6.0f);
    vf r, g, b;
    load3(pixels + 3 * j, r, g, b);
    const vf max_gb = select(lt(g, b), b, g);
    const vf v = select(lt(r, max_gb), max_gb, r);
    const vf min_gb = select(lt(b, g), b, g);
    const vf m = select(lt(min_gb, r), min_gb, r);
    const vf d = sub(v, m);
    const mask red_max = eq(r, v);
    const mask green_max = eq(g, v);
    const vf numerator = select(red_max, sub(g, b), select(green_max, sub(b, r), sub(r, g)));
    const vf quotient = div(numerator, d);
    const vf red_hue = select(lt(quotient, zero), add(quotient, six), quotient);
    const vf chroma_hue = select(red_max, red_hue, add(quotient, select(green_max, set1(2.0f), set1(4.0f))));
    const mask chromatic = lt(zero, d);
    const vf h = select(chromatic, chroma_hue, zero);
    const vf s = select(chromatic, div(d, v), zero);
    store(block.hue + j, h);
    store(block.sat + j, s);
    store(block.val + j, v);
    find_divisions<ThreeD>(mul(set1(table.hue_scale), h), mul(set1(table.sat_scale), s),
                           mul(v, set1(table.val_scale)), lookup, j, block);
}

// The low and high quads of the entries at the given offsets, one quad
// vector's pixels.
struct Rows {
    qv low;   // per quarter, lanes 0..2: entry s0
    qv high;  // per quarter, lanes 1..3: entry s0 + 1
};

template <bool PairedSat, class Index>
inline Rows load_rows(const float* entries, const Index* offsets) {
    if constexpr (PairedSat)
        return {quad_vector([&](int l) { return _mm_loadu_ps(entries + offsets[l]); }),
                quad_vector([&](int l) { return _mm_loadu_ps(entries + offsets[l] + 2); })};
    const qv low = quad_vector([&](int l) { return entry_quad(entries + offsets[l]); });
    return {low, permute_in_quads<_MM_SHUFFLE(2, 1, 0, 0)>(low)};
}

inline Rows blend(Rows a, qv wa, Rows b, qv wb) {
    return {q_add(q_mul(wa, a.low), q_mul(wb, b.low)), q_add(q_mul(wa, a.high), q_mul(wb, b.high))};
}

// The interpolated entry of quad vector K of group j: along hue, then value,
// then saturation. Lanes 0..2 of each quarter hold the three components.
template <bool ThreeD, bool PairedSat, int K, class Index>
inline qv look_up_quads(const Lookup& lookup, int j, const Block<Index>& block) {
    const qv one = q_set1(1.0f);
    const Index* corner = block.corner + j + K;
    const Index* partner = block.partner + j + K;
    const qv fh = spread<K>(q_load(block.hue_frac + j));
    const qv gh = q_sub(one, fh);
    Rows sat_pair =
        blend(load_rows<PairedSat>(lookup.entries, corner), gh, load_rows<PairedSat>(lookup.entries, partner), fh);
    if constexpr (ThreeD) {
        const qv fv = spread<K>(q_load(block.val_frac + j));
        const Rows up = blend(load_rows<PairedSat>(lookup.upper_entries, corner), gh,
                              load_rows<PairedSat>(lookup.upper_entries, partner), fh);
        sat_pair = blend(up, fv, sat_pair, q_sub(one, fv));
    }
    const qv fs = spread<K>(q_load(block.sat_frac + j));
    const qv high = permute_in_quads<_MM_SHUFFLE(3, 3, 2, 1)>(sat_pair.high);
    return q_add(q_mul(sat_pair.low, q_sub(one, fs)), q_mul(high, fs));
}

// Second pass over group j: the table lookup.
template <bool ThreeD, bool PairedSat, class Index>
inline void look_up(const Lookup& lookup, int j, Block<Index>& block) {
    qv quads[4];
    for_each_quad_vector([&](auto k) {
        constexpr int K = decltype(k)::value;
        quads[K] = look_up_quads<ThreeD, PairedSat, K>(lookup, j, block);
    });
    const qv t0 = interleave_low(quads[0], quads[1]);
    const qv t1 = interleave_high(quads[0], quads[1]);
    const qv t2 = interleave_low(quads[2], quads[3]);
    const qv t3 = interleave_high(quads[2], quads[3]);
    q_store(block.hue_shift + j, low_pairs(t0, t2));
    q_store(block.sat_gain + j, high_pairs(t0, t2));
    q_store(block.val_gain + j, low_pairs(t1, t3));
}

// Reduces hues of magnitude 12 or more (or NaN) to [0, 6] by the general
// remainder by 6.
inline vf reduce_far_hues(vf hue, vf sextant) {
    alignas(64) float h[kLanes], x[kLanes];
    simd::store(h, hue);
    simd::store(x, sextant);
    for (int l = 0; l < kLanes; ++l) {
        if (fabsf(h[l]) < kNearHue) continue;
        const float remainder = fmodf(h[l], 6.0f);
        x[l] = remainder < 0.0f ? remainder + 6.0f : remainder;
    }
    return simd::load(x);
}

// Third pass over group j: the looked-up adjustment. The adjusted
// saturation and value replace the block's, the hue reduced to [0, 6] (NaN
// when not finite) its hue.
template <class Index>
inline void adjust(int j, Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf one = set1(1.0f);
    const vf six = set1(6.0f);

    // The hue reduces to [0, 6] by the remainder by 6, computed here exactly
    // for |hue| < 12. A zero remainder of -6 is +0 here rather than -0; both
    // give sextant 0 and the same colour.
    const vf hue = add(mul(load(block.hue_shift + j), set1(kSextantsPerDegree)), load(block.hue + j));
    const vf scaled_sat = mul(load(block.sat + j), load(block.sat_gain + j));
    const vf scaled_val = mul(load(block.val + j), load(block.val_gain + j));
    const vf capped_val = select(lt(one, scaled_val), one, scaled_val);
    const vf sat = select(lt(scaled_sat, one), scaled_sat, one);
    const vf val = select(lt(zero, capped_val), capped_val, zero);
    const vf remainder = select(le(six, hue), sub(hue, six), select(le(hue, set1(-6.0f)), add(hue, six), hue));
    vf x = select(lt(remainder, zero), add(remainder, six), remainder);
    if (any(mask_or(mask_or(le(set1(kNearHue), hue), le(hue, set1(-kNearHue))), is_nan(hue))))
        x = reduce_far_hues(hue, x);
    store(block.hue + j, x);
    store(block.sat + j, sat);
    store(block.val + j, val);
}

// Fourth pass over group j: back to RGB.
template <class Index>
inline void to_rgb(float* pixels, int j, const Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf one = set1(1.0f);
    const vf six = set1(6.0f);
    const vf x = load(block.hue + j);
    const vf sat = load(block.sat + j);
    const vf val = load(block.val + j);

    // A pixel whose hue is not finite (NaN sextant) keeps its colour unless
    // it turned grey; sextant 6 (a tiny negative remainder plus 6) is
    // sextant 0.
    const mask not_finite = is_nan(x);
    const vf i = from_i32(trunc_i32(select(not_finite, zero, x)));
    const vf f = sub(x, i);
    const vf p = mul(sub(one, sat), val);
    const vf q = mul(sub(one, mul(sat, f)), val);
    const vf t = mul(sub(one, mul(sub(one, f), sat)), val);
    const mask in0 = mask_or(eq(i, zero), eq(i, six));
    const mask in1 = eq(i, one);
    const mask in2 = eq(i, set1(2.0f));
    const mask in3 = eq(i, set1(3.0f));
    const mask in4 = eq(i, set1(4.0f));
    const mask in5 = eq(i, set1(5.0f));
    const vf red = select(in1, q, select(mask_or(in2, in3), p, select(in4, t, val)));
    const vf green = select(in0, t, select(mask_or(in1, in2), val, select(in3, q, p)));
    const vf blue = select(mask_or(in0, in1), p, select(in2, t, select(in5, q, val)));
    const mask grey = mask_or(le(sat, zero), is_nan(sat));
    vf new_red = select(grey, val, red);
    vf new_green = select(grey, val, green);
    vf new_blue = select(grey, val, blue);
    // The group's pixels still hold their colours until the store below.
    const mask keep = mask_andnot(grey, not_finite);
    if (any(keep)) {
        vf r, g, b;
        load3(pixels + 3 * j, r, g, b);
        new_red = select(keep, r, new_red);
        new_green = select(keep, g, new_green);
        new_blue = select(keep, b, new_blue);
    }
    store3(pixels + 3 * j, new_red, new_green, new_blue);
}

// Adjusts the kBlock interleaved pixels at `pixels` in place.
template <bool ThreeD, bool PairedSat, class Index>
void adjust_block(float* pixels, const HueSatTable& table, const Lookup& lookup, Block<Index>& block) {
    for (int j = 0; j < kBlock; j += kLanes)
        to_hsv<ThreeD>(pixels, table, lookup, j, block);
    for (int j = 0; j < kBlock; j += kQuadLanes)
        look_up<ThreeD, PairedSat>(lookup, j, block);
    for (int j = 0; j < kBlock; j += kLanes)
        adjust(j, block);
    for (int j = 0; j < kBlock; j += kLanes)
        to_rgb(pixels, j, block);
}

template <bool ThreeD, bool PairedSat, class Index>
void apply_table(float* pixels, size_t count, const HueSatTable& table) {
    const Lookup lookup{
        table.entries,
        table.entries + 3 * static_cast<size_t>(table.hue_divisions) * static_cast<size_t>(table.sat_divisions),
        table.hue_divisions - 1,
        PairedSat ? table.sat_divisions - 2 : 0,
        table.val_divisions - 2,
        table.sat_divisions,
        sizeof(Index) == sizeof(int32_t) ? table.hue_divisions * table.sat_divisions : 0,
        !PairedSat,
    };
    Block<Index> block;
    size_t start = 0;
    for (; start + kBlock <= count; start += kBlock)
        adjust_block<ThreeD, PairedSat>(pixels + 3 * start, table, lookup, block);
    if (start == count) return;
    // Zero pixels pad the last block; they read entry (0, 0, 0).
    alignas(64) float padded[3 * kBlock] = {};
    const size_t tail_floats = 3 * (count - start);
    std::memcpy(padded, pixels + 3 * start, tail_floats * sizeof(float));
    adjust_block<ThreeD, PairedSat>(padded, table, lookup, block);
    std::memcpy(pixels + 3 * start, padded, tail_floats * sizeof(float));
}

template <bool ThreeD, class Index>
HueSatKernel select_for_shape(const HueSatTable& table) {
    if (table.sat_divisions >= 2) return &apply_table<ThreeD, true, Index>;
    return &apply_table<ThreeD, false, Index>;
}

}  // namespace

HueSatKernel select_hue_sat_kernel(const HueSatTable& table) {
    const bool three_d = table.val_divisions >= 2;
    if (table.wide_index)
        return three_d ? select_for_shape<true, int64_t>(table) : select_for_shape<false, int64_t>(table);
    return three_d ? select_for_shape<true, int32_t>(table) : select_for_shape<false, int32_t>(table);
}

}  // namespace orvex::ORVEX_ISA
