// Body of the profile gain table row kernels; included by one translation
// unit per instruction set after it defines ORVEX_ISA.
#include <cstddef>
#include <cstdint>

#include "frame/power_row_impl.h"
#include "frame/simd.h"
#include "tone/profile_gain_table_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

// Interpolation written as (b - a) * f + a.
inline float lerp(float a, float b, float f) { return (b - a) * f + a; }

// Brightness measure of each pixel, clamped to 0..1, into `measure`.
void measure_brightness(const float* red, const float* green, const float* blue, size_t width,
                        const GainTableParams& params, float* measure) {
    const float w0 = params.weights[0];
    const float w1 = params.weights[1];
    const float w2 = params.weights[2];
    const float w3 = params.weights[3];
    const float w4 = params.weights[4];
    const float scale = params.input_scale;
    for (size_t x = 0; x < width; ++x) {
        const float r = red[x];
        const float g = green[x];
        const float b = blue[x];
        const float min_bg = g < b ? g : b;
        const float lo = r < min_bg ? r : min_bg;
        const float max_bg = b < g ? g : b;
        const float hi = max_bg < r ? r : max_bg;
        const float m = ((w0 * r + w1 * g) + (w2 * b + (w3 * lo + w4 * hi))) * scale;
        measure[x] = simd::clamp_unit_keep_minus_zero(m);
    }
}

// Scales pixel x of the planar rows by its gain, interpolated along the
// table points, then the map columns, then the map rows. A table coordinate
// outside the int32 range (an infinite power of a zero brightness among
// them) takes the last table point.
template <class Index>
void scale_pixel(size_t x, float* red, float* green, float* blue, const float* measure,
                 const GainTableParams& params, const GainRowPlacement<Index>& row,
                 const GainColumnPlacement<Index>& columns) {
    const int32_t last_point = params.points_n - 1;
    const float kp = static_cast<float>(params.points_n) * measure[x];
    const bool in_range = kp >= 0.0f && kp < 2147483648.0f;
    const int32_t k = in_range ? static_cast<int32_t>(kp) : last_point;
    const int32_t k0 = k < last_point ? k : last_point;
    const int32_t k1 = k0 < last_point ? k0 + 1 : last_point;
    const float fk = in_range ? kp - static_cast<float>(k0) : 0.0f;

    const float* table = params.table;
    const Index c0 = columns.offset0[x];
    const Index c1 = columns.offset1[x];
    const float* t00 = table + (row.offset0 + c0);
    const float* t01 = table + (row.offset0 + c1);
    const float* t10 = table + (row.offset1 + c0);
    const float* t11 = table + (row.offset1 + c1);
    const float a00 = lerp(t00[k0], t00[k1], fk);
    const float a01 = lerp(t01[k0], t01[k1], fk);
    const float a10 = lerp(t10[k0], t10[k1], fk);
    const float a11 = lerp(t11[k0], t11[k1], fk);
    const float fc = columns.frac[x];
    const float gain = lerp(lerp(a00, a01, fc), lerp(a10, a11, fc), row.frac);
    red[x] = simd::clamp_unit_keep_minus_zero(gain * red[x]);
    green[x] = simd::clamp_unit_keep_minus_zero(gain * green[x]);
    blue[x] = simd::clamp_unit_keep_minus_zero(gain * blue[x]);
}

// The same on whole vectors, with gathered table values; returns the
// number of pixels done.
size_t scale_pixels_gathered(size_t width, float* red, float* green, float* blue, const float* measure,
                             const GainTableParams& params, const GainRowPlacement<int32_t>& row,
                             const GainColumnPlacement<int32_t>& columns) {
    using namespace simd;
    const vf zero = set1(0.0f);
    const vf int_limit = set1(2147483648.0f);
    const vf points = set1(static_cast<float>(params.points_n));
    const vi last_point = set1_i32(params.points_n - 1);
    const vi next = set1_i32(1);
    const vi row0 = set1_i32(row.offset0);
    const vi row1 = set1_i32(row.offset1);
    const vf row_frac = set1(row.frac);
    const float* table = params.table;
    auto lerp_v = [](vf a, vf b, vf f) { return add(mul(sub(b, a), f), a); };
    size_t x = 0;
    for (; x + kLanes <= width; x += kLanes) {
        // Out-of-range coordinates truncate to INT32_MIN, which the unsigned
        // minimum turns into the last point.
        const vf kp = mul(points, load(measure + x));
        const mask out_of_range = mask_or(mask_or(lt(kp, zero), le(int_limit, kp)), is_nan(kp));
        const vi k0 = min_u32(trunc_i32(kp), last_point);
        const vi k1 = min_u32(add_i32(k0, next), last_point);
        const vf fk = select(out_of_range, zero, sub(kp, from_i32(k0)));
        const vi c0 = load_i32(columns.offset0 + x);
        const vi c1 = load_i32(columns.offset1 + x);
        auto along_points = [&](vi corner) {
            return lerp_v(gather(table, add_i32(corner, k0)), gather(table, add_i32(corner, k1)), fk);
        };
        const vf a00 = along_points(add_i32(row0, c0));
        const vf a01 = along_points(add_i32(row0, c1));
        const vf a10 = along_points(add_i32(row1, c0));
        const vf a11 = along_points(add_i32(row1, c1));
        const vf fc = load(columns.frac + x);
        const vf gain = lerp_v(lerp_v(a00, a01, fc), lerp_v(a10, a11, fc), row_frac);
        store(red + x, clamp_unit_keep_minus_zero(mul(gain, load(red + x))));
        store(green + x, clamp_unit_keep_minus_zero(mul(gain, load(green + x))));
        store(blue + x, clamp_unit_keep_minus_zero(mul(gain, load(blue + x))));
    }
    return x;
}

}  // namespace

template <class Index>
void apply_gain_row(float* pixels, size_t width, float* red, float* green, float* blue, float* measure,
                    const GainTableParams& params, const GainRowPlacement<Index>& row,
                    const GainColumnPlacement<Index>& columns) {
    for (size_t x = 0; x < width; ++x) {
        red[x] = pixels[3 * x];
        green[x] = pixels[3 * x + 1];
        blue[x] = pixels[3 * x + 2];
    }
    measure_brightness(red, green, blue, width, params, measure);
    if (params.powered) power_row(measure, width, params.gamma);

    size_t x = 0;
    if constexpr (sizeof(Index) == sizeof(int32_t))
        x = scale_pixels_gathered(width, red, green, blue, measure, params, row, columns);
    for (; x < width; ++x)
        scale_pixel(x, red, green, blue, measure, params, row, columns);

    for (x = 0; x < width; ++x) {
        pixels[3 * x] = red[x];
        pixels[3 * x + 1] = green[x];
        pixels[3 * x + 2] = blue[x];
    }
}

template void apply_gain_row<int32_t>(float*, size_t, float*, float*, float*, float*, const GainTableParams&,
                                      const GainRowPlacement<int32_t>&, const GainColumnPlacement<int32_t>&);
template void apply_gain_row<int64_t>(float*, size_t, float*, float*, float*, float*, const GainTableParams&,
                                      const GainRowPlacement<int64_t>&, const GainColumnPlacement<int64_t>&);

}  // namespace orvex::ORVEX_ISA
