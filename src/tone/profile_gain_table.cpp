#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/guard.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "orvex.h"
#include "tone/profile_gain_table_kernels.h"

namespace {

using namespace orvex;

struct MapPosition {
    int64_t first;
    int64_t second;
    float frac;
};

// Places a map coordinate between two map points. Negative and NaN
// coordinates take the first point, coordinates past the end the last; the
// lower point stays within the map even where the last index rounds up as a
// float.
MapPosition locate(float coordinate, int32_t points) {
    const int32_t last = points - 1;
    const float last_position = static_cast<float>(last);
    const float p = coordinate >= 0.0f ? (coordinate < last_position ? coordinate : last_position) : 0.0f;
    const int64_t truncated = static_cast<int64_t>(p);
    const int64_t first = truncated < last ? truncated : last;
    const int64_t second = first < last ? first + 1 : last;
    return {first, second, p - static_cast<float>(first)};
}

struct MapPlacement {
    int32_t points_v;
    int32_t points_h;
    float spacing_v;
    float spacing_h;
    float origin_v;
    float origin_h;
};

orvex_status apply_map(const orvex_image& image, const GainTableParams& params, const MapPlacement& map,
                       GainRowKernel kernel) {
    return call_guarded([&] {
        const size_t height = static_cast<size_t>(image.height);
        const size_t width = static_cast<size_t>(image.width);
        std::vector<float> scratch(kGainScratch);
        std::vector<float> column_frac(width + kGainPadding);
        std::vector<GainColumnRun> column_runs;

        // The column placement is the same on every row: reciprocals of the
        // width and spacing, and x + 0.5 as a float growing by 1. Columns
        // that meet the same map columns form one run.
        const int64_t points_n = params.points_n;
        const float inverse_width = 1.0f / static_cast<float>(width);
        const float inverse_spacing = 1.0f / map.spacing_h;
        float column_centre = 0.5f;
        for (size_t x = 0; x < width; ++x) {
            float cp = column_centre * inverse_width - map.origin_h;
            cp = cp * inverse_spacing;
            column_centre += 1.0f;
            const MapPosition column = locate(cp, map.points_h);
            const int64_t offset0 = column.first * points_n;
            if (column_runs.empty() || column_runs.back().offset0 != offset0)
                column_runs.push_back({x, offset0, column.second * points_n});
            column_runs.back().end = x + 1;
            column_frac[x] = column.frac;
        }
        const GainColumnPlacement columns{column_runs.data(), column_frac.data()};

        const int64_t row_stride = map.points_h * points_n;
        const float height_f = static_cast<float>(height);
        float* pixels = static_cast<float*>(image.data);
        for (size_t y = 0; y < height; ++y) {
            const float rp = ((static_cast<float>(y) + 0.5f) / height_f - map.origin_v) / map.spacing_v;
            const MapPosition position = locate(rp, map.points_v);
            const GainRowPlacement row{position.first * row_stride, position.second * row_stride, position.frac};
            kernel(pixels + 3 * width * y, width, scratch.data(), params, row, columns);
        }
        return ORVEX_OK;
    });
}

}  // namespace

extern "C" ORVEX_API orvex_status orvex_apply_profile_gain_table_map(
    const orvex_image* image, const float* table, int32_t map_points_v, int32_t map_points_h, float map_spacing_v,
    float map_spacing_h, float map_origin_v, float map_origin_h, int32_t map_points_n, const float* input_weights,
    float gamma, float input_scale) {
    if (!has_data(image) || table == nullptr || input_weights == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (map_points_v < 1 || map_points_h < 1 || map_points_n < 1) return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->height == 0 || image->width == 0) return ORVEX_OK;

    const GainTableParams params{
        table,
        map_points_n,
        {input_weights[0], input_weights[1], input_weights[2], input_weights[3], input_weights[4]},
        input_scale,
        gamma,
        gamma < 1.0f || gamma > 1.0f,
    };
    const MapPlacement map{map_points_v, map_points_h, map_spacing_v, map_spacing_h, map_origin_v, map_origin_h};
    return apply_map(*image, params, map, kernel_table::gain_row.active());
}
