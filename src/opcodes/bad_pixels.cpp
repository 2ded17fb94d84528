#include "frame/image.h"
#include "frame/kernel_table.h"
#include "opcodes/bad_pixels_kernels.h"
#include "orvex.h"

// Positions are computed in 64 bits, so any image whose buffer exists is
// addressed correctly.
extern "C" ORVEX_API orvex_status orvex_fix_bad_pixels_constant(const orvex_image* src, const orvex_image* dst,
                                                                int32_t constant, uint32_t bayer_phase) {
    using namespace orvex;
    if (src == nullptr || src->data == nullptr || dst == nullptr || dst->data == nullptr)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->dtype != ORVEX_DTYPE_UINT16 || dst->dtype != ORVEX_DTYPE_UINT16) return ORVEX_ERR_UNSUPPORTED;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->channels != 1 || dst->channels != 1) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->height != dst->height || src->width != dst->width) return ORVEX_ERR_SHAPE_MISMATCH;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    // No pixel: done, without walking the rows of an empty image.
    if (src->height == 0 || src->width == 0) return ORVEX_OK;
    // Only the parity of i + j + phase + (phase >> 1) matters.
    const uint32_t green_parity = (bayer_phase + (bayer_phase >> 1)) & 1u;
    const BadPixelKernel kernel = kernel_table::fix_bad_pixels.active();
    kernel(static_cast<const uint16_t*>(src->data), static_cast<uint16_t*>(dst->data), src->height, src->width,
           static_cast<uint16_t>(static_cast<uint32_t>(constant)), green_parity);
    return ORVEX_OK;
}
