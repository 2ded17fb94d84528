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
// With 256-bit vectors the lookup holds one pixel per vector: for one hue
// and value division the entries of saturation divisions s0 and s0 + 1 are 6
// adjacent floats, read by one load into lanes 0..5 (masked, or unmasked in
// blocks clear of the table's end). The blends along hue and value run on
// these rows; a transpose of eight rows gives one vector per component and
// saturation division, and the blend along saturation runs on those. The
// baseline build works on quads: floats 0..3 (lanes 0..2: entry s0) and
// floats 2..5 (lanes 1..3: entry s0 + 1) of the same 6, one pixel per vector,
// with a 4 x 4 transpose of the results.
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

#if defined(__AVX512F__)
inline bool any(mask m) { return m != 0; }
inline vi min_int(vi a, vi b) { return _mm512_min_epi32(a, b); }
inline vi mul_int(vi a, vi b) { return _mm512_mullo_epi32(a, b); }
// a == b ? if_equal : otherwise
inline vi pick_if_equal(vi a, vi b, vi if_equal, vi otherwise) {
    return _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(a, b), otherwise, if_equal);
}
inline void store_int(int32_t* p, vi v) { _mm512_storeu_si512(p, v); }
// Whether a lane of a or b exceeds limit.
inline bool any_above(vi a, vi b, int32_t limit) {
    return _mm512_cmpgt_epi32_mask(_mm512_max_epi32(a, b), _mm512_set1_epi32(limit)) != 0;
}
#elif defined(__AVX2__)
inline bool any(mask m) { return _mm256_movemask_ps(m) != 0; }
inline vi min_int(vi a, vi b) { return _mm256_min_epi32(a, b); }
inline vi mul_int(vi a, vi b) { return _mm256_mullo_epi32(a, b); }
inline vi pick_if_equal(vi a, vi b, vi if_equal, vi otherwise) {
    return _mm256_blendv_epi8(otherwise, if_equal, _mm256_cmpeq_epi32(a, b));
}
inline void store_int(int32_t* p, vi v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
inline bool any_above(vi a, vi b, int32_t limit) {
    return _mm256_movemask_epi8(_mm256_cmpgt_epi32(_mm256_max_epi32(a, b), _mm256_set1_epi32(limit))) != 0;
}
#else
inline bool any(mask m) { return _mm_movemask_ps(m) != 0; }
inline vi min_int(vi a, vi b) {
    const __m128i a_greater = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(a_greater, b), _mm_andnot_si128(a_greater, a));
}
inline void store_int(int32_t* p, vi v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
#endif

#if !defined(__AVX2__)
// Quad vectors of the baseline build: one pixel's quad per vector.
using qv = __m128;
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

inline qv q_load(const float* p) { return _mm_loadu_ps(p); }
inline void q_store(float* p, qv v) { _mm_storeu_ps(p, v); }
inline qv q_add(qv a, qv b) { return _mm_add_ps(a, b); }
inline qv q_mul(qv a, qv b) { return _mm_mul_ps(a, b); }
// Lane K of w, repeated.
template <int K>
inline qv spread(qv w) {
    return _mm_shuffle_ps(w, w, _MM_SHUFFLE(K, K, K, K));
}
template <int Imm>
inline qv permute_in_quads(qv v) {
    return _mm_shuffle_ps(v, v, Imm);
}

// The quad of the 3 floats at `entry` (lanes 0..2; lane 3 is 0), for tables
// with one saturation division, where entry s0 stands for both.
inline __m128 entry_quad(const float* entry) {
    return _mm_movelh_ps(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(entry)),
                         _mm_load_ss(entry + 2));
}
#endif

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
    // The largest offset from which 8 floats, and as many one value division
    // up in the three-dimensional form, lie inside the table.
    int64_t last_full_row;
};

// Truncates table positions toward zero. Lookups never leave the table:
// negative and NaN positions give 0, positions past the int32 range the
// largest float below 2^31 (the callers then clamp to the last division).
inline vi truncate_positions(vf x) {
    using namespace simd;
    return trunc_i32(min_lt(max_gt(x, set1(0.0f)), set1(kLargestPosition)));
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
    alignas(64) float hue_weight[kBlock];  // 1 - hue_frac
    alignas(64) float sat_weight[kBlock];  // 1 - sat_frac
    alignas(64) float val_weight[kBlock];  // 1 - val_frac
    alignas(64) Index corner[kBlock];      // float offset of entry (V0, h0, s0)
    alignas(64) Index partner[kBlock];     // float offset of entry (V0, h1, s0)
    alignas(64) float hue_shift[kBlock];
    alignas(64) float sat_gain[kBlock];
    alignas(64) float val_gain[kBlock];
};

// The divisions around the positions of group j and the fractions between
// them. Returns whether an offset of the group lies past
// lookup.last_full_row.
template <bool ThreeD, class Index>
inline bool find_divisions(vf hue_pos, vf sat_pos, vf val_pos, const Lookup& lookup, int j, Block<Index>& block) {
    using namespace simd;
    // The last hue division pairs with division 0.
    const vi last_hue = set1_i32(lookup.last_hue);
    const vf one = set1(1.0f);
    const vi h0 = min_int(truncate_positions(hue_pos), last_hue);
    const vf hue_frac = sub(hue_pos, from_i32(h0));
    store(block.hue_frac + j, hue_frac);
    store(block.hue_weight + j, sub(one, hue_frac));
    // No upper clamp on the fraction: saturation above 1 extrapolates.
    const vi s0 = min_int(truncate_positions(sat_pos), set1_i32(lookup.last_sat_pair));
    const vf sat_frac = lookup.single_sat ? set1(0.0f) : sub(sat_pos, from_i32(s0));
    store(block.sat_frac + j, sat_frac);
    store(block.sat_weight + j, sub(one, sat_frac));
    vi v0 = set1_i32(0);
    if constexpr (ThreeD) {
        v0 = min_int(truncate_positions(val_pos), set1_i32(lookup.last_val_pair));
        const vf val_frac = sub(val_pos, from_i32(v0));
        store(block.val_frac + j, val_frac);
        store(block.val_weight + j, sub(one, val_frac));
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
        const vi partner = add_i32(corner, hue_step);
        store_int(block.corner + j, corner);
        store_int(block.partner + j, partner);
        return ThreeD && any_above(corner, partner, static_cast<int32_t>(lookup.last_full_row));
    }
#endif
    alignas(64) int32_t hue[kLanes], sat[kLanes], val[kLanes];
    store_int(hue, h0);
    store_int(sat, s0);
    store_int(val, v0);
    const Index sat_divisions = lookup.sat_divisions;
    const Index plane = static_cast<Index>(lookup.last_hue + 1) * sat_divisions;
    bool near_end = false;
    for (int l = 0; l < kLanes; ++l) {
        const Index corner = 3 * (val[l] * plane + hue[l] * sat_divisions + sat[l]);
        const Index h1 = hue[l] == lookup.last_hue ? 0 : hue[l] + 1;
        const Index partner = corner + 3 * (h1 - hue[l]) * sat_divisions;
        block.corner[j + l] = corner;
        block.partner[j + l] = partner;
        near_end = near_end || corner > lookup.last_full_row || partner > lookup.last_full_row;
    }
    return near_end;
}

// First pass over group j: hue in sextants, saturation and value, and their
// divisions. Ties of the largest channel go to red, then green; one divide
// finds the hue. Returns whether an offset lies past lookup.last_full_row.
template <bool ThreeD, class Index>
inline bool to_hsv(const float* pixels, const HueSatTable& table, const Lookup& lookup, int j,
                   Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf six = set1(6.0f);
    vf r, g, b;
    load3(pixels + 3 * j, r, g, b);
    const vf max_gb = max_gt(b, g);
    const vf v = max_gt(max_gb, r);
    const vf min_gb = min_lt(b, g);
    const vf m = min_lt(min_gb, r);
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
    return find_divisions<ThreeD>(mul(set1(table.hue_scale), h), mul(set1(table.sat_scale), s),
                                  mul(v, set1(table.val_scale)), lookup, j, block);
}

#if defined(__AVX2__)
// Entries s0 and s0 + 1 of one hue and value division: lanes 0..5 (lanes 0..2
// with one saturation division). A masked load reads only these floats; an
// unmasked one also the floats that follow, into the other lanes.
template <bool PairedSat, bool Masked>
inline __m256 load_entry_pair(const float* entry) {
    if constexpr (!Masked) return _mm256_loadu_ps(entry);
#if defined(__AVX512F__)
    return _mm256_maskz_loadu_ps(PairedSat ? 0x3f : 0x07, entry);
#else
    const __m256i pair = _mm256_setr_epi32(-1, -1, -1, -1, -1, -1, 0, 0);
    const __m256i single = _mm256_setr_epi32(-1, -1, -1, 0, 0, 0, 0, 0);
    return _mm256_maskload_ps(entry, PairedSat ? pair : single);
#endif
}

// The entry pairs of pixel k at hue divisions h0 and h1 of `entries`, blended
// along hue.
template <bool PairedSat, bool Masked, class Index>
inline __m256 blend_along_hue(const float* entries, const Block<Index>& block, int k) {
    const __m256 weight = _mm256_broadcast_ss(block.hue_weight + k);
    const __m256 frac = _mm256_broadcast_ss(block.hue_frac + k);
    return _mm256_add_ps(_mm256_mul_ps(weight, load_entry_pair<PairedSat, Masked>(entries + block.corner[k])),
                         _mm256_mul_ps(frac, load_entry_pair<PairedSat, Masked>(entries + block.partner[k])));
}

// The entry pair of pixel k interpolated along hue, then value.
template <bool ThreeD, bool PairedSat, bool Masked, class Index>
inline __m256 pair_row(const Lookup& lookup, const Block<Index>& block, int k) {
    const __m256 lower = blend_along_hue<PairedSat, Masked>(lookup.entries, block, k);
    if constexpr (!ThreeD) return lower;
    const __m256 upper = blend_along_hue<PairedSat, Masked>(lookup.upper_entries, block, k);
    return _mm256_add_ps(_mm256_mul_ps(upper, _mm256_broadcast_ss(block.val_frac + k)),
                         _mm256_mul_ps(lower, _mm256_broadcast_ss(block.val_weight + k)));
}

// Second pass over the 8 pixels at j: the table lookup. Row k holds pixel
// j + k's entry pair; the transpose gives lanes 0..5 of the rows as vectors.
template <bool ThreeD, bool PairedSat, bool Masked, class Index>
[[gnu::always_inline]] inline void look_up(const Lookup& lookup, int j, Block<Index>& block) {
    __m256 rows[8];
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k)
        rows[k] = pair_row<ThreeD, PairedSat, Masked>(lookup, block, j + k);
    __m256 pairs[8], quads[8];
#pragma GCC unroll 4
    for (int k = 0; k < 8; k += 2) {
        pairs[k] = _mm256_unpacklo_ps(rows[k], rows[k + 1]);
        pairs[k + 1] = _mm256_unpackhi_ps(rows[k], rows[k + 1]);
    }
#pragma GCC unroll 2
    for (int k = 0; k < 8; k += 4) {
        quads[k] = _mm256_shuffle_ps(pairs[k], pairs[k + 2], _MM_SHUFFLE(1, 0, 1, 0));
        quads[k + 1] = _mm256_shuffle_ps(pairs[k], pairs[k + 2], _MM_SHUFFLE(3, 2, 3, 2));
        quads[k + 2] = _mm256_shuffle_ps(pairs[k + 1], pairs[k + 3], _MM_SHUFFLE(1, 0, 1, 0));
        quads[k + 3] = _mm256_shuffle_ps(pairs[k + 1], pairs[k + 3], _MM_SHUFFLE(3, 2, 3, 2));
    }
    // Lanes 0..2 of the rows: entry s0; lanes 3..5: entry s0 + 1.
    const __m256 low[3] = {_mm256_permute2f128_ps(quads[0], quads[4], 0x20),
                           _mm256_permute2f128_ps(quads[1], quads[5], 0x20),
                           _mm256_permute2f128_ps(quads[2], quads[6], 0x20)};
    const __m256 high[3] = {PairedSat ? _mm256_permute2f128_ps(quads[3], quads[7], 0x20) : low[0],
                            PairedSat ? _mm256_permute2f128_ps(quads[0], quads[4], 0x31) : low[1],
                            PairedSat ? _mm256_permute2f128_ps(quads[1], quads[5], 0x31) : low[2]};
    const __m256 weight = _mm256_load_ps(block.sat_weight + j);
    const __m256 frac = _mm256_load_ps(block.sat_frac + j);
    float* const results[3] = {block.hue_shift + j, block.sat_gain + j, block.val_gain + j};
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c)
        _mm256_store_ps(results[c], _mm256_add_ps(_mm256_mul_ps(low[c], weight), _mm256_mul_ps(high[c], frac)));
}

// The lookup for the whole block; `near_end` when an offset lies past
// lookup.last_full_row. The two-dimensional form masks every load (unmasked
// loads measured no faster there); the three-dimensional form, with twice the
// loads, only those of blocks near the table's end.
template <bool ThreeD, bool PairedSat, class Index>
inline void look_up_block(const Lookup& lookup, Block<Index>& block, bool near_end) {
    if (!ThreeD || near_end) {
        for (int j = 0; j < kBlock; j += 8)
            look_up<ThreeD, PairedSat, true>(lookup, j, block);
    } else {
        for (int j = 0; j < kBlock; j += 8)
            look_up<ThreeD, PairedSat, false>(lookup, j, block);
    }
}
#else
// The low and high quads of the entries at the given offsets, one quad
// vector's pixels.
struct Rows {
    qv low;   // lanes 0..2: entry s0
    qv high;  // lanes 1..3: entry s0 + 1
};

template <bool PairedSat>
inline Rows load_rows(const float* entry) {
    if constexpr (PairedSat) return {_mm_loadu_ps(entry), _mm_loadu_ps(entry + 2)};
    const qv low = entry_quad(entry);
    return {low, permute_in_quads<_MM_SHUFFLE(2, 1, 0, 0)>(low)};
}

inline Rows blend(Rows a, qv wa, Rows b, qv wb) {
    return {q_add(q_mul(wa, a.low), q_mul(wb, b.low)), q_add(q_mul(wa, a.high), q_mul(wb, b.high))};
}

// The interpolated entry of pixel j + K: along hue, then value, then
// saturation. Lanes 0..2 hold the three components.
template <bool ThreeD, bool PairedSat, int K, class Index>
inline qv look_up_quad(const Lookup& lookup, int j, const Block<Index>& block) {
    const Index corner = block.corner[j + K];
    const Index partner = block.partner[j + K];
    const qv fh = spread<K>(q_load(block.hue_frac + j));
    const qv gh = spread<K>(q_load(block.hue_weight + j));
    Rows sat_pair = blend(load_rows<PairedSat>(lookup.entries + corner), gh,
                          load_rows<PairedSat>(lookup.entries + partner), fh);
    if constexpr (ThreeD) {
        const Rows up = blend(load_rows<PairedSat>(lookup.upper_entries + corner), gh,
                              load_rows<PairedSat>(lookup.upper_entries + partner), fh);
        sat_pair =
            blend(up, spread<K>(q_load(block.val_frac + j)), sat_pair, spread<K>(q_load(block.val_weight + j)));
    }
    const qv high = permute_in_quads<_MM_SHUFFLE(3, 3, 2, 1)>(sat_pair.high);
    return q_add(q_mul(sat_pair.low, spread<K>(q_load(block.sat_weight + j))),
                 q_mul(high, spread<K>(q_load(block.sat_frac + j))));
}

// Second pass over the 4 pixels at j: the table lookup.
template <bool ThreeD, bool PairedSat, class Index>
inline void look_up(const Lookup& lookup, int j, Block<Index>& block) {
    qv quads[4];
    for_each_quad_vector([&](auto k) {
        constexpr int K = decltype(k)::value;
        quads[K] = look_up_quad<ThreeD, PairedSat, K>(lookup, j, block);
    });
    _MM_TRANSPOSE4_PS(quads[0], quads[1], quads[2], quads[3]);
    q_store(block.hue_shift + j, quads[0]);
    q_store(block.sat_gain + j, quads[1]);
    q_store(block.val_gain + j, quads[2]);
}

// The lookup for the whole block. Quads never read past the entry pair, so
// the offsets near the table's end need nothing else.
template <bool ThreeD, bool PairedSat, class Index>
inline void look_up_block(const Lookup& lookup, Block<Index>& block, bool) {
    for (int j = 0; j < kBlock; j += 4)
        look_up<ThreeD, PairedSat>(lookup, j, block);
}
#endif

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
    // NaN stays in capped_val and turns 0 in val.
    const vf capped_val = min_lt(one, scaled_val);
    const vf sat = min_lt(scaled_sat, one);
    const vf val = max_gt(capped_val, zero);
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
    // A saturation not above 0 (NaN included) becomes 0, which makes p, q
    // and t all equal the value: the pixel turns grey whatever its sextant.
    const vf sat = max_gt(load(block.sat + j), zero);
    const vf val = load(block.val + j);

    // A pixel whose hue is not finite (NaN sextant) keeps its colour unless
    // it turned grey; sextant 6 (a tiny negative remainder plus 6) is
    // sextant 0.
    const mask not_finite = is_nan(x);
    const vf finite_x = select(not_finite, zero, x);
    const vf i = from_i32(trunc_i32(finite_x));
    const vf f = sub(finite_x, i);
    const vf p = mul(sub(one, sat), val);
    const vf q = mul(sub(one, mul(sat, f)), val);
    const vf t = mul(sub(one, mul(sub(one, f), sat)), val);
    const mask in0 = mask_or(eq(i, zero), eq(i, six));
    const mask in1 = eq(i, one);
    const mask in2 = eq(i, set1(2.0f));
    const mask in3 = eq(i, set1(3.0f));
    const mask in4 = eq(i, set1(4.0f));
    const mask in5 = eq(i, set1(5.0f));
    vf new_red = select(in1, q, select(mask_or(in2, in3), p, select(in4, t, val)));
    vf new_green = select(in0, t, select(mask_or(in1, in2), val, select(in3, q, p)));
    vf new_blue = select(mask_or(in0, in1), p, select(in2, t, select(in5, q, val)));
    // The group's pixels still hold their colours until the store below.
    const mask keep = mask_andnot(eq(sat, zero), not_finite);
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
    bool near_end = false;
    for (int j = 0; j < kBlock; j += kLanes)
        near_end |= to_hsv<ThreeD>(pixels, table, lookup, j, block);
    look_up_block<ThreeD, PairedSat>(lookup, block, near_end);
    for (int j = 0; j < kBlock; j += kLanes)
        adjust(j, block);
    for (int j = 0; j < kBlock; j += kLanes)
        to_rgb(pixels, j, block);
}

// The largest offset from which 8 floats, and as many one value division up
// in the three-dimensional form, lie inside the table (negative when none).
inline int64_t last_full_row(const HueSatTable& table, bool three_d) {
    const int64_t plane = 3 * static_cast<int64_t>(table.hue_divisions) * table.sat_divisions;
    const int64_t size = three_d ? plane * table.val_divisions : plane;
    return size - 8 - (three_d ? plane : 0);
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
        last_full_row(table, ThreeD),
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
