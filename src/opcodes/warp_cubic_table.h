// Process-wide table of normalised cubic resampling weights: 32 x 32
// sub-pixel positions (steps of 1/32 pixel), 16 weights each for a 4 x 4
// window. Built on first use, read-only afterwards, never freed.
#pragma once

namespace orvex {

inline constexpr int kCubicSteps = 32;
inline constexpr int kCubicWindow = 16;

// The 16 weights of sub-position (qy, qx) start at (qy * 32 + qx) * 16; weight
// a * 4 + b belongs to window row a, window column b. The first call builds the
// table (safe when several threads make it at once) and throws std::bad_alloc
// if it cannot be allocated; a later call then tries again.
const float* cubic_weight_table();

}  // namespace orvex
