// Body of the profile gain table row kernels; included by one translation
// unit per instruction set after it defines ORVEX_ISA.
//
// A row is done in blocks of kGainBlock pixels, in four passes that stay in
// the first-level cache: the brightness of every pixel, its power, the gain
// (one run of columns with the same two map columns at a time, so that the
// four table lines of a run can sit in registers), and the scaling of the
// pixels by their gains.
#include <cstddef>
#include <cstdint>

#include "frame/power_row_impl.h"
#include "frame/simd.h"
#include "tone/profile_gain_table_kernels.h"
#include "tone/profile_gain_table_lines.h"

namespace orvex::ORVEX_ISA {
namespace {

using namespace simd;

static_assert(kLanes <= static_cast<int>(kGainPadding) && kGainBlock % kLanes == 0);

// Interpolation written as (b - a) * f + a.
inline float lerp(float a, float b, float f) { return (b - a) * f + a; }
inline vf lerp(vf a, vf b, vf f) { return add(mul(sub(b, a), f), a); }

// The brightness measure, clamped to 0..1.
float brightness(float r, float g, float b, const GainTableParams& params) {
    const float* w = params.weights;
    const float min_bg = g < b ? g : b;
    const float lo = r < min_bg ? r : min_bg;
    const float max_bg = b < g ? g : b;
    const float hi = max_bg < r ? r : max_bg;
    const float m = ((w[0] * r + w[1] * g) + (w[2] * b + (w[3] * lo + w[4] * hi))) * params.input_scale;
    return clamp_unit_keep_minus_zero(m);
}

struct BrightnessWeights {
    vf w[5];
    vf scale;
    explicit BrightnessWeights(const GainTableParams& params)
        : w{set1(params.weights[0]), set1(params.weights[1]), set1(params.weights[2]), set1(params.weights[3]),
            set1(params.weights[4])},
          scale(set1(params.input_scale)) {}
};

// The same lane by lane: min_lt(a, b) is a < b ? a : b and max_gt(a, b)
// is a > b ? a : b, the scalar comparisons above, NaN and signed zeros
// included.
vf brightness(vf r, vf g, vf b, const BrightnessWeights& v) {
    const vf lo = min_lt(r, min_lt(g, b));
    const vf hi = max_gt(r, max_gt(g, b));
    const vf m =
        mul(add(add(mul(v.w[0], r), mul(v.w[1], g)), add(mul(v.w[2], b), add(mul(v.w[3], lo), mul(v.w[4], hi)))),
            v.scale);
    return clamp_unit_keep_minus_zero(m);
}

// Brightness of `count` interleaved pixels into `measure`.
void measure_block(const float* pixels, size_t count, const GainTableParams& params, float* measure) {
    const BrightnessWeights weights(params);
    size_t x = 0;
    for (; x + kLanes <= count; x += kLanes) {
        vf r, g, b;
        load3(pixels + 3 * x, r, g, b);
        store(measure + x, brightness(r, g, b, weights));
    }
    for (; x < count; ++x)
        measure[x] = brightness(pixels[3 * x], pixels[3 * x + 1], pixels[3 * x + 2], params);
}

// Scales `count` interleaved pixels by their gains, each channel clamped.
void scale_block(float* pixels, size_t count, const float* gain) {
    size_t x = 0;
    for (; x + kLanes <= count; x += kLanes) {
        vf r, g, b;
        load3(pixels + 3 * x, r, g, b);
        const vf k = load(gain + x);
        store3(pixels + 3 * x, clamp_unit_keep_minus_zero(mul(k, r)), clamp_unit_keep_minus_zero(mul(k, g)),
               clamp_unit_keep_minus_zero(mul(k, b)));
    }
    for (; x < count; ++x)
        for (int c = 0; c < 3; ++c)
            pixels[3 * x + c] = clamp_unit_keep_minus_zero(gain[x] * pixels[3 * x + c]);
}

// Table point of a vector of brightness measures: a coordinate outside the
// int32 range (an infinite power of a zero brightness among them) truncates
// to INT32_MIN, which the unsigned minimum turns into the last point, with
// fraction 0.
struct TablePoints {
    vf points;
    vi last;
    explicit TablePoints(int32_t points_n)
        : points(set1(static_cast<float>(points_n))), last(set1_i32(points_n - 1)) {}

    TablePoint at(vf t) const {
        const vf kp = mul(points, t);
        const mask out_of_range = mask_or(mask_or(lt(kp, set1(0.0f)), le(set1(2147483648.0f), kp)), is_nan(kp));
        const vi k0 = min_u32(trunc_i32(kp), last);
        const vi k1 = min_u32(add_i32(k0, set1_i32(1)), last);
        return {k0, k1, select(out_of_range, set1(0.0f), sub(kp, from_i32(k0)))};
    }
};

// Gains of the block's pixels from `first` (a column index) to the end of
// the block, interpolated along the table points, then the map columns, then
// the map rows, with the table lines held by `Corners`.
template <class Corners>
void gain_block(size_t first, size_t count, const float* measure, const GainTableParams& params,
                const GainRowPlacement& row, const GainColumnPlacement& columns, float* gain) {
    const TablePoints points(params.points_n);
    const vf row_frac = set1(row.frac);
    const GainColumnRun* run = columns.runs;
    while (run->end <= first)
        ++run;
    // A vector that passes the end of a run is finished by the next run.
    for (size_t x = 0; x < count; ++run) {
        const Corners corners(params.table + row.offset0, params.table + row.offset1, *run, params.points_n);
        const size_t stop = run->end - first < count ? run->end - first : count;
        for (; x < stop; x += kLanes) {
            const TablePoint p = points.at(load(measure + x));
            const vf fc = load(columns.frac + first + x);
            const vf upper = lerp(corners.at(0, p), corners.at(1, p), fc);
            const vf lower = lerp(corners.at(2, p), corners.at(3, p), fc);
            store(gain + x, lerp(upper, lower, row_frac));
        }
        x = stop;
    }
}

// Asks for the next block's pixels while this block is computed.
void prefetch_block(const float* pixels, size_t count) {
    const size_t floats = 3 * (count < kGainBlock ? count : kGainBlock);
    for (size_t i = 0; i < floats; i += 16)
        _mm_prefetch(reinterpret_cast<const char*>(pixels + i), _MM_HINT_T0);
}

template <class Corners>
void apply_row(float* pixels, size_t width, float* scratch, const GainTableParams& params,
               const GainRowPlacement& row, const GainColumnPlacement& columns) {
    float* measure = scratch;
    float* gain = scratch + kGainBlock + kGainPadding;
    for (size_t first = 0; first < width; first += kGainBlock) {
        const size_t count = width - first < kGainBlock ? width - first : kGainBlock;
        float* block = pixels + 3 * first;
        measure_block(block, count, params, measure);
        prefetch_block(pixels + 3 * (first + count), width - first - count);
        if (params.powered) power_row(measure, count, params.gamma);
        gain_block<Corners>(first, count, measure, params, row, columns, gain);
        scale_block(block, count, gain);
    }
}

}  // namespace

void apply_gain_row(float* pixels, size_t width, float* scratch, const GainTableParams& params,
                    const GainRowPlacement& row, const GainColumnPlacement& columns) {
    with_corners(params.points_n,
                 [&]<class Corners>() { apply_row<Corners>(pixels, width, scratch, params, row, columns); });
}

}  // namespace orvex::ORVEX_ISA
