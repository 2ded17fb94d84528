// Kernel of the radial vignette correction.
#pragma once

#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

struct VignetteImage {
    float* samples;
    uint64_t height;
    uint64_t width;
    uint64_t channels;
    double cx;  // optical centre, in pixels
    double cy;
    double radius;       // normalising radius
    const double* coef;  // the coefficients in use
};

// Scales every channel of every pixel by its radial gain and clamps to 0..1.
using VignetteKernel = void (*)(const VignetteImage& image);

// coefficient_count is 1 to 5.
ORVEX_DECLARE_PER_ISA(VignetteKernel select_vignette_kernel(int coefficient_count))

}  // namespace orvex
