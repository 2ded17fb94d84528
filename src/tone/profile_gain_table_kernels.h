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
struct GainRowPlacement {
    int64_t offset0;
    int64_t offset1;
    float frac;
};

// A stretch of image columns that meets the same two map columns: it ends
// before column `end` and starts where the run before it ends (or at 0).
struct GainColumnRun {
    size_t end;
    int64_t offset0;  // table offsets of the two map columns
    int64_t offset1;
};

// Where the image columns meet the map: the runs in column order, and the
// fraction between the two map columns for each column, followed by
// kGainPadding readable floats.
struct GainColumnPlacement {
    const GainColumnRun* runs;
    const float* frac;
};

// The kernels work on blocks of at most kGainBlock pixels; vectors may read
// and write up to kGainPadding floats past a block's or a row's last pixel.
inline constexpr size_t kGainBlock = 512;
inline constexpr size_t kGainPadding = 16;
// Floats of scratch memory a row kernel needs.
inline constexpr size_t kGainScratch = 2 * (kGainBlock + kGainPadding);

// Scales one row of `width` interleaved RGB pixels in place, using
// kGainScratch floats of `scratch`.
using GainRowKernel = void (*)(float* pixels, size_t width, float* scratch, const GainTableParams& params,
                               const GainRowPlacement& row, const GainColumnPlacement& columns);

ORVEX_DECLARE_PER_ISA(void apply_gain_row(float* pixels, size_t width, float* scratch,
                                          const GainTableParams& params, const GainRowPlacement& row,
                                          const GainColumnPlacement& columns))

}  // namespace orvex
