// The area gain map shared by the three-channel and the mosaic entry points.
#pragma once

#include <cstdint>

namespace orvex {

struct AreaGainMap {
    const float* map;  // points_v x points_h x planes gains, planes interleaved
    int32_t points_v;
    int32_t points_h;
    int32_t planes;
    double spacing_v;  // map placement, in units of the image height and width
    double spacing_h;
    double origin_v;
    double origin_h;
};

struct GainMapArea {
    int32_t top;  // area edges as the caller gave them
    int32_t left;
    int32_t bottom;
    int32_t right;
    int32_t plane;  // first channel, at least 0
    int32_t plane_count;
    int32_t row_pitch;  // at least 1
    int32_t col_pitch;  // nonzero; compared as unsigned against the area width
};

// Scales the area of a float image in place and clamps the results to 0..1.
void apply_area_gain_map(float* samples, uint64_t height, uint64_t width, uint64_t channels, const AreaGainMap& map,
                         const GainMapArea& area);

}  // namespace orvex
