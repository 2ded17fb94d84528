// Radial vignette correction: every pixel is scaled by an even polynomial of
// its distance from the optical centre.
#include <cstdint>

#include "frame/image.h"
#include "frame/kernel_table.h"
#include "opcodes/normalising_radius.h"
#include "opcodes/vignette_kernels.h"
#include "orvex.h"

extern "C" ORVEX_API orvex_status orvex_fix_vignette(const orvex_image* image, const double* coefficients,
                                                     int32_t coefficient_count, double center_x, double center_y) {
    using namespace orvex;
    if (!has_data(image) || coefficients == nullptr || coefficient_count <= 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (sample_count(*image) == 0) return ORVEX_OK;

    VignetteImage target{};
    target.samples = static_cast<float*>(image->data);
    target.height = image->height;
    target.width = image->width;
    target.channels = image->channels;
    target.cx = static_cast<double>(image->width) * center_x;
    target.cy = static_cast<double>(image->height) * center_y;
    target.radius = normalising_radius(image->width, image->height, center_x, center_y);
    target.coef = coefficients;
    const int used = coefficient_count < 5 ? coefficient_count : 5;
    kernel_table::vignette.active()(used)(target);
    return ORVEX_OK;
}
