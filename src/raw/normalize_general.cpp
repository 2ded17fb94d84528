#include "raw/normalize_general.h"

#include <cstddef>

#include "orvex.h"

// Built for every CPU, with the baseline vector primitives.
#define ORVEX_ISA baseline
#include "frame/simd.h"

namespace orvex {
namespace {

using baseline::simd::clamp_unit_keep_minus_zero;
using baseline::simd::trunc_i32;

float linearize(float v, const uint16_t* table, int32_t count) {
    int32_t i = trunc_i32(v);
    if (i >= count) i = count - 1;
    if (i < 0) i = 0;
    return static_cast<float>(table[i]);
}

// Pattern positions advance by counters that wrap, so no division is done
// per sample.
template <class Src, bool Linearize>
void normalize_rows(const Src* src, float* dst, uint64_t height, uint64_t width, const RawLevels& lv,
                    const float* column_black) {
    const size_t channels = static_cast<size_t>(lv.channels);
    const size_t pattern_row_size = static_cast<size_t>(lv.black_cols) * channels;
    size_t pattern_row = 0;
    size_t delta_row = 0;
    size_t i = 0;
    for (uint64_t r = 0; r < height; ++r) {
        const float g = lv.delta_v != nullptr ? lv.delta_v[delta_row] : 0.0f;
        const float* pattern = lv.black_level + pattern_row * pattern_row_size;
        size_t pattern_col = 0;
        for (uint64_t c = 0; c < width; ++c) {
            const float* p = pattern + pattern_col * channels;
            const float h = column_black[c];
            size_t white_index = 0;
            for (size_t k = 0; k < channels; ++k, ++i) {
                float v = static_cast<float>(src[i]);
                if constexpr (Linearize) v = linearize(v, lv.table, lv.table_count);
                const float b = (h + p[k]) + g;
                const float d = lv.white_level[white_index] - b;
                dst[i] = clamp_unit_keep_minus_zero(d > 0.0f ? (v - b) / d : 0.0f);
                if (++white_index == static_cast<size_t>(lv.white_count)) white_index = 0;
            }
            if (++pattern_col == static_cast<size_t>(lv.black_cols)) pattern_col = 0;
        }
        if (++pattern_row == static_cast<size_t>(lv.black_rows)) pattern_row = 0;
        if (lv.delta_v != nullptr && ++delta_row == static_cast<size_t>(lv.delta_v_count)) delta_row = 0;
    }
}

template <class Src>
void normalize_typed(const void* src, float* dst, uint64_t height, uint64_t width, const RawLevels& lv,
                     const float* column_black) {
    if (lv.table != nullptr)
        normalize_rows<Src, true>(static_cast<const Src*>(src), dst, height, width, lv, column_black);
    else
        normalize_rows<Src, false>(static_cast<const Src*>(src), dst, height, width, lv, column_black);
}

}  // namespace

void normalize_general(uint32_t src_dtype, const void* src, float* dst, uint64_t height, uint64_t width,
                       const RawLevels& levels, const float* column_black) {
    if (src_dtype == ORVEX_DTYPE_UINT16)
        normalize_typed<uint16_t>(src, dst, height, width, levels, column_black);
    else
        normalize_typed<float>(src, dst, height, width, levels, column_black);
}

}  // namespace orvex
