#include "frame/image.h"
#include "frame/kernel_table.h"
#include "frame/nominal_max.h"
#include "orvex.h"
#include "tone/mono_lut_kernels.h"

extern "C" ORVEX_API orvex_status orvex_mono_lut(const orvex_image* src, const orvex_image* dst, const float* lut,
                                                 uint64_t lut_size, int32_t src_bits, int32_t dst_bits) {
    using namespace orvex;
    if (!has_data(src) || !has_data(dst) || lut == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (lut_size < 2) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->channels != 1 || dst->channels != 1) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    const float src_max = nominal_max(src->dtype, src_bits);
    const float dst_max = nominal_max(dst->dtype, dst_bits);
    if (src_max == 0.0f || dst_max == 0.0f) return ORVEX_ERR_UNSUPPORTED;
    if (!is_known_dtype(src->dtype) || !is_known_dtype(dst->dtype)) return ORVEX_ERR_UNSUPPORTED;
    const uint64_t n = sample_count(*src);
    if (n == 0) return ORVEX_OK;

    const MonoLutMode mode =
        src->dtype == ORVEX_DTYPE_UINT8 && lut_size == 256 ? MonoLutMode::direct : MonoLutMode::interpolated;
    const float last = static_cast<float>(lut_size - 1);
    const MonoLutTable table{lut, lut_size - 1, last, last / src_max, dst_max};
    const MonoLutKernel kernel = kernel_table::mono_lut.active()(src->dtype, dst->dtype, mode, lut_size);
    kernel(src->data, dst->data, static_cast<size_t>(n), table);
    return ORVEX_OK;
}
