// Lookups of 8-bit samples in a 256-entry table, for kernel translation
// units built once per instruction set (define ORVEX_ISA first). The vector
// sets hold the table in sixteen registers of 16-byte rows: a byte shuffle
// reads each row at the sample's low four bits, and the four high bits pick
// the row in a tree of blends. src and dst may be the same buffer.
#pragma once

#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including frame/byte_lookup.h"
#endif

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace orvex::ORVEX_ISA {

// dst[i] = table[src[i]] for any entry type, four samples per step.
template <class T>
void lookup_by_byte(const T* table, const uint8_t* src, T* dst, size_t n) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const T a = table[src[i]];
        const T b = table[src[i + 1]];
        const T c = table[src[i + 2]];
        const T d = table[src[i + 3]];
        dst[i] = a;
        dst[i + 1] = b;
        dst[i + 2] = c;
        dst[i + 3] = d;
    }
    for (; i < n; ++i)
        dst[i] = table[src[i]];
}

#if defined(__AVX512BW__)

inline void lookup_bytes(const uint8_t* table, const uint8_t* src, uint8_t* dst, size_t n) {
    __m512i rows[16];
    for (int k = 0; k < 16; ++k)
        rows[k] = _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * k)));
    const __m512i low_bits = _mm512_set1_epi8(0x0F);
    size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i x = _mm512_loadu_si512(src + i);
        const __m512i low = _mm512_and_si512(x, low_bits);
        const __mmask64 bit4 = _mm512_test_epi8_mask(x, _mm512_set1_epi8(0x10));
        const __mmask64 bit5 = _mm512_test_epi8_mask(x, _mm512_set1_epi8(0x20));
        const __mmask64 bit6 = _mm512_test_epi8_mask(x, _mm512_set1_epi8(0x40));
        const __mmask64 bit7 = _mm512_movepi8_mask(x);
        __m512i by_bit4[8];
        for (int k = 0; k < 8; ++k)
            by_bit4[k] =
                _mm512_mask_shuffle_epi8(_mm512_shuffle_epi8(rows[2 * k], low), bit4, rows[2 * k + 1], low);
        __m512i by_bit5[4];
        for (int k = 0; k < 4; ++k)
            by_bit5[k] = _mm512_mask_blend_epi8(bit5, by_bit4[2 * k], by_bit4[2 * k + 1]);
        const __m512i by_bit6_low = _mm512_mask_blend_epi8(bit6, by_bit5[0], by_bit5[1]);
        const __m512i by_bit6_high = _mm512_mask_blend_epi8(bit6, by_bit5[2], by_bit5[3]);
        _mm512_storeu_si512(dst + i, _mm512_mask_blend_epi8(bit7, by_bit6_low, by_bit6_high));
    }
    lookup_by_byte(table, src + i, dst + i, n - i);
}

#elif defined(__AVX2__)

inline void lookup_bytes(const uint8_t* table, const uint8_t* src, uint8_t* dst, size_t n) {
    __m256i rows[16];
    for (int k = 0; k < 16; ++k)
        rows[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * k)));
    const __m256i low_bits = _mm256_set1_epi8(0x0F);
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i low = _mm256_and_si256(x, low_bits);
        // A byte blend follows bit 7 of its selector: shifting a 16-bit lane
        // left by 3, 2 or 1 moves bit 4, 5 or 6 of each byte there.
        const __m256i bit4 = _mm256_slli_epi16(x, 3);
        const __m256i bit5 = _mm256_slli_epi16(x, 2);
        const __m256i bit6 = _mm256_slli_epi16(x, 1);
        __m256i by_bit4[8];
        for (int k = 0; k < 8; ++k)
            by_bit4[k] = _mm256_blendv_epi8(_mm256_shuffle_epi8(rows[2 * k], low),
                                            _mm256_shuffle_epi8(rows[2 * k + 1], low), bit4);
        __m256i by_bit5[4];
        for (int k = 0; k < 4; ++k)
            by_bit5[k] = _mm256_blendv_epi8(by_bit4[2 * k], by_bit4[2 * k + 1], bit5);
        const __m256i by_bit6_low = _mm256_blendv_epi8(by_bit5[0], by_bit5[1], bit6);
        const __m256i by_bit6_high = _mm256_blendv_epi8(by_bit5[2], by_bit5[3], bit6);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(by_bit6_low, by_bit6_high, x));
    }
    lookup_by_byte(table, src + i, dst + i, n - i);
}

#else

inline void lookup_bytes(const uint8_t* table, const uint8_t* src, uint8_t* dst, size_t n) {
    lookup_by_byte(table, src, dst, n);
}

#endif

}  // namespace orvex::ORVEX_ISA
