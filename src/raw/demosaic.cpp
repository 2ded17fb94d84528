#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"
#include "raw/demosaic_kernels.h"

// The descriptors' reserved field is not examined by the demosaic.
extern "C" ORVEX_API orvex_status orvex_bilinear_demosaic(const orvex_image* src, const orvex_image* dst,
                                                          const uint32_t* cfa_pattern) {
    using namespace orvex;
    if (src == nullptr || dst == nullptr || cfa_pattern == nullptr || src->data == nullptr || dst->data == nullptr)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (src->channels != 1) return ORVEX_ERR_INVALID_ARGUMENT;
    if (dst->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (dst->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->height != dst->height || src->width != dst->width) return ORVEX_ERR_SHAPE_MISMATCH;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    for (int i = 0; i < 4; ++i)
        if (cfa_pattern[i] > 2) return ORVEX_ERR_INVALID_ARGUMENT;
    // No pixel: done, without walking the rows of an empty image.
    if (src->height == 0 || src->width == 0) return ORVEX_OK;
    kernel_table::bilinear_demosaic.active()(static_cast<const float*>(src->data), static_cast<float*>(dst->data),
                                             src->height, src->width, cfa_pattern);
    return ORVEX_OK;
}

// Not provided: no argument is read.
extern "C" ORVEX_API orvex_status orvex_vng_demosaic(const orvex_image*, const orvex_image*, const uint32_t*) {
    return ORVEX_ERR_UNSUPPORTED;
}
