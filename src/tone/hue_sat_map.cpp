#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"
#include "tone/hue_sat_map_kernels.h"

namespace {

constexpr float kSixth = 1.0f / 6.0f;

// Whether the table's float offsets reach 2^31, so that 32-bit offsets would
// overflow.
bool needs_wide_index(int32_t hue_divisions, int32_t sat_divisions, int32_t val_divisions) {
    constexpr uint64_t kLimit = uint64_t{1} << 31;
    const uint64_t planes = val_divisions >= 2 ? static_cast<uint64_t>(val_divisions) : 1;
    const uint64_t plane = static_cast<uint64_t>(hue_divisions) * static_cast<uint64_t>(sat_divisions);
    return plane >= kLimit || 3 * plane * planes >= kLimit;
}

}  // namespace

extern "C" ORVEX_API orvex_status orvex_apply_hue_sat_map(const orvex_image* image, const float* table,
                                                          int32_t hue_divisions, int32_t sat_divisions,
                                                          int32_t val_divisions) {
    using namespace orvex;
    if (!has_data(image) || table == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (hue_divisions < 1 || sat_divisions < 1 || val_divisions < 0) return ORVEX_ERR_INVALID_ARGUMENT;
    const uint64_t pixels = image->height * image->width;
    if (pixels == 0) return ORVEX_OK;

    const HueSatTable hsv_table{
        table,
        hue_divisions,
        sat_divisions,
        val_divisions,
        hue_divisions >= 2 ? static_cast<float>(hue_divisions) * kSixth : 0.0f,
        static_cast<float>(sat_divisions - 1),
        static_cast<float>(val_divisions - 1),
        needs_wide_index(hue_divisions, sat_divisions, val_divisions),
    };
    const HueSatKernel kernel = kernel_table::hue_sat.active()(hsv_table);
    kernel(static_cast<float*>(image->data), static_cast<size_t>(pixels), hsv_table);
    return ORVEX_OK;
}
