// Stores for kernels compiled once per instruction set (define ORVEX_ISA
// first): aligned and streaming stores of float vectors.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/simd.h"

namespace orvex::ORVEX_ISA {

// Outputs at least this large are written with streaming stores: they would
// not stay in the caches anyway, and streaming saves reading every line before
// it is written.
inline constexpr uint64_t kStreamingBytes = uint64_t{16} << 20;

inline constexpr uintptr_t kVectorBytes = sizeof(simd::vf);

inline bool vector_aligned(const float* p) { return reinterpret_cast<uintptr_t>(p) % kVectorBytes == 0; }

// Floats from p to the first vector-aligned address; 0 when p is not
// float-aligned.
inline size_t floats_to_alignment(const float* p) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(p);
    if (address % sizeof(float) != 0) return 0;
    return (kVectorBytes - address % kVectorBytes) % kVectorBytes / sizeof(float);
}

// p must be vector-aligned when Streaming is set.
template <bool Streaming>
inline void store_vector(float* p, simd::vf v) {
#if defined(__AVX512F__)
    if constexpr (Streaming)
        _mm512_stream_ps(p, v);
    else
        _mm512_storeu_ps(p, v);
#elif defined(__AVX2__)
    if constexpr (Streaming)
        _mm256_stream_ps(p, v);
    else
        _mm256_storeu_ps(p, v);
#else
    if constexpr (Streaming)
        _mm_stream_ps(p, v);
    else
        _mm_storeu_ps(p, v);
#endif
}

// Orders streaming stores before anything the caller does next.
inline void end_streaming() { _mm_sfence(); }

}  // namespace orvex::ORVEX_ISA
