#include "frame/nominal_max.h"

#include "orvex.h"

namespace orvex {

float nominal_max(uint32_t dtype, int32_t bits) {
    if (dtype == ORVEX_DTYPE_FLOAT32) return 1.0f;
    if (bits > 0) {
        // Unsigned 32-bit arithmetic: 32 bits wraps to 2^0 - 1 = 0.
        const uint32_t shift = static_cast<uint32_t>(bits) % 32u;
        return static_cast<float>((uint32_t{1} << shift) - 1u);
    }
    if (dtype == ORVEX_DTYPE_UINT8) return 255.0f;
    if (dtype == ORVEX_DTYPE_UINT16) return 65535.0f;
    return 0.0f;
}

}  // namespace orvex
