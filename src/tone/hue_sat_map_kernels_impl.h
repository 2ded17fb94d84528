// Body of the hue/saturation/value kernels; included by one translation unit
// per instruction set after it defines ORVEX_ISA.
//
// Pixels go through in blocks of kBlock, held in planar block arrays: the
// conversion to hue, saturation and value and the conversion back run on
// vectors, the table coordinates and the adjustment in plain loops that the
// compiler vectorises, and the lookup gathers the table entries. Every lane
// performs exactly the scalar sequence of operations. Lanes past the last
// pixel of a short block hold zeros and are never stored.
#include <math.h>

#include <cstddef>
#include <cstdint>

#include "frame/simd.h"
#include "tone/hue_sat_map_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

constexpr int kBlock = 64;
static_assert(kBlock % simd::kLanes == 0);
constexpr float kSextantsPerDegree = 1.0f / 60.0f;
// Largest float below 2^31: a position clamped to it converts to int32.
constexpr float kLargestPosition = 2147483520.0f;
// Beyond this magnitude a hue needs the general remainder by 6.
constexpr float kNearHue = 12.0f;

template <class Index>
struct Block {
    alignas(64) float red[kBlock];
    alignas(64) float green[kBlock];
    alignas(64) float blue[kBlock];
    alignas(64) float hue[kBlock];
    alignas(64) float sat[kBlock];
    alignas(64) float val[kBlock];
    alignas(64) float hue_pos[kBlock];
    alignas(64) float sat_pos[kBlock];
    alignas(64) float val_pos[kBlock];
    alignas(64) float hue_frac[kBlock];
    alignas(64) float sat_frac[kBlock];
    alignas(64) float val_frac[kBlock];
    alignas(64) Index corner[kBlock];    // float offset of entry (V0, h0, s0)
    alignas(64) Index hue_step[kBlock];  // float offset from hue division h0 to h1
    alignas(64) float hue_shift[kBlock];
    alignas(64) float sat_gain[kBlock];
    alignas(64) float val_gain[kBlock];
    alignas(64) float sextant[kBlock];  // adjusted hue reduced to [0, 6]; NaN when not finite
};

template <class Index>
void load_pixels(const float* pixels, int n, int padded, Block<Index>& block) {
    int j = 0;
    for (; j + simd::kLanes <= n; j += simd::kLanes) {
        simd::vf r, g, b;
        simd::load3(pixels + 3 * j, r, g, b);
        simd::store(block.red + j, r);
        simd::store(block.green + j, g);
        simd::store(block.blue + j, b);
    }
    for (; j < n; ++j) {
        block.red[j] = pixels[3 * j];
        block.green[j] = pixels[3 * j + 1];
        block.blue[j] = pixels[3 * j + 2];
    }
    for (int j = n; j < padded; ++j) {
        block.red[j] = 0.0f;
        block.green[j] = 0.0f;
        block.blue[j] = 0.0f;
    }
}

// Hue in sextants, saturation and value, and their table positions. Ties
// of the largest channel go to red, then green.
template <class Index>
void to_hsv(int padded, const HueSatTable& table, Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf two = set1(2.0f);
    const vf four = set1(4.0f);
    const vf six = set1(6.0f);
    const vf hue_scale = set1(table.hue_scale);
    const vf sat_scale = set1(table.sat_scale);
    const vf val_scale = set1(table.val_scale);
    for (int j = 0; j < padded; j += kLanes) {
        const vf r = load(block.red + j);
        const vf g = load(block.green + j);
        const vf b = load(block.blue + j);
        const vf max_gb = select(lt(g, b), b, g);
        const vf v = select(lt(r, max_gb), max_gb, r);
        const vf min_gb = select(lt(b, g), b, g);
        const vf m = select(lt(min_gb, r), min_gb, r);
        const vf d = sub(v, m);
        // One divide: the numerator of the largest channel's formula.
        const mask red_max = eq(r, v);
        const mask green_max = eq(g, v);
        const vf numerator = select(red_max, sub(g, b), select(green_max, sub(b, r), sub(r, g)));
        const vf quotient = div(numerator, d);
        const vf red_hue = select(lt(quotient, zero), add(quotient, six), quotient);
        const vf chroma_hue = select(red_max, red_hue, add(quotient, select(green_max, two, four)));
        const mask chromatic = lt(zero, d);
        const vf h = select(chromatic, chroma_hue, zero);
        const vf s = select(chromatic, div(d, v), zero);
        store(block.hue + j, h);
        store(block.sat + j, s);
        store(block.val + j, v);
        store(block.hue_pos + j, mul(hue_scale, h));
        store(block.sat_pos + j, mul(sat_scale, s));
        store(block.val_pos + j, mul(v, val_scale));
    }
}

// Truncates a table position toward zero. Lookups never leave the table:
// negative and NaN positions give 0, positions past the int32 range the
// largest float below 2^31 (the callers then clamp to the last division).
inline int32_t truncate_position(float x) {
    const float clamped = x >= 0.0f ? (x < kLargestPosition ? x : kLargestPosition) : 0.0f;
    return static_cast<int32_t>(clamped);
}

// Divisions around each position and the fractions between them.
template <bool ThreeD, class Index>
void find_divisions(int padded, const HueSatTable& table, Block<Index>& block) {
    const int32_t last_hue = table.hue_divisions - 1;
    const bool single_sat = table.sat_divisions < 2;
    const int32_t first_of_last_sat_pair = single_sat ? 0 : table.sat_divisions - 2;
    const int32_t first_of_last_val_pair = table.val_divisions - 2;
    const Index sat_divisions = table.sat_divisions;
    const Index plane = static_cast<Index>(table.hue_divisions) * sat_divisions;
    for (int j = 0; j < padded; ++j) {
        // The last hue division pairs with division 0.
        const float hp = block.hue_pos[j];
        const int32_t hk = truncate_position(hp);
        const bool wraps = !(hk < last_hue);
        const int32_t h0 = wraps ? last_hue : hk;
        const int32_t h1 = wraps ? 0 : hk + 1;
        block.hue_frac[j] = hp - static_cast<float>(h0);

        // No upper clamp on the fraction: saturation above 1 extrapolates.
        const float sp = block.sat_pos[j];
        const int32_t sk = truncate_position(sp);
        const int32_t s0 = sk < first_of_last_sat_pair ? sk : first_of_last_sat_pair;
        const float sat_frac = sp - static_cast<float>(s0);
        block.sat_frac[j] = single_sat ? 0.0f : sat_frac;

        Index corner = static_cast<Index>(h0) * sat_divisions + s0;
        if constexpr (ThreeD) {
            const float vp = block.val_pos[j];
            const int32_t vk = truncate_position(vp);
            const int32_t v0 = vk < first_of_last_val_pair ? vk : first_of_last_val_pair;
            block.val_frac[j] = vp - static_cast<float>(v0);
            corner += static_cast<Index>(v0) * plane;
        }
        block.corner[j] = 3 * corner;
        block.hue_step[j] = 3 * (static_cast<Index>(h1) - h0) * sat_divisions;
    }
}

// One pixel's table entries sit in rows: for one hue and value division, the
// entries of saturation divisions s0 and s0 + 1 are 6 adjacent floats. The
// lookup loads each row as floats 0..3 (lanes 0..2: entry s0) and floats
// 2..5 (lanes 1..3: entry s0 + 1), so it reads exactly the floats the
// interpolation uses. With one saturation division a row is the 3 floats of
// entry s0, which then stands for both.
struct Row {
    __m128 low;   // lanes 0..2: entry s0
    __m128 high;  // lanes 1..3: entry s0 + 1
};

template <bool PairedSat>
inline Row load_row(const float* entry) {
    if constexpr (PairedSat) return {_mm_loadu_ps(entry), _mm_loadu_ps(entry + 2)};
    const __m128 low = _mm_movelh_ps(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(entry)),
                                     _mm_load_ss(entry + 2));
    return {low, _mm_shuffle_ps(low, low, _MM_SHUFFLE(2, 1, 0, 0))};
}

inline Row blend(Row a, __m128 wa, Row b, __m128 wb) {
    return {_mm_add_ps(_mm_mul_ps(wa, a.low), _mm_mul_ps(wb, b.low)),
            _mm_add_ps(_mm_mul_ps(wa, a.high), _mm_mul_ps(wb, b.high))};
}

// Interpolates the three components: along hue, then value, then saturation;
// each lane does the scalar sequence of look_up_wide.
template <bool ThreeD, bool PairedSat>
void look_up_rows(int padded, const HueSatTable& table, Block<int32_t>& block) {
    const __m128 one = _mm_set1_ps(1.0f);
    const int32_t val_step = 3 * table.hue_divisions * table.sat_divisions;
    for (int j = 0; j < padded; ++j) {
        const float* a = table.entries + block.corner[j];
        const float* c = a + block.hue_step[j];
        const __m128 fh = _mm_set1_ps(block.hue_frac[j]);
        const __m128 gh = _mm_sub_ps(one, fh);
        const __m128 fs = _mm_set1_ps(block.sat_frac[j]);
        Row sat_pair = blend(load_row<PairedSat>(a), gh, load_row<PairedSat>(c), fh);
        if constexpr (ThreeD) {
            const __m128 fv = _mm_set1_ps(block.val_frac[j]);
            const __m128 gv = _mm_sub_ps(one, fv);
            const Row up = blend(load_row<PairedSat>(a + val_step), gh, load_row<PairedSat>(c + val_step), fh);
            sat_pair = blend(up, fv, sat_pair, gv);
        }
        const __m128 high = _mm_shuffle_ps(sat_pair.high, sat_pair.high, _MM_SHUFFLE(3, 3, 2, 1));
        const __m128 result = _mm_add_ps(_mm_mul_ps(sat_pair.low, _mm_sub_ps(one, fs)), _mm_mul_ps(high, fs));
        _mm_store_ss(block.hue_shift + j, result);
        _mm_store_ss(block.sat_gain + j, _mm_shuffle_ps(result, result, _MM_SHUFFLE(1, 1, 1, 1)));
        _mm_store_ss(block.val_gain + j, _mm_movehl_ps(result, result));
    }
}

// The same interpolation with 64-bit offsets, for tables of 2^31 floats or more.
template <bool ThreeD>
void look_up_wide(int padded, const HueSatTable& table, Block<int64_t>& block) {
    const int64_t sat_step = table.sat_divisions < 2 ? 0 : 3;
    const int64_t val_step = 3 * static_cast<int64_t>(table.hue_divisions) * table.sat_divisions;
    float* results[3] = {block.hue_shift, block.sat_gain, block.val_gain};
    for (int component = 0; component < 3; ++component) {
        const float* entries = table.entries + component;
        for (int j = 0; j < padded; ++j) {
            const int64_t a = block.corner[j];
            const int64_t c = a + block.hue_step[j];
            const float fh = block.hue_frac[j];
            const float gh = 1.0f - fh;
            const float fs = block.sat_frac[j];
            auto along_hue = [&](int64_t offset) { return gh * entries[a + offset] + fh * entries[c + offset]; };
            const float e0 = along_hue(0);
            const float e1 = along_hue(sat_step);
            if constexpr (ThreeD) {
                const float fv = block.val_frac[j];
                const float gv = 1.0f - fv;
                const float lo_sat = along_hue(val_step) * fv + e0 * gv;
                const float hi_sat = along_hue(val_step + sat_step) * fv + e1 * gv;
                results[component][j] = lo_sat * (1.0f - fs) + hi_sat * fs;
            } else {
                results[component][j] = e0 * (1.0f - fs) + e1 * fs;
            }
        }
    }
}

// Applies the looked-up adjustment. The hue reduces to [0, 6] by the
// remainder by 6, computed here exactly for |hue| < 12; returns whether any
// hue needs the general remainder.
template <class Index>
bool adjust(int padded, Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf one = set1(1.0f);
    const vf six = set1(6.0f);
    const vf minus_six = set1(-6.0f);
    const vf near_hue = set1(kNearHue);
    const vf minus_near_hue = set1(-kNearHue);
    const vf sextants_per_degree = set1(kSextantsPerDegree);
    vf far_hues = zero;
    for (int j = 0; j < padded; j += kLanes) {
        const vf h = add(mul(load(block.hue_shift + j), sextants_per_degree), load(block.hue + j));
        const vf s = mul(load(block.sat + j), load(block.sat_gain + j));
        const vf v = mul(load(block.val + j), load(block.val_gain + j));
        const vf v_capped = select(lt(one, v), one, v);
        store(block.sat + j, select(lt(s, one), s, one));
        store(block.val + j, select(lt(zero, v_capped), v_capped, zero));
        store(block.hue + j, h);
        // A zero remainder of -6 is +0 here rather than -0; both give
        // sextant 0 and the same colour.
        const vf remainder = select(le(six, h), sub(h, six), select(le(h, minus_six), add(h, six), h));
        store(block.sextant + j, select(lt(remainder, zero), add(remainder, six), remainder));
        const mask far = mask_or(mask_or(le(near_hue, h), le(h, minus_near_hue)), is_nan(h));
        far_hues = add(far_hues, select(far, one, zero));
    }
    alignas(64) float counts[kLanes];
    store(counts, far_hues);
    float total = 0.0f;
    for (float count : counts)
        total += count;
    return total != 0.0f;
}

template <class Index>
void reduce_far_hues(int padded, Block<Index>& block) {
    for (int j = 0; j < padded; ++j) {
        const float h = block.hue[j];
        if (fabsf(h) < kNearHue) continue;
        const float remainder = fmodf(h, 6.0f);
        block.sextant[j] = remainder < 0.0f ? remainder + 6.0f : remainder;
    }
}

// Converts back to RGB in the block arrays. A pixel whose hue is not finite
// (NaN sextant) keeps its colour unless it turned grey; sextant 6 (a tiny
// negative remainder plus 6) is sextant 0.
template <class Index>
void to_rgb(int padded, Block<Index>& block) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf one = set1(1.0f);
    vf sextants[7];
    for (int k = 0; k < 7; ++k)
        sextants[k] = set1(static_cast<float>(k));
    for (int j = 0; j < padded; j += kLanes) {
        const vf s = load(block.sat + j);
        const vf v = load(block.val + j);
        const vf x = load(block.sextant + j);
        const mask not_finite = is_nan(x);
        const vf i = from_i32(trunc_i32(select(not_finite, zero, x)));
        const vf f = sub(x, i);
        const vf p = mul(sub(one, s), v);
        const vf q = mul(sub(one, mul(s, f)), v);
        const vf t = mul(sub(one, mul(sub(one, f), s)), v);
        const mask in0 = mask_or(eq(i, sextants[0]), eq(i, sextants[6]));
        const mask in1 = eq(i, sextants[1]);
        const mask in2 = eq(i, sextants[2]);
        const mask in3 = eq(i, sextants[3]);
        const mask in4 = eq(i, sextants[4]);
        const mask in5 = eq(i, sextants[5]);
        const vf red = select(in1, q, select(mask_or(in2, in3), p, select(in4, t, v)));
        const vf green = select(in0, t, select(mask_or(in1, in2), v, select(in3, q, p)));
        const vf blue = select(mask_or(in0, in1), p, select(in2, t, select(in5, q, v)));
        const mask grey = mask_or(le(s, zero), is_nan(s));
        const mask keep = mask_andnot(grey, not_finite);
        store(block.red + j, select(keep, load(block.red + j), select(grey, v, red)));
        store(block.green + j, select(keep, load(block.green + j), select(grey, v, green)));
        store(block.blue + j, select(keep, load(block.blue + j), select(grey, v, blue)));
    }
}

template <class Index>
void store_pixels(float* pixels, int n, const Block<Index>& block) {
    int j = 0;
    for (; j + simd::kLanes <= n; j += simd::kLanes)
        simd::store3(pixels + 3 * j, simd::load(block.red + j), simd::load(block.green + j),
                     simd::load(block.blue + j));
    for (; j < n; ++j) {
        pixels[3 * j] = block.red[j];
        pixels[3 * j + 1] = block.green[j];
        pixels[3 * j + 2] = block.blue[j];
    }
}

template <bool ThreeD, class Index>
void apply_table(float* pixels, size_t count, const HueSatTable& table) {
    Block<Index> block;
    for (size_t start = 0; start < count; start += kBlock) {
        const int n = count - start < kBlock ? static_cast<int>(count - start) : kBlock;
        const int padded = (n + simd::kLanes - 1) / simd::kLanes * simd::kLanes;
        float* block_pixels = pixels + 3 * start;
        load_pixels(block_pixels, n, padded, block);
        to_hsv(padded, table, block);
        find_divisions<ThreeD>(padded, table, block);
        if constexpr (sizeof(Index) == sizeof(int32_t)) {
            if (table.sat_divisions >= 2)
                look_up_rows<ThreeD, true>(padded, table, block);
            else
                look_up_rows<ThreeD, false>(padded, table, block);
        } else
            look_up_wide<ThreeD>(padded, table, block);
        if (adjust(padded, block)) reduce_far_hues(padded, block);
        to_rgb(padded, block);
        store_pixels(block_pixels, n, block);
    }
}

}  // namespace

HueSatKernel select_hue_sat_kernel(const HueSatTable& table) {
    const bool three_d = table.val_divisions >= 2;
    if (table.wide_index) return three_d ? &apply_table<true, int64_t> : &apply_table<false, int64_t>;
    return three_d ? &apply_table<true, int32_t> : &apply_table<false, int32_t>;
}

}  // namespace orvex::ORVEX_ISA
