// Single-channel tone table kernels: one per source type, destination type
// and lookup mode, each built for every instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// A table of last_index + 1 entries over the source range 0 .. S, read at
// p = x * scale clamped to 0 .. last, with last = float(last_index).
// Results are clamped to 0..1 and scaled by out_max before the store.
struct MonoLutTable {
    const float* lut;
    uint64_t last_index;
    float last;
    float scale;
    float out_max;
};

// Direct: an 8-bit source indexes a 256-entry table by its byte value.
enum class MonoLutMode { direct, interpolated };

// Maps n samples from src to dst.
using MonoLutKernel = void (*)(const void* src, void* dst, size_t n, const MonoLutTable& table);

ORVEX_DECLARE_PER_ISA(MonoLutKernel select_mono_lut_kernel(uint32_t src_dtype, uint32_t dst_dtype, MonoLutMode mode,
                                                           uint64_t lut_size))

}  // namespace orvex
