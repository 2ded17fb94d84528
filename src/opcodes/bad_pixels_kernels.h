// Repair of 16-bit mosaic samples that hold a marker constant, built for
// every instruction set (the search for marked samples is vectorised).
#pragma once

#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Every src sample equal to `constant` gets, in dst, the rounded mean of its
// same-colour neighbours in src that do not hold the constant. A sample at
// row i, column j is a green site when i + j + green_parity is even. src and
// dst may be the same buffer.
using BadPixelKernel = void (*)(const uint16_t* src, uint16_t* dst, uint64_t height, uint64_t width,
                                uint16_t constant, uint32_t green_parity);

ORVEX_DECLARE_PER_ISA(void fix_bad_pixels(const uint16_t* src, uint16_t* dst, uint64_t height, uint64_t width,
                                          uint16_t constant, uint32_t green_parity))

}  // namespace orvex
