// Block iteration for the per-instruction-set kernels of the area operations.
// Include after defining ORVEX_ISA; everything lives in orvex::<isa>.
#pragma once

#include <cstddef>
#include <cstring>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA {

// The largest block a kernel may ask for: four vectors.
inline constexpr size_t kMaxBlockSamples = 4 * simd::kLanes;

// Calls run(p) on each full block of `block` samples of d[0, n), then once on
// a zero-padded copy of the remainder, which is copied back. Every lane is
// computed on its own, so the padding never changes a stored sample.
template <class Run>
void for_each_block(float* d, size_t n, size_t block, Run&& run) {
    size_t i = 0;
    for (; i + block <= n; i += block)
        run(d + i);
    if (i < n) {
        float tail[kMaxBlockSamples] = {};
        std::memcpy(tail, d + i, (n - i) * sizeof(float));
        run(tail);
        std::memcpy(d + i, tail, (n - i) * sizeof(float));
    }
}

}  // namespace orvex::ORVEX_ISA
