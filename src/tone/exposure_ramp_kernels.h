// Exposure ramp kernels, built for every instruction set.
#pragma once

#include <cstddef>

#include "frame/isa_family.h"

namespace orvex {

// The tone curve in single precision, formed once per call. A sample x maps
// to 0 when x is not above `lower`, to the straight ramp (x - black) * slope
// when x is not below `upper`, and to the quadratic toe
// ((x - lower) * quad) * (x - lower) in between.
struct ExposureCurve {
    float black;
    float lower;
    float upper;
    float slope;
    float quad;
};

ExposureCurve make_exposure_curve(double white, double black, double toe_width);

// Maps n samples; src and dst may be the same buffer. Without `unclipped`
// the straight ramp stops at 1.
ORVEX_DECLARE_PER_ISA(void exposure_ramp(const float* src, float* dst, size_t n, const ExposureCurve& curve,
                                         bool unclipped))

}  // namespace orvex
