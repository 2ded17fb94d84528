#include "color/clip_and_transform_kernels.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"

extern "C" ORVEX_API orvex_status orvex_clip_and_transform_color(const orvex_image* src, const orvex_image* dst,
                                                                 const float* clip_limits, const float* matrix) {
    using namespace orvex;
    if (src == nullptr || dst == nullptr || clip_limits == nullptr || matrix == nullptr)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->data == nullptr || dst->data == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->dtype != ORVEX_DTYPE_FLOAT32 || dst->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->channels != 3 || dst->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    const uint64_t pixels = src->height * src->width;
    if (pixels == 0) return ORVEX_OK;

    kernel_table::clip_and_transform.active()(static_cast<const float*>(src->data), static_cast<float*>(dst->data),
                                              static_cast<size_t>(pixels), clip_limits, matrix);
    return ORVEX_OK;
}
