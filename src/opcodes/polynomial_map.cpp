// Polynomial mapping of the samples of an area, odd around the constant term
// and clamped to -1..1.
#include <cstddef>
#include <cstdint>

#include "frame/image.h"
#include "frame/kernel_table.h"
#include "opcodes/polynomial_map_kernels.h"
#include "orvex.h"

namespace {

struct Area {
    int64_t top, left, bottom, right;
};

// All-zero row or column edges stand for the whole height or width. The area
// must then lie inside the image, or the loops would leave the buffer.
bool resolve_area(int32_t top, int32_t left, int32_t bottom, int32_t right, uint64_t height, uint64_t width,
                  Area& area) {
    area = {top, left, bottom, right};
    if (top == 0 && bottom == 0) area.bottom = static_cast<int64_t>(height);
    if (left == 0 && right == 0) area.right = static_cast<int64_t>(width);
    return area.top >= 0 && area.left >= 0 && area.top <= area.bottom && area.left <= area.right &&
           static_cast<uint64_t>(area.bottom) <= height && static_cast<uint64_t>(area.right) <= width;
}

}  // namespace

extern "C" ORVEX_API orvex_status orvex_map_polynomial(const orvex_image* image, int32_t top, int32_t left,
                                                       int32_t bottom, int32_t right, int32_t plane, int32_t planes,
                                                       int32_t row_pitch, int32_t col_pitch,
                                                       const float* coefficients, int32_t degree) {
    using namespace orvex;
    if (!has_data(image) || coefficients == nullptr || degree < 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->channels != 1 && image->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (row_pitch <= 0 || col_pitch <= 0) return ORVEX_ERR_INVALID_ARGUMENT;
    Area area{};
    if (plane < 0 || !resolve_area(top, left, bottom, right, image->height, image->width, area))
        return ORVEX_ERR_INVALID_ARGUMENT;

    const uint64_t width = image->width;
    const uint64_t channels = image->channels;
    const int64_t end_plane = static_cast<int64_t>(plane) + planes;
    const int64_t last = end_plane < static_cast<int64_t>(channels) ? end_plane : static_cast<int64_t>(channels);
    if (plane >= last || area.top == area.bottom || area.left == area.right) return ORVEX_OK;

    const PolynomialRunKernel kernel = kernel_table::polynomial_run.active()(degree);
    float* samples = static_cast<float*>(image->data);
    const uint64_t area_width = static_cast<uint64_t>(area.right - area.left);
    const uint64_t count = (area_width + static_cast<uint64_t>(col_pitch) - 1) / static_cast<uint64_t>(col_pitch);
    // The same polynomial serves every channel, so when all channels of every
    // column are mapped a row is one contiguous run.
    const bool whole_rows = col_pitch == 1 && plane == 0 && last == static_cast<int64_t>(channels);
    const auto row_start = [&](int64_t y) {
        return samples + (static_cast<uint64_t>(y) * width + static_cast<uint64_t>(area.left)) * channels;
    };
    if (whole_rows) {
        for (int64_t y = area.top; y < area.bottom; y += row_pitch)
            kernel(row_start(y), area_width * channels, 1, coefficients, degree);
        return ORVEX_OK;
    }
    for (int64_t p = plane; p < last; ++p) {
        for (int64_t y = area.top; y < area.bottom; y += row_pitch)
            kernel(row_start(y) + p, count, static_cast<size_t>(col_pitch) * channels, coefficients, degree);
    }
    return ORVEX_OK;
}
