// Interleaving store of three channel vectors as consecutive pixels, for
// kernels compiled once per instruction set (define ORVEX_ISA first); 128 and
// 256-bit vectors only.
#pragma once

#include "frame/simd.h"
#include "raw/vector_stores.h"

#if defined(__AVX512F__)
#error "the interleaving store has no 512-bit form"
#endif

namespace orvex::ORVEX_ISA {

#if defined(__AVX2__)

// Each 128-bit half is interleaved on its own (r0 g0 b0 r1 | g1 b1 r2 g2 |
// b2 r3 g3 b3), then the halves are put in order.
class RgbStore {
public:
    template <bool Streaming>
    void store(float* p, simd::vf r, simd::vf g, simd::vf b) const {
        const __m256 rg_low = _mm256_unpacklo_ps(r, g);
        const __m256 rg_high = _mm256_unpackhi_ps(r, g);
        const __m256 q0 =
            _mm256_shuffle_ps(rg_low, _mm256_shuffle_ps(b, r, _MM_SHUFFLE(1, 1, 0, 0)), _MM_SHUFFLE(2, 0, 1, 0));
        const __m256 q1 =
            _mm256_shuffle_ps(_mm256_shuffle_ps(g, b, _MM_SHUFFLE(1, 1, 1, 1)), rg_high, _MM_SHUFFLE(1, 0, 2, 0));
        const __m256 q2 =
            _mm256_shuffle_ps(_mm256_shuffle_ps(b, r, _MM_SHUFFLE(3, 3, 2, 2)),
                              _mm256_shuffle_ps(g, b, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
        store_vector<Streaming>(p, _mm256_permute2f128_ps(q0, q1, 0x20));
        store_vector<Streaming>(p + 8, _mm256_permute2f128_ps(q2, q0, 0x30));
        store_vector<Streaming>(p + 16, _mm256_permute2f128_ps(q1, q2, 0x31));
    }
};

#else

// r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3.
class RgbStore {
public:
    template <bool Streaming>
    void store(float* p, simd::vf r, simd::vf g, simd::vf b) const {
        const __m128 rg_low = _mm_unpacklo_ps(r, g);
        const __m128 rg_high = _mm_unpackhi_ps(r, g);
        store_vector<Streaming>(
            p, _mm_shuffle_ps(rg_low, _mm_shuffle_ps(b, r, _MM_SHUFFLE(1, 1, 0, 0)), _MM_SHUFFLE(2, 0, 1, 0)));
        store_vector<Streaming>(
            p + 4, _mm_shuffle_ps(_mm_shuffle_ps(g, b, _MM_SHUFFLE(1, 1, 1, 1)), rg_high, _MM_SHUFFLE(1, 0, 2, 0)));
        store_vector<Streaming>(
            p + 8, _mm_shuffle_ps(_mm_shuffle_ps(b, r, _MM_SHUFFLE(3, 3, 2, 2)),
                                  _mm_shuffle_ps(g, b, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0)));
    }
};

#endif

}  // namespace orvex::ORVEX_ISA
