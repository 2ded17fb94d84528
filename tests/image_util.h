// Small helpers for building descriptors over test-owned buffers.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "orvex.h"

namespace orvex::testing {

template <class T>
constexpr uint32_t dtype_of() {
    if constexpr (sizeof(T) == 1)
        return ORVEX_DTYPE_UINT8;
    else if constexpr (sizeof(T) == 2)
        return ORVEX_DTYPE_UINT16;
    else
        return ORVEX_DTYPE_FLOAT32;
}

template <class T>
orvex_image describe(std::vector<T>& samples, uint64_t height, uint64_t width, uint64_t channels) {
    orvex_image image{};
    image.data = samples.data();
    image.height = height;
    image.width = width;
    image.channels = channels;
    image.dtype = dtype_of<T>();
    return image;
}

inline orvex_image describe(void* data, uint64_t height, uint64_t width, uint64_t channels, uint32_t dtype) {
    orvex_image image{};
    image.data = data;
    image.height = height;
    image.width = width;
    image.channels = channels;
    image.dtype = dtype;
    return image;
}

// The bytes of a buffer, for comparing whole outputs.
template <class T>
std::vector<uint8_t> bytes_of(const std::vector<T>& v) {
    const auto* p = reinterpret_cast<const uint8_t*>(v.data());
    return {p, p + v.size() * sizeof(T)};
}

// Bit pattern of a float, for exact comparisons that also cover NaN and -0.
inline uint32_t bits_of(float x) {
    uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

}  // namespace orvex::testing
