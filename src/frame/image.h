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

// Bytes per sample; 1 for the codes that no operation accepts, which their
// type tests reject.
inline size_t dtype_size(uint32_t dtype) {
    return dtype == ORVEX_DTYPE_UINT16 ? 2 : dtype == ORVEX_DTYPE_FLOAT32 ? 4 : 1;
}

// Whether the buffer the descriptor promises could exist: height x width x
// channels samples of its type, counted without wrapping, take at most
// PTRDIFF_MAX bytes (the largest object). A descriptor that fails describes no
// real buffer, and every entry point rejects it before touching a sample, so
// that the sample counts and row offsets below never wrap. A descriptor with
// an empty dimension holds no sample, whatever the others.
inline bool size_is_addressable(const orvex_image& image) {
    if (image.height == 0 || image.width == 0 || image.channels == 0) return true;
    uint64_t bytes = 0;
    return !__builtin_mul_overflow(image.height, image.width, &bytes) &&
           !__builtin_mul_overflow(bytes, image.channels, &bytes) &&
           !__builtin_mul_overflow(bytes, dtype_size(image.dtype), &bytes) &&
           bytes <= static_cast<uint64_t>(PTRDIFF_MAX);
}

// Samples in the buffer, as a 64-bit product (exact for an addressable size).
inline uint64_t sample_count(const orvex_image& image) { return image.height * image.width * image.channels; }

inline bool has_data(const orvex_image* image) { return image != nullptr && image->data != nullptr; }

inline bool same_height_width(const orvex_image& a, const orvex_image& b) {
    return a.height == b.height && a.width == b.width;
}

}  // namespace orvex
