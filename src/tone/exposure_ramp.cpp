#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"
#include "tone/exposure_ramp_kernels.h"

extern "C" ORVEX_API orvex_status orvex_apply_exposure_ramp(const orvex_image* src, const orvex_image* dst,
                                                            double white, double black, double toe_width,
                                                            bool unclipped) {
    using namespace orvex;
    if (!has_data(src) || !has_data(dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->dtype != ORVEX_DTYPE_FLOAT32 || dst->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (src->channels != 3 || dst->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    // Every sample the descriptors hold is mapped, however large the image.
    const uint64_t n = sample_count(*src);
    if (n == 0) return ORVEX_OK;

    const ExposureCurve curve = make_exposure_curve(white, black, toe_width);
    kernel_table::exposure_ramp.active()(static_cast<const float*>(src->data), static_cast<float*>(dst->data),
                                         static_cast<size_t>(n), curve, unclipped);
    return ORVEX_OK;
}
