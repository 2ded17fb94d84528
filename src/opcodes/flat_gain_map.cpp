// A grid of gains stretched over a whole one-channel float image, with linear
// extrapolation beyond the last grid row and column and no clamping.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "frame/image.h"
#include "frame/kernel_table.h"
#include "opcodes/flat_gain_map_kernels.h"
#include "orvex.h"

namespace {

// Column numbers convert to float exactly up to 2^24; beyond that the
// kernel is given one column at a time.
constexpr int64_t kExactColumns = int64_t{1} << 24;

// The grid cell of a non-negative position: its whole part, but at most
// count - 2, so that the last cell extends past the last grid point.
int64_t cell_of(float position, int32_t count) {
    const int64_t cell = static_cast<int64_t>(position);
    return cell >= count - 1 ? count - 2 : cell;
}

float column_position(int64_t j, float sx) { return static_cast<float>(j) * sx; }

// First column after j whose grid cell is not `cell`; positions grow with the
// column, so the estimate is corrected by stepping.
int64_t run_end(int64_t j, int64_t cell, int32_t map_cols, float sx, int64_t width) {
    if (cell == map_cols - 2) return width;
    const double boundary = static_cast<double>(cell + 1);
    const auto past = [&](int64_t column) { return column_position(column, sx) >= boundary; };
    const double estimate = std::ceil(boundary / static_cast<double>(sx));
    int64_t end = estimate < static_cast<double>(width) ? static_cast<int64_t>(estimate) : width;
    if (end <= j) end = j + 1;
    while (end - 1 > j && past(end - 1))
        --end;
    while (end < width && !past(end))
        ++end;
    return end;
}

void apply_flat_grid(float* samples, uint64_t height, uint64_t width, const float* map, int32_t map_rows,
                     int32_t map_cols) {
    const float sy = static_cast<float>(map_rows) / static_cast<float>(height);
    const float sx = static_cast<float>(map_cols) / static_cast<float>(width);
    const int64_t w = static_cast<int64_t>(width);
    const orvex::FlatRunKernel kernel = orvex::kernel_table::flat_run.active();
    for (uint64_t i = 0; i < height; ++i) {
        const float y = static_cast<float>(i) * sy;
        const int64_t y0 = cell_of(y, map_rows);
        const float* row0 = map + static_cast<size_t>(y0) * static_cast<size_t>(map_cols);
        const float* row1 = row0 + map_cols;
        float* row = samples + i * width;
        orvex::FlatCell cell{};
        cell.fy = y - static_cast<float>(y0);
        cell.sx = sx;
        int64_t j = 0;
        while (j < w) {
            const int64_t x0 = cell_of(column_position(j, sx), map_cols);
            const int64_t end = run_end(j, x0, map_cols, sx, w);
            const int64_t stop = j >= kExactColumns ? j + 1 : end < kExactColumns ? end : kExactColumns;
            cell.g00 = row0[x0];
            cell.g01 = row0[x0 + 1];
            cell.g10 = row1[x0];
            cell.g11 = row1[x0 + 1];
            cell.x0 = static_cast<float>(x0);
            kernel(row + j, static_cast<size_t>(stop - j), static_cast<float>(j), cell);
            j = stop;
        }
    }
}

}  // namespace

extern "C" ORVEX_API orvex_status orvex_apply_flat_gain_map(const orvex_image* image, const float* map,
                                                            int32_t map_rows, int32_t map_cols) {
    if (!orvex::has_data(image) || map == nullptr || map_rows < 2 || map_cols < 2)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (image->dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_UNSUPPORTED;
    if (image->reserved != 0 || image->channels != 1 || image->height == 0 || image->width == 0)
        return ORVEX_ERR_INVALID_ARGUMENT;
    if (!orvex::size_is_addressable(*image)) return ORVEX_ERR_INVALID_ARGUMENT;
    apply_flat_grid(static_cast<float*>(image->data), image->height, image->width, map, map_rows, map_cols);
    return ORVEX_OK;
}
