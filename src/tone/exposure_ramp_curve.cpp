#include "tone/exposure_ramp_kernels.h"

namespace orvex {

ExposureCurve make_exposure_curve(double white, double black, double toe_width) {
    // The span is taken in double precision; everything after it is float.
    const float span = static_cast<float>(white - black);
    const float slope = 1.0f / span;
    const float half_toe = static_cast<float>(toe_width) * 0.5f;
    const float sixteenth = 0.0625f / slope;
    const float radius = half_toe < sixteenth ? half_toe : sixteenth;
    // radius > 0 is false for NaN too: no toe then.
    const float quad = radius > 0.0f ? 0.25f / (span * radius) : 0.0f;
    const float b = static_cast<float>(black);
    return {b, b - radius, b + radius, slope, quad};
}

}  // namespace orvex
