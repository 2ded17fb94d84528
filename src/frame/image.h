// Descriptor checks shared by every entry point. Entry points only: kernels
// built per instruction set must not include this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orvex.h"

namespace orvex {

inline bool is_known_dtype(uint32_t dtype) {
    return dtype == ORVEX_DTYPE_UINT8 || dtype == ORVEX_DTYPE_UINT16 || dtype == ORVEX_DTYPE_FLOAT32;
}

inline size_t dtype_size(uint32_t dtype) {
    return dtype == ORVEX_DTYPE_UINT8 ? 1 : dtype == ORVEX_DTYPE_UINT16 ? 2 : 4;
}

// Samples in the buffer, as a 64-bit product.
inline uint64_t sample_count(const orvex_image& image) { return image.height * image.width * image.channels; }

inline bool has_data(const orvex_image* image) { return image != nullptr && image->data != nullptr; }

inline bool same_height_width(const orvex_image& a, const orvex_image& b) {
    return a.height == b.height && a.width == b.width;
}

}  // namespace orvex
