// Sample type conversion kernels: one per source type, destination type and
// limit mode, each built for every instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Converts n samples: v = x * scale, then v < limit ? v : limit when limited,
// then the store of the destination type.
using ConvertKernel = void (*)(const void* src, void* dst, size_t n, float scale, float limit);

ORVEX_DECLARE_PER_ISA(ConvertKernel select_convert_kernel(uint32_t src_dtype, uint32_t dst_dtype, bool limited))

}  // namespace orvex
