#include <cstdint>
#include <vector>

#include "frame/guard.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "opcodes/normalising_radius.h"
#include "opcodes/warp_cubic_table.h"
#include "opcodes/warp_kernels.h"
#include "orvex.h"

namespace orvex {
namespace {

std::vector<WarpPlane> prepare_planes(const double* coefficients, int32_t coefficient_count,
                                      const double* tangential, uint64_t plane_count) {
    std::vector<WarpPlane> planes(plane_count);
    const int terms = coefficient_count < 4 ? coefficient_count : 4;
    for (uint64_t i = 0; i < plane_count; ++i) {
        WarpPlane& plane = planes[i];
        const double* radial = coefficients + i * static_cast<uint64_t>(coefficient_count);
        for (int k = 0; k < 4; ++k)
            plane.radial[k] = k < terms ? radial[k] : 0.0;
        plane.radial_terms = terms;
        plane.kt0 = tangential != nullptr ? tangential[2 * i] : 0.0;
        plane.kt1 = tangential != nullptr ? tangential[2 * i + 1] : 0.0;
        plane.tangential = plane.kt0 != 0.0 || plane.kt1 != 0.0;
        plane.kt0_twice = plane.kt0 + plane.kt0;
        plane.kt1_twice = plane.kt1 + plane.kt1;
    }
    return planes;
}

// The vector kernels index samples with 32-bit integers.
bool fits_32bit_positions(const orvex_image& image) {
    constexpr uint64_t limit = uint64_t{1} << 31;
    if (image.width >= limit || image.channels >= limit) return false;
    const uint64_t row = image.width * image.channels;
    return row < limit && image.height < limit && row * image.height < limit;
}

orvex_status warp(const orvex_image& src, const orvex_image& dst, const double* coefficients, int32_t planes,
                  int32_t coefficient_count, const double* tangential, double center_x, double center_y,
                  bool cubic) {
    const double radius = normalising_radius(src.width, src.height, center_x, center_y);
    if (src.height == 0 || src.width == 0 || src.channels == 0) return ORVEX_OK;

    const uint64_t plane_count =
        static_cast<uint64_t>(planes) < src.channels ? static_cast<uint64_t>(planes) : src.channels;
    const std::vector<WarpPlane> models = prepare_planes(coefficients, coefficient_count, tangential, plane_count);

    // A 4 x 4 window needs 4 rows and 4 columns; smaller images are resampled
    // bilinearly instead of reading outside the source.
    const bool cubic_fits = cubic && src.width >= 4 && src.height >= 4;

    WarpJob job{};
    job.src = static_cast<const float*>(src.data);
    job.dst = static_cast<float*>(dst.data);
    job.height = src.height;
    job.width = src.width;
    job.channels = src.channels;
    job.planes = models.data();
    job.plane_count = plane_count;
    job.cx = static_cast<double>(src.width) * center_x;
    job.cy = static_cast<double>(src.height) * center_y;
    job.radius = radius;
    job.inv_radius = 1.0 / radius;
    job.twice_inv_radius = 2.0 / radius;
    job.max_x = static_cast<double>(src.width) - 1.0;
    job.max_y = static_cast<double>(src.height) - 1.0;
    job.cubic_weights = cubic_fits ? cubic_weight_table() : nullptr;

    if (fits_32bit_positions(src))
        kernel_table::warp.active()(job);
    else
        baseline::warp_image(job);
    return ORVEX_OK;
}

}  // namespace
}  // namespace orvex

extern "C" ORVEX_API orvex_status orvex_warp_rectilinear(const orvex_image* src, const orvex_image* dst,
                                                         const double* coefficients, int32_t planes,
                                                         int32_t coefficient_count, const double* tangential,
                                                         double center_x, double center_y, bool cubic) {
    using namespace orvex;
    if (!has_data(src) || !has_data(dst) || coefficients == nullptr || planes <= 0 || coefficient_count <= 0)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->dtype != ORVEX_DTYPE_FLOAT32 || dst->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->height != dst->height || src->width != dst->width || src->channels != dst->channels)
        return ORVEX_ERR_SHAPE_MISMATCH;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    return call_guarded([&] {
        return warp(*src, *dst, coefficients, planes, coefficient_count, tangential, center_x, center_y, cubic);
    });
}
