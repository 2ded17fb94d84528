// Profile gain table row kernels, built for every instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Per-call parameters of the brightness measure and the table points.
struct GainTableParams {
    const float* table;
    int32_t points_n;  // table points per map point
    float weights[5];  // R, G, B, min(R, G, B), max(R, G, B)
    float input_scale;
    float gamma;
    bool powered;  // gamma is neither 1 nor NaN
};

// Where one image row meets the map: the table offsets of its two map rows
// and the fraction between them.
template <class Index>
struct GainRowPlacement {
    Index offset0;
    Index offset1;
    float frac;
};

// Where each image column meets the map: table offsets of its two map
// columns and the fraction between them, one entry per column.
template <class Index>
struct GainColumnPlacement {
    const Index* offset0;
    const Index* offset1;
    const float* frac;
};

// Scales one row of `width` interleaved RGB pixels in place, working in the
// planar scratch rows `red`, `green`, `blue` and `measure` (the brightness)
// of `width` floats each.
template <class Index>
using GainRowKernel = void (*)(float* pixels, size_t width, float* red, float* green, float* blue, float* measure,
                               const GainTableParams& params, const GainRowPlacement<Index>& row,
                               const GainColumnPlacement<Index>& columns);

// Built for int32_t (narrow) and int64_t (wide) table offsets.
ORVEX_DECLARE_PER_ISA(template <class Index> void apply_gain_row(
    float* pixels, size_t width, float* red, float* green, float* blue, float* measure,
    const GainTableParams& params, const GainRowPlacement<Index>& row, const GainColumnPlacement<Index>& columns))

}  // namespace orvex
