// Hue/saturation/value table kernels, built for every instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// A validated table with the scales derived from its shape. Entry (V, H, S)
// holds three floats (hue shift in degrees, saturation scale, value scale)
// at 3 * (V * hue_divisions * sat_divisions + H * sat_divisions + S).
struct HueSatTable {
    const float* entries;
    int32_t hue_divisions;
    int32_t sat_divisions;
    int32_t val_divisions;  // 2 or more: three-dimensional; else two-dimensional
    float hue_scale;        // sextants to hue divisions; 0 with one division
    float sat_scale;        // sat_divisions - 1
    float val_scale;        // val_divisions - 1
    bool wide_index;        // the table holds 2^31 floats or more
};

// Adjusts `count` interleaved RGB float pixels in place.
using HueSatKernel = void (*)(float* pixels, size_t count, const HueSatTable& table);

ORVEX_DECLARE_PER_ISA(HueSatKernel select_hue_sat_kernel(const HueSatTable& table))

}  // namespace orvex
