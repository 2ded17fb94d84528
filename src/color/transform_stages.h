// Per-pixel arithmetic of the colour transform stages, on one group of pixels
// at a time (see rgb_lanes.h). Every lane performs exactly the scalar float
// sequence: the clamps are compare-and-select, so NaN and signed zeros come
// out as the scalar expressions give them.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including color/transform_stages.h"
#endif

#include "color/rgb_lanes.h"
#include "color/transform_kernels.h"
#include "frame/simd.h"

namespace orvex::ORVEX_ISA::rgb {

// top >= p ? (p >= 0 ? p : 0) : top; a NaN position goes to the top.
inline vf clamp_index(vf p, vf top) {
    const vf zero = simd::set1(0.0f);
    const vf below_top = simd::select(simd::le(p, top), p, top);
    return simd::select(simd::le(zero, below_top), below_top, zero);
}

// Linear interpolation at a position in [0, N] of a curve given as pairs
// (entries i and i + 1 side by side for every i up to N):
// (1 - f) * c[i] + f * c[i + 1] with i = trunc(p), f = p - i.
inline vf lookup(const float* pairs, vf position) {
    const vi i = simd::trunc_i32(position);
    const vf f = simd::sub(position, simd::from_i32(i));
    vf at_i, at_next;
    gather_pairs(pairs, i, at_i, at_next);
    return simd::add(simd::mul(simd::sub(simd::set1(1.0f), f), at_i), simd::mul(f, at_next));
}

struct Matrix {
    vf e[9];
    explicit Matrix(const float* coefficients) {
        for (int i = 0; i < 9; ++i)
            e[i] = simd::set1(coefficients[i]);
    }
    // Row k: (e[3k] * u0 + e[3k+1] * u1) + e[3k+2] * u2.
    vf row(int k, const Pixels& u) const {
        const vf sum = simd::add(simd::mul(e[3 * k], u.c0), simd::mul(e[3 * k + 1], u.c1));
        return simd::add(sum, simd::mul(e[3 * k + 2], u.c2));
    }
};

inline float curve_top(int32_t len) { return static_cast<float>(len - 1); }

// Fronts: source samples (as floats) to the values the matrix or the clamp
// takes.

// Curve pairs read at s * (N * inv_in), clamped to [0, N], interpolated.
class InterpolatedCurve {
public:
    InterpolatedCurve(const float* curve, int32_t len, float inv_in)
        : curve_(curve), top_(simd::set1(curve_top(len))), step_(simd::set1(curve_top(len) * inv_in)) {}
    vf operator()(vf s) const { return lookup(curve_, clamp_index(simd::mul(s, step_), top_)); }

private:
    const float* curve_;
    vf top_;
    vf step_;
};

// A table indexed by the integer sample itself: entry s * Stride, so either
// a per-sample table (1) or the first entries of a curve's pairs (2).
template <int Stride>
class DirectCurve {
public:
    DirectCurve(const float* table, int32_t, float) : table_(table) {}
    vf operator()(vf s) const {
        const vf position = Stride == 2 ? simd::add(s, s) : s;
        return gather(table_, simd::trunc_i32(position));
    }

private:
    const float* table_;
};

#if defined(__AVX512F__)

// A 256-entry table indexed by an 8-bit sample, held in sixteen registers:
// entry s * Stride of `table`, as DirectCurve reads it, without gathers. Each
// permute picks among 32 entries by the low five bits; bits 5, 6 and 7 then
// choose among the eight picks.
template <int Stride>
class RegisterTable {
public:
    RegisterTable(const float* table, int32_t, float) {
        const vi even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        for (int k = 0; k < 16; ++k) {
            const float* part = table + Stride * 16 * k;
            part_[k] = Stride == 1 ? simd::load(part)
                                   : _mm512_permutex2var_ps(simd::load(part), even, simd::load(part + 16));
        }
    }
    vf operator()(vf s) const {
        const vi x = simd::trunc_i32(s);
        vf by32[8];
        for (int k = 0; k < 8; ++k)
            by32[k] = _mm512_permutex2var_ps(part_[2 * k], x, part_[2 * k + 1]);
        const __mmask16 bit5 = _mm512_test_epi32_mask(x, _mm512_set1_epi32(32));
        const __mmask16 bit6 = _mm512_test_epi32_mask(x, _mm512_set1_epi32(64));
        const __mmask16 bit7 = _mm512_test_epi32_mask(x, _mm512_set1_epi32(128));
        vf by64[4];
        for (int k = 0; k < 4; ++k)
            by64[k] = _mm512_mask_blend_ps(bit5, by32[2 * k], by32[2 * k + 1]);
        const vf low = _mm512_mask_blend_ps(bit6, by64[0], by64[1]);
        const vf high = _mm512_mask_blend_ps(bit6, by64[2], by64[3]);
        return _mm512_mask_blend_ps(bit7, low, high);
    }

private:
    vf part_[16];
};

// The 8-bit sample tables: from registers where there are enough of them.
template <int Stride>
using ByteTable = RegisterTable<Stride>;

#else

template <int Stride>
using ByteTable = DirectCurve<Stride>;

#endif

template <class Curve>
struct PerChannelCurve {
    Curve curve;
    Pixels operator()(const Pixels& s) const { return {curve(s.c0), curve(s.c1), curve(s.c2)}; }
};

struct Normalise {
    vf inv_in;
    Pixels operator()(const Pixels& s) const {
        return {simd::mul(s.c0, inv_in), simd::mul(s.c1, inv_in), simd::mul(s.c2, inv_in)};
    }
};

struct Unchanged {
    Pixels operator()(const Pixels& s) const { return s; }
};

// Maps the largest and smallest channel through the curve T(x) = L(x * N)
// and places the middle one between them in its old proportion.
class HuePreservingCurve {
public:
    HuePreservingCurve(const float* curve, int32_t len) : curve_(curve), top_(simd::set1(curve_top(len))) {}

    Pixels operator()(const Pixels& s) const {
        using simd::le;
        using simd::lt;
        using simd::select;
        const vf r = simd::clamp_unit_keep_minus_zero(s.c0);
        const vf g = simd::clamp_unit_keep_minus_zero(s.c1);
        const vf b = simd::clamp_unit_keep_minus_zero(s.c2);
        // Roles, tested in this order: r >= g, then g > b and b > r (or
        // r >= b and b > g).
        const auto r_ge_g = le(g, r);
        const auto g_gt_b = lt(b, g);
        const auto b_gt_r = lt(r, b);
        const auto r_ge_b = le(b, r);
        const auto b_gt_g = lt(g, b);
        const vf hi =
            select(r_ge_g, select(g_gt_b, r, select(b_gt_r, b, r)), select(r_ge_b, g, select(b_gt_g, b, g)));
        const vf mid =
            select(r_ge_g, select(g_gt_b, g, select(b_gt_r, r, b)), select(r_ge_b, r, select(b_gt_g, g, b)));
        const vf lo = select(r_ge_g, select(g_gt_b, b, g), select(r_ge_b, b, r));

        const vf t_hi = lookup(curve_, simd::mul(hi, top_));
        const vf t_lo = lookup(curve_, simd::mul(lo, top_));
        const vf span = simd::sub(hi, lo);
        const vf placed = simd::add(simd::div(simd::mul(simd::sub(mid, lo), simd::sub(t_hi, t_lo)), span), t_lo);
        const vf t_mid = select(lt(simd::set1(1e-10f), span), placed, t_lo);

        return {select(r_ge_g, select(g_gt_b, t_hi, select(b_gt_r, t_mid, t_hi)), select(r_ge_b, t_mid, t_lo)),
                select(r_ge_g, select(g_gt_b, t_mid, t_lo), select(r_ge_b, t_hi, select(b_gt_g, t_mid, t_hi))),
                select(r_ge_g, select(g_gt_b, t_lo, select(b_gt_r, t_hi, t_mid)),
                       select(r_ge_b, t_lo, select(b_gt_g, t_hi, t_mid)))};
    }

private:
    const float* curve_;
    vf top_;
};

// Backs: front values to results already scaled by out_max.

// Folded coefficients, then the output curve at the clamped row sums.
class MatrixOutputCurve {
public:
    MatrixOutputCurve(const float* folded, const StageArgs& args)
        : a_(folded),
          curve_(args.curve2),
          top_(simd::set1(curve_top(args.len2))),
          out_max_(simd::set1(args.out_max)) {}

    Pixels operator()(const Pixels& v) const { return {channel(0, v), channel(1, v), channel(2, v)}; }

private:
    vf channel(int k, const Pixels& v) const {
        return simd::mul(lookup(curve_, clamp_index(a_.row(k, v), top_)), out_max_);
    }
    Matrix a_;
    const float* curve_;
    vf top_;
    vf out_max_;
};

class MatrixClamp {
public:
    explicit MatrixClamp(const StageArgs& args) : m_(args.matrix), out_max_(simd::set1(args.out_max)) {}
    Pixels operator()(const Pixels& v) const {
        return {simd::mul(simd::clamp_unit_keep_minus_zero(m_.row(0, v)), out_max_),
                simd::mul(simd::clamp_unit_keep_minus_zero(m_.row(1, v)), out_max_),
                simd::mul(simd::clamp_unit_keep_minus_zero(m_.row(2, v)), out_max_)};
    }

private:
    Matrix m_;
    vf out_max_;
};

struct ClampEach {
    vf out_max;
    Pixels operator()(const Pixels& v) const {
        return {simd::mul(simd::clamp_unit_keep_minus_zero(v.c0), out_max),
                simd::mul(simd::clamp_unit_keep_minus_zero(v.c1), out_max),
                simd::mul(simd::clamp_unit_keep_minus_zero(v.c2), out_max)};
    }
};

struct PassThrough {
    Pixels operator()(const Pixels& v) const { return v; }
};

}  // namespace orvex::ORVEX_ISA::rgb
