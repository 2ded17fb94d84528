#include "raw/normalize_general.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>
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

constexpr size_t kSixteenBitValues = 65536;

// Replaces each sample by its table entry: the sample truncated toward zero,
// then limited to count - 1 and to 0.
void linearize_row(const float* src, float* out, size_t n, const uint16_t* table, int32_t count) {
    for (size_t i = 0; i < n; ++i) {
        int32_t entry = trunc_i32(src[i]);
        if (entry >= count) entry = count - 1;
        if (entry < 0) entry = 0;
        out[i] = static_cast<float>(table[entry]);
    }
}

// A 16-bit sample is its own truncation and never negative.
void linearize_row(const uint16_t* src, float* out, size_t n, const uint16_t* table, int32_t count) {
    const uint32_t last = static_cast<uint32_t>(count) - 1;
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(table[std::min<uint32_t>(src[i], last)]);
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
    // A 16-bit source reads at most 65536 table entries; when the image has
    // at least as many samples, they are converted to floats once and the
    // row kernel looks them up itself.
    std::vector<float> linear_value;
    if constexpr (std::is_same_v<Src, uint16_t>) {
        const size_t entries = std::min<size_t>(static_cast<size_t>(lv.table_count), kSixteenBitValues);
        if (lv.table != nullptr && entries <= height * row_samples)
            linear_value.assign(lv.table, lv.table + entries);
    }
    std::vector<float> linear(lv.table != nullptr && linear_value.empty() ? row_samples : 0);
    // Linearised samples reach the kernel as floats.
    const uint32_t row_dtype = lv.table == nullptr && sizeof(Src) == 2 ? ORVEX_DTYPE_UINT16 : ORVEX_DTYPE_FLOAT32;
    const NormalizeGeneralRowKernel row_kernel = kernel_table::general_normalize_row.active()(row_dtype);
    const auto table_row_kernel = kernel_table::general_normalize_table_row.active();
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
        const auto through_scratch = [&] {
            if (lv.table != nullptr) {
                linearize_row(src_row, linear.data(), row_samples, lv.table, lv.table_count);
                row_kernel(linear.data(), dst_row, row_samples, row_black, g, white.data());
            } else {
                row_kernel(src_row, dst_row, row_samples, row_black, g, white.data());
            }
        };
        if constexpr (std::is_same_v<Src, uint16_t>) {
            if (!linear_value.empty())
                table_row_kernel(src_row, dst_row, row_samples, linear_value.data(),
                                 static_cast<uint32_t>(linear_value.size() - 1), row_black, g, white.data());
            else
                through_scratch();
        } else {
            through_scratch();
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
