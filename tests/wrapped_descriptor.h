// Descriptors whose height x width x channels x sample size cannot be the size
// of any buffer, laid over a small real buffer: every entry point must reject
// them with ORVEX_ERR_INVALID_ARGUMENT and leave the buffer as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "orvex.h"

namespace orvex::testing {

// 2^32 + 1 squared wraps to 2^33 + 1 in 64 bits.
inline constexpr uint64_t kWrapsSquared = (uint64_t{1} << 32) + 1;
// 2^32 squared wraps to 0.
inline constexpr uint64_t kWrapsToZero = uint64_t{1} << 32;
// 2^62 + 1 rows of 4 samples wrap to 4.
inline constexpr uint64_t kWrapsTimesFour = (uint64_t{1} << 62) + 1;

// A 256-byte buffer of a known pattern behind a descriptor of any shape.
struct SmallBuffer {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(256, 0x5A);

    orvex_image describe(uint64_t height, uint64_t width, uint64_t channels, uint32_t dtype) {
        orvex_image image{};
        image.data = bytes.data();
        image.height = height;
        image.width = width;
        image.channels = channels;
        image.dtype = dtype;
        return image;
    }
    bool untouched() const { return bytes == std::vector<uint8_t>(256, 0x5A); }
};

}  // namespace orvex::testing
