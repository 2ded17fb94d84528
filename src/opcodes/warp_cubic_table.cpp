#include "opcodes/warp_cubic_table.h"

#include <cmath>

namespace orvex {
namespace {

// Cubic convolution kernel with a = -0.75.
double cubic_kernel(double t) {
    const double at = std::fabs(t);
    if (at < 1.0) return (1.25 * at - 2.25) * (t * t) + 1.0;
    if (at < 2.0) return (-6.0 - (0.75 * at - 3.75) * at) * at + 3.0;
    return 0.0;
}

void fill_weights(float* weights, double fy, double fx) {
    double sum = 0.0;
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) {
            const float w = static_cast<float>(cubic_kernel((a - 1) - fy) * cubic_kernel((b - 1) - fx));
            weights[a * 4 + b] = w;
            sum += w;
        }
    }
    const float norm = static_cast<float>(1.0 / sum);
    for (int k = 0; k < kCubicWindow; ++k)
        weights[k] = weights[k] * norm;
}

const float* build_table() {
    float* table = new float[kCubicSteps * kCubicSteps * kCubicWindow];
    constexpr double kStep = 1.0 / kCubicSteps;  // exact: a power of two
    for (int qy = 0; qy < kCubicSteps; ++qy) {
        for (int qx = 0; qx < kCubicSteps; ++qx)
            fill_weights(table + (qy * kCubicSteps + qx) * kCubicWindow, qy * kStep, qx * kStep);
    }
    return table;
}

}  // namespace

const float* cubic_weight_table() {
    // A static local is initialised exactly once even under concurrent first
    // calls; if the allocation throws, the next call retries.
    static const float* const table = build_table();
    return table;
}

}  // namespace orvex
