// The general normalisation rule: any pattern size and channel count, the
// per-column and per-row black offsets and the linearisation table, with a
// true division by the range.
#pragma once

#include <cstdint>

#include "raw/raw_levels.h"

namespace orvex {

// Normalises height x width pixels of levels.channels samples from src (16-bit
// or float, by src_dtype) into dst. column_black holds the per-column black
// offset of every column. A float src may be dst itself.
void normalize_general(uint32_t src_dtype, const void* src, float* dst, uint64_t height, uint64_t width,
                       const RawLevels& levels, const float* column_black);

}  // namespace orvex
