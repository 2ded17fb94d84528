// Kernel of the flat gain grid: one run of columns that share a grid cell.
#pragma once

#include <cstddef>

#include "frame/isa_family.h"

namespace orvex {

// One grid cell seen from one image row: its four corner gains, the cell's
// first grid column x0 (as float), the row's fraction fy and the column scale.
struct FlatCell {
    float g00, g01;  // grid row y0, columns x0 and x0 + 1
    float g10, g11;  // grid row y0 + 1
    float x0;
    float fy;
    float sx;
};

// Scales samples[i] of column j0 + i (j0 + n must not exceed 2^24, so that
// every column number is exact in float) by the bilinear gain of `cell`.
using FlatRunKernel = void (*)(float* samples, size_t n, float j0, const FlatCell& cell);

ORVEX_DECLARE_PER_ISA(void flat_run(float* samples, size_t n, float j0, const FlatCell& cell))

}  // namespace orvex
