#include "raw/normalize_general.h"

#include <cstddef>
#include <vector>

#include "frame/kernel_table.h"
#include "orvex.h"
#include "raw/normalize_kernels.h"

// The table lookup is built for every CPU, with the baseline primitives.
#define ORVEX_ISA baseline
#include "frame/simd.h"

namespace orvex {
namespace {

using baseline::simd::trunc_i32;

// Pattern rows whose per-sample black levels are prepared once per call;
// taller patterns prepare each row's levels when the row is reached.
constexpr int32_t kPreparedPatternRows = 16;

float linearize(float v, const uint16_t* table, int32_t count) {
    int32_t i = trunc_i32(v);
    if (i >= count) i = count - 1;
    if (i < 0) i = 0;
    return static_cast<float>(table[i]);
}

// column_black[c] + pattern[c % black_cols][k] for every sample of a row, in
// that order of addition.
void fill_sample_black(float* out, int32_t pattern_row, uint64_t width, const RawLevels& lv,
                       const float* column_black) {
    const size_t channels = static_cast<size_t>(lv.channels);
    const float* pattern =
        lv.black_level + static_cast<size_t>(pattern_row) * static_cast<size_t>(lv.black_cols) * channels;
    size_t pattern_col = 0;
    for (uint64_t c = 0; c < width; ++c) {
        const float* p = pattern + pattern_col * channels;
        for (size_t k = 0; k < channels; ++k)
            out[c * channels + k] = column_black[c] + p[k];
        if (++pattern_col == static_cast<size_t>(lv.black_cols)) pattern_col = 0;
    }
}

template <class Src>
void normalize_rows(const Src* src, float* dst, uint64_t height, uint64_t width, const RawLevels& lv,
                    const float* column_black) {
    const size_t channels = static_cast<size_t>(lv.channels);
    const size_t row_samples = static_cast<size_t>(width) * channels;
    std::vector<float> white(row_samples);
    for (size_t i = 0; i < row_samples; ++i)
        white[i] = lv.white_level[(i % channels) % static_cast<size_t>(lv.white_count)];
    const bool prepared = lv.black_rows <= kPreparedPatternRows;
    std::vector<float> sample_black((prepared ? static_cast<size_t>(lv.black_rows) : 1) * row_samples);
    if (prepared)
        for (int32_t p = 0; p < lv.black_rows; ++p)
            fill_sample_black(sample_black.data() + static_cast<size_t>(p) * row_samples, p, width, lv,
                              column_black);
    std::vector<float> linear(lv.table != nullptr ? row_samples : 0);
    // Linearised samples reach the kernel as floats.
    const uint32_t row_dtype = lv.table == nullptr && sizeof(Src) == 2 ? ORVEX_DTYPE_UINT16 : ORVEX_DTYPE_FLOAT32;
    const NormalizeGeneralRowKernel row_kernel = kernel_table::general_normalize_row.active()(row_dtype);
    int32_t pattern_row = 0;
    int32_t delta_row = 0;
    for (uint64_t r = 0; r < height; ++r) {
        const Src* src_row = src + r * row_samples;
        float* dst_row = dst + r * row_samples;
        const float* row_black = sample_black.data();
        if (prepared)
            row_black += static_cast<size_t>(pattern_row) * row_samples;
        else
            fill_sample_black(sample_black.data(), pattern_row, width, lv, column_black);
        const float g = lv.delta_v != nullptr ? lv.delta_v[delta_row] : 0.0f;
        if (lv.table != nullptr) {
            for (size_t i = 0; i < row_samples; ++i)
                linear[i] = linearize(static_cast<float>(src_row[i]), lv.table, lv.table_count);
            row_kernel(linear.data(), dst_row, row_samples, row_black, g, white.data());
        } else {
            row_kernel(src_row, dst_row, row_samples, row_black, g, white.data());
        }
        if (++pattern_row == lv.black_rows) pattern_row = 0;
        if (lv.delta_v != nullptr && ++delta_row == lv.delta_v_count) delta_row = 0;
    }
}

}  // namespace

void normalize_general(uint32_t src_dtype, const void* src, float* dst, uint64_t height, uint64_t width,
                       const RawLevels& levels, const float* column_black) {
    if (src_dtype == ORVEX_DTYPE_UINT16)
        normalize_rows(static_cast<const uint16_t*>(src), dst, height, width, levels, column_black);
    else
        normalize_rows(static_cast<const float*>(src), dst, height, width, levels, column_black);
}

}  // namespace orvex
