// Rectilinear warp kernels: for every destination pixel and plane, the lens
// model's source position, resampled bilinearly or from the cubic weight
// table. Built once per instruction set.
#pragma once

#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Lens model of one plane, prepared once per call.
struct WarpPlane {
    double radial[4];  // kr0 ... kr3; only the first radial_terms are used
    int radial_terms;  // 1 ... 4
    bool tangential;   // false when absent or (0, 0)
    double kt0;
    double kt1;
    double kt0_twice;  // kt0 + kt0
    double kt1_twice;  // kt1 + kt1
};

struct WarpJob {
    const float* src;
    float* dst;
    uint64_t height;
    uint64_t width;
    uint64_t channels;
    const WarpPlane* planes;
    uint64_t plane_count;  // planes written: min(planes, channels)
    double cx;             // optical centre in pixels
    double cy;
    double radius;
    double inv_radius;           // 1 / radius
    double twice_inv_radius;     // 2 / radius
    double max_x;                // width - 1
    double max_y;                // height - 1
    const float* cubic_weights;  // null for bilinear resampling
};

// Vector paths index samples with 32-bit integers: the entry point calls
// them only for images of fewer than 2^31 samples, and the baseline build
// (scalar, 64-bit indices) otherwise. Cubic jobs need at least 4 rows and 4
// columns.
ORVEX_DECLARE_PER_ISA(void warp_image(const WarpJob& job))

}  // namespace orvex
