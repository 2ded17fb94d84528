// Normalisation kernels for the fast layouts, built for every instruction
// set. Each row of samples repeats a short pattern of black levels and
// reciprocal ranges from its first sample; even and odd rows may have
// different patterns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// The three fast layouts: one black level (period 1), a 2 x 2 pattern
// (period 2, patterns alternating by row) and three channels (period 3).
inline constexpr int kMaxNormalizePeriod = 3;

// Levels of one call: row r uses black[(r % 2) * period + i % period] and the
// same entry of factor for its sample i.
struct NormalizePattern {
    float black[2 * kMaxNormalizePeriod];
    float factor[2 * kMaxNormalizePeriod];
};

// dst = clamp((src - b) * f) over rows x row_samples samples; the clamp gives
// 1 for y >= 1, then 0 for y < 0 or NaN. A float src may be dst itself.
using NormalizeFastKernel = void (*)(const void* src, float* dst, size_t rows, size_t row_samples,
                                     const NormalizePattern& pattern);

// src_dtype is 16-bit or float and period 1, 2 or 3; null for anything else.
ORVEX_DECLARE_PER_ISA(NormalizeFastKernel select_fast_normalize_kernel(uint32_t src_dtype, int period))

// One row of the general rule, n samples: with v the sample as float,
// b = sample_black[i] + row_black and d = white[i] - b,
// dst[i] = clamp(d > 0 ? (v - b) / d : 0), a true division; the clamp gives 1
// for y >= 1, then 0 for y < 0 or NaN. A float src may be dst itself.
using NormalizeGeneralRowKernel = void (*)(const void* src, float* dst, size_t n, const float* sample_black,
                                           float row_black, const float* white);

// src_dtype is 16-bit or float; null for anything else.
ORVEX_DECLARE_PER_ISA(NormalizeGeneralRowKernel select_general_normalize_row(uint32_t src_dtype))

// The general row of a 16-bit source through a linearisation table, with
// v = linear_value[min(src[i], last)] (the table's entries as floats).
ORVEX_DECLARE_PER_ISA(void normalize_general_table_row(const uint16_t* src, float* dst, size_t n,
                                                       const float* linear_value, uint32_t last,
                                                       const float* sample_black, float row_black,
                                                       const float* white))

}  // namespace orvex
