#include "opcodes/area_gain_map.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "frame/kernel_table.h"
#include "opcodes/gain_map_kernels.h"

// Built for every CPU, with the baseline vector primitives.
#define ORVEX_ISA baseline
#include "frame/simd.h"

namespace orvex {
namespace {

// The float column counter is exact up to 2^24, where adding 1 stops changing it.
constexpr int64_t kCounterLimit = int64_t{1} << 24;

using baseline::simd::clamp_unit_flush_minus_zero;
using baseline::simd::trunc_i32;

// Gains of one image row: map rows r0 and r1 mixed by fy, read in one plane.
class RowGains {
public:
    RowGains(const AreaGainMap& map, double y, double height) : map_(map) {
        const double v = ((y + 0.5) / height - map.origin_v) / map.spacing_v;
        int32_t r0 = 0;
        int32_t r1 = 0;
        // A position not above 0 (NaN included) keeps map row 0.
        if (v > 0.0 && v >= static_cast<double>(map.points_v - 1)) {
            r0 = r1 = map.points_v - 1;
        } else if (v > 0.0) {
            r0 = static_cast<int32_t>(v);
            r1 = r0 + 1;
            fy_ = static_cast<float>(v - r0);
        }
        row0_ = static_cast<size_t>(r0) * static_cast<size_t>(map.points_h);
        row1_ = static_cast<size_t>(r1) * static_cast<size_t>(map.points_h);
    }

    float at(int32_t column, size_t plane) const {
        const size_t planes = static_cast<size_t>(map_.planes);
        const float g0 = map_.map[(row0_ + static_cast<size_t>(column)) * planes + plane];
        const float g1 = map_.map[(row1_ + static_cast<size_t>(column)) * planes + plane];
        return (1.0f - fy_) * g0 + fy_ * g1;
    }

private:
    const AreaGainMap& map_;
    size_t row0_ = 0;
    size_t row1_ = 0;
    float fy_ = 0.0f;
};

// Where an image column falls on the map: before its first column, after its
// last, or between c0 and c0 + 1. `next` is the first column that needs a new
// setup.
struct ColumnPlace {
    enum Kind { kBefore, kAfter, kBetween } kind;
    int32_t c0;
    double g;
    int32_t next;
};

ColumnPlace place_column(const AreaGainMap& map, int64_t x, double rw) {
    const double g = ((static_cast<double>(x) + 0.5) * rw - map.origin_h) / map.spacing_h;
    if (!(g > 0.0)) return {ColumnPlace::kBefore, 0, g, trunc_i32(std::ceil(map.origin_h / rw - 0.5))};
    if (g >= static_cast<double>(map.points_h - 1)) return {ColumnPlace::kAfter, 0, g, INT32_MAX};
    const int32_t c0 = static_cast<int32_t>(g);
    const double next = (static_cast<double>(c0 + 1) * map.spacing_h + map.origin_h) / rw - 0.5;
    return {ColumnPlace::kBetween, c0, g, trunc_i32(std::ceil(next))};
}

struct Ramp {
    float value;
    float slope;
};

Ramp ramp_at(const ColumnPlace& place, const RowGains& row, size_t plane, const AreaGainMap& map, double rw) {
    switch (place.kind) {
        case ColumnPlace::kBefore:
            return {row.at(0, plane), 0.0f};
        case ColumnPlace::kAfter:
            return {row.at(map.points_h - 1, plane), 0.0f};
        case ColumnPlace::kBetween:
            break;
    }
    const double a = row.at(place.c0, plane);
    const double b = row.at(place.c0 + 1, plane);
    const double d = b - a;
    return {static_cast<float>((place.g - place.c0) * d + a), static_cast<float>(rw * d / map.spacing_h)};
}

struct Bounds {
    int64_t top, left, bottom, right;
};

// One channel of one row, column by column: the pitch skips columns, but the
// counter k advances at every column until the next setup.
void scale_row_channel(float* samples, uint64_t width, uint64_t channels, int64_t y, size_t p, size_t q,
                       const Bounds& b, int64_t pitch, const AreaGainMap& map, const RowGains& row, double rw) {
    const int64_t area_width = b.right - b.left;
    int64_t x = b.left;
    ColumnPlace place = place_column(map, x, rw);
    Ramp ramp = ramp_at(place, row, q, map, rw);
    float k = 0.0f;
    while (x - b.left < area_width) {
        const float gain = k * ramp.slope + ramp.value;
        float& sample = samples[(static_cast<uint64_t>(y) * width + static_cast<uint64_t>(x)) * channels + p];
        sample = clamp_unit_flush_minus_zero(gain * sample);
        for (int64_t step = 0; step < pitch; ++step) {
            ++x;
            if (x < place.next) {
                k = k + 1.0f;
            } else {
                place = place_column(map, x, rw);
                ramp = ramp_at(place, row, q, map, rw);
                k = 0.0f;
            }
        }
    }
}

// Pixels per gain buffer in the whole-pixel pass.
constexpr int64_t kChunkPixels = 512;

struct WholePixelKernels {
    FillRampKernel fill;
    ApplyGainsKernel apply;
};

// A run of columns between two setups, with its gains per channel.
struct Run {
    int64_t start;
    int64_t end;
    float value[3];
    float slope[3];
};

// The column placements of a row's runs do not depend on the row: those of
// the first kCachedRuns runs are found once per call.
constexpr size_t kCachedRuns = 256;

struct RunPlaces {
    ColumnPlace place[kCachedRuns];
    int64_t start[kCachedRuns];
    size_t count = 0;

    RunPlaces(const AreaGainMap& map, const Bounds& b, double rw) {
        for (int64_t x = b.left; x < b.right && count < kCachedRuns; ++count) {
            place[count] = place_column(map, x, rw);
            start[count] = x;
            x = place[count].next > x + 1 ? place[count].next : x + 1;
        }
    }
};

// Fills `run` in place: building it on the stack and copying it stalls on
// store forwarding.
void set_up_run(Run& run, const ColumnPlace& place, int64_t x, int64_t right, uint64_t channels,
                const AreaGainMap& map, const RowGains& row, double rw) {
    run.start = x;
    const int64_t next = place.next > x + 1 ? place.next : x + 1;
    run.end = next < right ? next : right;
    for (size_t c = 0; c < channels; ++c) {
        const size_t q = c < static_cast<size_t>(map.planes) ? c : static_cast<size_t>(map.planes) - 1;
        const Ramp ramp = ramp_at(place, row, q, map, rw);
        run.value[c] = ramp.value;
        run.slope[c] = ramp.slope;
    }
}

// Every channel of every column of one row: the gains of a chunk of pixels
// are written run by run into a buffer, then applied in one pass. The cached
// runs are set up together first, so that their divisions overlap.
void scale_row_all(float* samples, uint64_t width, uint64_t channels, int64_t y, const Bounds& b,
                   const AreaGainMap& map, const RunPlaces& places, const RowGains& row, double rw,
                   const WholePixelKernels& kernels) {
    Run runs[kCachedRuns];
    for (size_t i = 0; i < places.count; ++i)
        set_up_run(runs[i], places.place[i], places.start[i], b.right, channels, map, row, rw);
    Run beyond{};
    size_t index = 0;
    const auto run_from = [&](int64_t x) -> const Run& {
        if (index < places.count) return runs[index++];
        set_up_run(beyond, place_column(map, x, rw), x, b.right, channels, map, row, rw);
        return beyond;
    };

    float gains[kChunkPixels * 3 + kRampSpill];
    float* row_samples = samples + static_cast<uint64_t>(y) * width * channels;
    int64_t x = b.left;
    const Run* run = &run_from(x);
    for (int64_t chunk = b.left; chunk < b.right; chunk += kChunkPixels) {
        const int64_t chunk_end = b.right - chunk < kChunkPixels ? b.right : chunk + kChunkPixels;
        while (x < chunk_end) {
            if (x == run->end) run = &run_from(x);
            float* out = gains + static_cast<uint64_t>(x - chunk) * channels;
            const int64_t end = run->end < chunk_end ? run->end : chunk_end;
            const int64_t k = x - run->start;
            if (k > kCounterLimit) {
                // The counter has stopped at 2^24: the rest of the run has one gain.
                float value[3];
                const float zero[3] = {};
                for (size_t c = 0; c < channels; ++c)
                    value[c] = static_cast<float>(kCounterLimit) * run->slope[c] + run->value[c];
                kernels.fill(out, static_cast<size_t>(end - x), 0.0f, zero, value);
                x = end;
            } else {
                const int64_t counted = end - x < kCounterLimit + 1 - k ? end - x : kCounterLimit + 1 - k;
                kernels.fill(out, static_cast<size_t>(counted), static_cast<float>(k), run->slope, run->value);
                x += counted;
            }
        }
        kernels.apply(row_samples + static_cast<uint64_t>(chunk) * channels, gains,
                      static_cast<size_t>(chunk_end - chunk) * channels);
    }
}

}  // namespace

void apply_area_gain_map(float* samples, uint64_t height, uint64_t width, uint64_t channels, const AreaGainMap& map,
                         const GainMapArea& area) {
    const int64_t h = static_cast<int64_t>(height);
    const int64_t w = static_cast<int64_t>(width);
    Bounds b{};
    b.top = area.top > 0 ? area.top : 0;
    b.left = area.left > 0 ? area.left : 0;
    b.bottom = area.bottom > 0 && area.bottom < h ? area.bottom : h;
    b.right = area.right > 0 && area.right < w ? area.right : w;
    if (b.top >= b.bottom || b.left >= b.right) return;
    const int64_t area_width = b.right - b.left;
    const int64_t col_pitch = static_cast<uint32_t>(area.col_pitch);
    const int64_t pitch = col_pitch < area_width ? col_pitch : area_width;
    const double rw = 1.0 / static_cast<double>(width);
    const double height_d = static_cast<double>(height);

    const int64_t first = area.plane;
    const int64_t end_plane = first + area.plane_count;
    const int64_t last = end_plane < static_cast<int64_t>(channels) ? end_plane : static_cast<int64_t>(channels);
    if (first >= last) return;

    // Samples do not depend on each other, so when every channel of every
    // column is scaled the channels can share one pass over the row.
    const bool whole_pixels =
        pitch == 1 && first == 0 && last == static_cast<int64_t>(channels) && (channels == 1 || channels == 3);
    if (whole_pixels) {
        const WholePixelKernels kernels{kernel_table::fill_ramp.active()(channels),
                                        kernel_table::apply_gains.active()};
        const RunPlaces places(map, b, rw);
        for (int64_t y = b.top; y < b.bottom; y += area.row_pitch) {
            const RowGains row(map, static_cast<double>(y), height_d);
            scale_row_all(samples, width, channels, y, b, map, places, row, rw, kernels);
        }
        return;
    }
    for (int64_t p = first; p < last; ++p) {
        const size_t q = p < map.planes ? static_cast<size_t>(p) : static_cast<size_t>(map.planes) - 1;
        for (int64_t y = b.top; y < b.bottom; y += area.row_pitch) {
            const RowGains row(map, static_cast<double>(y), height_d);
            scale_row_channel(samples, width, channels, y, static_cast<size_t>(p), q, b, pitch, map, row, rw);
        }
    }
}

}  // namespace orvex
