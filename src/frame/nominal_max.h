#pragma once

#include <cstdint>

namespace orvex {

// Full-scale value of a sample type: 1.0 for floats, 2^(bits mod 32) - 1 for
// a positive bit depth, else the type's own range; 0 for unknown types.
float nominal_max(uint32_t dtype, int32_t bits);

}  // namespace orvex
