// Named tone curves a recipe can ask for instead of listing the numbers.
#pragma once

#include <vector>

namespace orvex::develop {

// Number of entries of the sRGB encoding curve.
inline constexpr int kSrgbCurveEntries = 4096;

// Entry i holds the sRGB encoding of the linear level i / (n - 1).
std::vector<float> srgb_encoding_curve();

// The identity: two entries, 0 and 1.
std::vector<float> linear_curve();

// sRGB encoding and decoding of one level in 0..1 (double precision).
double srgb_encode(double linear);
double srgb_decode(double encoded);

}  // namespace orvex::develop
