#include <cstddef>
#include <vector>

#include "frame/guard.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"
#include "raw/normalize_general.h"
#include "raw/normalize_kernels.h"
#include "raw/raw_levels.h"

namespace orvex {
namespace {

// An optional array is used only with a pointer and a positive count.
template <class T>
bool present(const T* array, int32_t count) {
    return array != nullptr && count > 0;
}

// 1 / (w - b) for a positive range, else 0.
float reciprocal_range(float white, float black) {
    const float range = white - black;
    return range > 0.0f ? 1.0f / range : 0.0f;
}

void run_fast(const orvex_image& src, const orvex_image& dst, int period, size_t rows, size_t row_samples,
              const NormalizePattern& pattern) {
    const NormalizeFastKernel kernel = kernel_table::fast_normalize.active()(src.dtype, period);
    kernel(src.data, static_cast<float*>(dst.data), rows, row_samples, pattern);
}

// The three common layouts use precomputed reciprocals; returns false for
// every other layout.
bool normalize_fast(const orvex_image& src, const orvex_image& dst, const RawLevels& lv) {
    if (lv.delta_h != nullptr || lv.delta_v != nullptr || lv.table != nullptr) return false;
    const size_t height = static_cast<size_t>(src.height);
    const size_t width = static_cast<size_t>(src.width);
    NormalizePattern pattern{};
    if (lv.channels == 1 && lv.black_rows == 1 && lv.black_cols == 1) {
        pattern.black[0] = pattern.black[1] = lv.black_level[0];
        pattern.factor[0] = pattern.factor[1] = reciprocal_range(lv.white_level[0], lv.black_level[0]);
        run_fast(src, dst, 1, 1, height * width, pattern);
        return true;
    }
    if (lv.channels == 3 && lv.black_rows == 1 && lv.black_cols == 1) {
        for (int k = 0; k < 3; ++k) {
            pattern.black[k] = pattern.black[3 + k] = lv.black_level[k];
            pattern.factor[k] = pattern.factor[3 + k] =
                reciprocal_range(lv.white_level[k % lv.white_count], lv.black_level[k]);
        }
        run_fast(src, dst, 3, 1, height * width * 3, pattern);
        return true;
    }
    if (lv.channels == 1 && lv.black_rows == 2 && lv.black_cols == 2) {
        for (int k = 0; k < 4; ++k) {
            pattern.black[k] = lv.black_level[k];
            pattern.factor[k] = reciprocal_range(lv.white_level[0], lv.black_level[k]);
        }
        run_fast(src, dst, 2, height, width, pattern);
        return true;
    }
    return false;
}

// Gathers the per-column black offsets once, then runs the general rule.
void normalize_general_case(const orvex_image& src, const orvex_image& dst, const RawLevels& lv) {
    const size_t width = static_cast<size_t>(src.width);
    std::vector<float> column_black(width, 0.0f);
    if (lv.delta_h != nullptr) {
        size_t j = 0;
        for (size_t c = 0; c < width; ++c) {
            column_black[c] = lv.delta_h[j];
            if (++j == static_cast<size_t>(lv.delta_h_count)) j = 0;
        }
    }
    normalize_general(src.dtype, src.data, static_cast<float*>(dst.data), src.height, src.width, lv,
                      column_black.data());
}

}  // namespace
}  // namespace orvex

// Positions are computed in 64 bits from the full descriptor sizes, so any
// image whose buffer exists is addressed correctly.
extern "C" ORVEX_API orvex_status orvex_normalize_raw(
    const orvex_image* src, const orvex_image* dst, const float* black_level, int32_t black_level_rows,
    int32_t black_level_cols, int32_t channel_count, const float* white_level, int32_t white_level_count,
    const float* black_delta_h, int32_t black_delta_h_count, const float* black_delta_v,
    int32_t black_delta_v_count, const uint16_t* linearization_table, int32_t linearization_table_count) {
    using namespace orvex;
    if (!has_data(src) || !has_data(dst) || black_level == nullptr || white_level == nullptr)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if ((src->dtype != ORVEX_DTYPE_UINT16 && src->dtype != ORVEX_DTYPE_FLOAT32) ||
        dst->dtype != ORVEX_DTYPE_FLOAT32)
        return ORVEX_ERR_UNSUPPORTED;
    const uint64_t channels = static_cast<uint64_t>(static_cast<int64_t>(channel_count));
    if (src->channels != channels || dst->channels != channels) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (black_level_rows < 1 || black_level_cols < 1 || channel_count < 1 || white_level_count < 1)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->height == 0 || src->width == 0) return ORVEX_OK;

    const bool has_h = present(black_delta_h, black_delta_h_count);
    const bool has_v = present(black_delta_v, black_delta_v_count);
    const bool has_table = present(linearization_table, linearization_table_count);
    const RawLevels levels{black_level,
                           black_level_rows,
                           black_level_cols,
                           channel_count,
                           white_level,
                           white_level_count,
                           has_h ? black_delta_h : nullptr,
                           has_h ? black_delta_h_count : 0,
                           has_v ? black_delta_v : nullptr,
                           has_v ? black_delta_v_count : 0,
                           has_table ? linearization_table : nullptr,
                           has_table ? linearization_table_count : 0};
    if (normalize_fast(*src, *dst, levels)) return ORVEX_OK;
    return call_guarded([&] {
        normalize_general_case(*src, *dst, levels);
        return ORVEX_OK;
    });
}
