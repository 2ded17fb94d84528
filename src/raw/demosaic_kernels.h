// Bilinear demosaicing of a float mosaic with a 2 x 2 pattern of colour
// codes 0, 1, 2 into interleaved three-channel floats, built for the baseline
// and AVX2 (which AVX-512 CPUs use too).
#pragma once

#include <cstdint>

namespace orvex {

// codes[(r % 2) * 2 + (c % 2)] is the colour over row r, column c; every
// code is at most 2. dst holds height x width x 3 floats.
using DemosaicKernel = void (*)(const float* src, float* dst, uint64_t height, uint64_t width,
                                const uint32_t* codes);

namespace baseline {
void bilinear_demosaic(const float* src, float* dst, uint64_t height, uint64_t width, const uint32_t* codes);
}
namespace avx2 {
void bilinear_demosaic(const float* src, float* dst, uint64_t height, uint64_t width, const uint32_t* codes);
}

}  // namespace orvex
