#include "tone_curves.h"

#include <cmath>

namespace orvex::develop {

double srgb_encode(double linear) {
    if (linear <= 0.0031308) return 12.92 * linear;
    return 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

double srgb_decode(double encoded) {
    if (encoded <= 0.04045) return encoded / 12.92;
    return std::pow((encoded + 0.055) / 1.055, 2.4);
}

std::vector<float> srgb_encoding_curve() {
    std::vector<float> curve(kSrgbCurveEntries);
    for (int i = 0; i < kSrgbCurveEntries; ++i)
        curve[i] = static_cast<float>(srgb_encode(static_cast<double>(i) / (kSrgbCurveEntries - 1)));
    return curve;
}

std::vector<float> linear_curve() { return {0.0f, 1.0f}; }

}  // namespace orvex::develop
