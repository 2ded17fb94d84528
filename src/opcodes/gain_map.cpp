// Entry points of the area gain map: the three-channel form and the mosaic
// form, which scales channel 0 of a one-channel image.
#include "frame/image.h"
#include "opcodes/area_gain_map.h"
#include "orvex.h"

namespace {

// Tests shared by both forms, in their order; returns ORVEX_OK when the image
// and map may be used.
orvex_status check_area_gain_map(const orvex_image* image, const float* map, int32_t map_points_v,
                                 int32_t map_points_h, int32_t map_planes, uint64_t channels) {
    if (!orvex::has_data(image) || map == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (map_points_v <= 0 || map_points_h <= 0 || map_planes <= 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->channels != channels) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!orvex::size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    return ORVEX_OK;
}

// A row pitch below 1 or a column pitch of 0 would never leave the row or
// column loop. A negative column pitch is fine: as an unsigned step it is
// larger than any area, so each row gets its first column only.
bool pitches_usable(int32_t row_pitch, int32_t col_pitch) { return row_pitch > 0 && col_pitch != 0; }

}  // namespace

extern "C" ORVEX_API orvex_status orvex_apply_gain_map(
    const orvex_image* image, const float* map, int32_t map_points_v, int32_t map_points_h, int32_t map_planes,
    int32_t top, int32_t left, int32_t bottom, int32_t right, int32_t plane, int32_t planes, int32_t row_pitch,
    int32_t col_pitch, double map_spacing_v, double map_spacing_h, double map_origin_v, double map_origin_h) {
    const orvex_status status = check_area_gain_map(image, map, map_points_v, map_points_h, map_planes, 3);
    if (status != ORVEX_OK) return status;
    if (!pitches_usable(row_pitch, col_pitch) || plane < 0) return ORVEX_ERR_INVALID_ARGUMENT;
    const orvex::AreaGainMap gains{map,           map_points_v,  map_points_h, map_planes,
                                   map_spacing_v, map_spacing_h, map_origin_v, map_origin_h};
    const orvex::GainMapArea area{top, left, bottom, right, plane, planes, row_pitch, col_pitch};
    orvex::apply_area_gain_map(static_cast<float*>(image->data), image->height, image->width, 3, gains, area);
    return ORVEX_OK;
}

extern "C" ORVEX_API orvex_status orvex_apply_gain_map_cfa(
    const orvex_image* image, const float* map, int32_t map_points_v, int32_t map_points_h, int32_t map_planes,
    int32_t top, int32_t left, int32_t bottom, int32_t right, int32_t row_pitch, int32_t col_pitch,
    double map_spacing_v, double map_spacing_h, double map_origin_v, double map_origin_h) {
    const orvex_status status = check_area_gain_map(image, map, map_points_v, map_points_h, map_planes, 1);
    if (status != ORVEX_OK) return status;
    if (!pitches_usable(row_pitch, col_pitch)) return ORVEX_ERR_INVALID_ARGUMENT;
    const orvex::AreaGainMap gains{map,           map_points_v,  map_points_h, map_planes,
                                   map_spacing_v, map_spacing_h, map_origin_v, map_origin_h};
    const orvex::GainMapArea area{top, left, bottom, right, 0, 1, row_pitch, col_pitch};
    orvex::apply_area_gain_map(static_cast<float*>(image->data), image->height, image->width, 1, gains, area);
    return ORVEX_OK;
}
