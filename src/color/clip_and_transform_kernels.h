// Clipping colour transform kernels, built for every instruction set.
#pragma once

#include <cstddef>

#include "frame/isa_family.h"

namespace orvex {

// Transforms n interleaved three-channel pixels: each channel is bounded
// above by its limit, the triple goes through the row-major 3 x 3 matrix and
// each result is clamped to 0..1 (NaN to 0). src and dst may be one buffer.
ORVEX_DECLARE_PER_ISA(void clip_and_transform(const float* src, float* dst, size_t pixels, const float* limits,
                                              const float* matrix))

}  // namespace orvex
