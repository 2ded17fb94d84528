// Kernels of the area gain map: gains that grow linearly along a run of
// pixels, written to a buffer, and the scaling of samples by such a buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Whole vectors of gains that fill_ramp may write past the end of its run.
inline constexpr size_t kRampSpill = 3 * 16;

// For pixel i < pixels and channel c < channels: gains[i * channels + c] =
// (k0 + i) * slope[c] + value[c], in float. k0 + pixels - 1 must not exceed
// 2^24, so every counter value is exact. Up to kRampSpill further floats may
// be written after the run: the caller leaves room and overwrites them with
// the next run.
using FillRampKernel = void (*)(float* gains, size_t pixels, float k0, const float* slope, const float* value);

// samples[i] = clamp(gains[i] * samples[i]) to 0..1, for i < n.
using ApplyGainsKernel = void (*)(float* samples, const float* gains, size_t n);

// channels is 1 or 3.
ORVEX_DECLARE_PER_ISA(FillRampKernel select_fill_ramp_kernel(uint64_t channels))
ORVEX_DECLARE_PER_ISA(void apply_gains(float* samples, const float* gains, size_t n))

}  // namespace orvex
