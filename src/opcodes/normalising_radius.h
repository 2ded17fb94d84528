// Radius that lens models divide pixel offsets by: the largest distance from
// the optical centre to an image corner, never below 1.
#pragma once

#include <cstdint>

namespace orvex {

// The centre is (width * center_x, height * center_y) in pixels, each product
// in double. The corners are measured in the order (0, 0), (W, 0), (0, H),
// (W, H); a NaN distance never wins, so an all-NaN centre gives 1.0.
double normalising_radius(uint64_t width, uint64_t height, double center_x, double center_y);

}  // namespace orvex
