#include "frame/convert_kernels.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "frame/nominal_max.h"
#include "orvex.h"

extern "C" ORVEX_API orvex_status orvex_convert_dtype(const orvex_image* src, const orvex_image* dst,
                                                      int32_t src_bits, int32_t dst_bits, float clip_limit) {
    using namespace orvex;
    if (!has_data(src) || !has_data(dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst) || src->channels != dst->channels) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    const float src_max = nominal_max(src->dtype, src_bits);
    const float dst_max = nominal_max(dst->dtype, dst_bits);
    if (src_max == 0.0f || dst_max == 0.0f) return ORVEX_ERR_UNSUPPORTED;
    if (!is_known_dtype(src->dtype) || !is_known_dtype(dst->dtype)) return ORVEX_ERR_UNSUPPORTED;
    const uint64_t n = sample_count(*src);
    if (n == 0) return ORVEX_OK;

    // An integer destination ignores a limit at or above its full scale; a
    // float destination keeps it. A negative or NaN limit is never in force.
    float limit = clip_limit;
    if (limit >= 0.0f && dst->dtype != ORVEX_DTYPE_FLOAT32 && limit >= dst_max) limit = -1.0f;
    const bool limited = limit >= 0.0f;
    const float scale = dst_max / src_max;

    const ConvertKernel kernel = kernel_table::convert.active()(src->dtype, dst->dtype, limited);
    kernel(src->data, dst->data, static_cast<size_t>(n), scale, limit);
    return ORVEX_OK;
}
