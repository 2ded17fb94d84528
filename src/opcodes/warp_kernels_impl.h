// Body of the warp kernels; included by one translation unit per instruction
// set after it defines ORVEX_ISA. The scalar path handles whole images in the
// baseline build and the row tails elsewhere; the vector path performs the
// same operations lane by lane, one pixel per lane.
#include <cstddef>
#include <cstdint>

#include "frame/simd.h"
#include "opcodes/warp_cubic_table.h"
#include "opcodes/warp_kernels.h"
#include "opcodes/warp_pair_lanes.h"

namespace orvex::ORVEX_ISA {
namespace {

// Geometry shared by every pixel of a destination row.
struct RowGeometry {
    double dy;
    double ny;
    double ny_sq;       // ny * ny
    double ty_product;  // (dy * (2 / R)) * ny
};

RowGeometry row_geometry(const WarpJob& job, uint64_t y) {
    RowGeometry row;
    row.dy = static_cast<double>(y) - job.cy;
    row.ny = row.dy * job.inv_radius;
    row.ny_sq = row.ny * row.ny;
    row.ty_product = (row.dy * job.twice_inv_radius) * row.ny;
    return row;
}

// Geometry shared by every plane of one pixel.
struct PixelGeometry {
    double dx;
    double nx;
    double r2c;  // squared radius, capped at 1
    double r2c_sq;
    double r2c_cube;
    double tx;
    double ty;
};

PixelGeometry pixel_geometry(const WarpJob& job, const RowGeometry& row, uint64_t x) {
    PixelGeometry px;
    px.dx = static_cast<double>(x) - job.cx;
    px.nx = px.dx * job.inv_radius;
    const double r2 = row.ny_sq + px.nx * px.nx;
    px.r2c = r2 < 1.0 ? r2 : 1.0;
    px.r2c_sq = px.r2c * px.r2c;
    px.r2c_cube = px.r2c_sq * px.r2c;
    px.tx = (px.dx * job.twice_inv_radius) * px.nx + px.r2c;
    px.ty = row.ty_product + px.r2c;
    return px;
}

// Clamps a source coordinate into 0 ... max; NaN becomes 0.
double clamp_position(double s, double max) {
    s = s > max ? max : s;
    return s > 0.0 ? s : 0.0;
}

struct SourcePosition {
    double x;
    double y;
};

SourcePosition source_position(const WarpJob& job, const WarpPlane& plane, const RowGeometry& row,
                               const PixelGeometry& px) {
    double f = plane.radial[0];
    if (plane.radial_terms > 1) f = f + px.r2c * plane.radial[1];
    if (plane.radial_terms > 2) f = f + px.r2c_sq * plane.radial[2];
    if (plane.radial_terms > 3) f = f + px.r2c_cube * plane.radial[3];
    double ox = f * px.dx;
    double oy = f * row.dy;
    if (plane.tangential) {
        ox = ox + ((plane.kt0_twice * px.nx * row.ny) + px.tx * plane.kt1) * job.radius;
        oy = oy + ((plane.kt1_twice * px.nx * row.ny) + px.ty * plane.kt0) * job.radius;
    }
    return {clamp_position(ox + job.cx, job.max_x), clamp_position(oy + job.cy, job.max_y)};
}

const float* sample(const WarpJob& job, uint64_t row, uint64_t column, uint64_t channel) {
    return job.src + (row * job.width + column) * job.channels + channel;
}

// Positions are clamped to 0 or more, so truncation is the floor.
float bilinear(const WarpJob& job, uint64_t channel, SourcePosition s) {
    const uint64_t x0 = static_cast<uint64_t>(s.x);
    const uint64_t y0 = static_cast<uint64_t>(s.y);
    const double fx = s.x - static_cast<double>(x0);
    const double fy = s.y - static_cast<double>(y0);
    const uint64_t x1 = x0 + 1 < job.width ? x0 + 1 : job.width - 1;
    const uint64_t y1 = y0 + 1 < job.height ? y0 + 1 : job.height - 1;
    const double s00 = *sample(job, y0, x0, channel);
    const double s01 = *sample(job, y0, x1, channel);
    const double s10 = *sample(job, y1, x0, channel);
    const double s11 = *sample(job, y1, x1, channel);
    const double top = s00 * (1.0 - fx) + s01 * fx;
    const double bottom = s10 * (1.0 - fx) + s11 * fx;
    return static_cast<float>(top * (1.0 - fy) + bottom * fy);
}

// First row (column) of the 4-sample window and its sub-position: the window
// is kept inside the image, and a moved window uses sub-position 0.
struct WindowStart {
    uint64_t first;
    int step;
};

WindowStart window_start(double s, uint64_t extent) {
    const uint64_t whole = static_cast<uint64_t>(s);
    const double fraction = s - static_cast<double>(whole);
    if (whole < 1) return {0, 0};
    if (whole - 1 > extent - 4) return {extent - 4, 0};
    return {whole - 1, static_cast<int>(fraction * kCubicSteps)};
}

float cubic(const WarpJob& job, uint64_t channel, SourcePosition s) {
    const WindowStart col = window_start(s.x, job.width);
    const WindowStart row = window_start(s.y, job.height);
    const float* w = job.cubic_weights + (row.step * kCubicSteps + col.step) * kCubicWindow;
    float sum = 0.0f;
    for (int k = 0; k < kCubicWindow; ++k) {
        const float product = *sample(job, row.first + k / 4, col.first + k % 4, channel) * w[k];
        sum = k == 0 ? product : sum + product;
    }
    return simd::clamp_unit_flush_minus_zero(sum);
}

void warp_pixel(const WarpJob& job, const RowGeometry& row, uint64_t y, uint64_t x) {
    const PixelGeometry px = pixel_geometry(job, row, x);
    float* out = job.dst + (y * job.width + x) * job.channels;
    for (uint64_t i = 0; i < job.plane_count; ++i) {
        const SourcePosition s = source_position(job, job.planes[i], row, px);
        out[i] = job.cubic_weights != nullptr ? cubic(job, i, s) : bilinear(job, i, s);
    }
}

#if defined(__AVX2__)

namespace L = simd;

// Rows warped together, so that the column terms of a lane group serve all
// of them.
inline constexpr int kBandRows = 4;
// Planes whose source positions are computed before any of them is resampled.
inline constexpr uint64_t kStagedPlanes = 3;

// Image extents as 32-bit lanes; the image holds fewer than 2^31 samples.
struct LaneExtents {
    L::vi_half channels;
    L::vi_half row_stride;   // width * channels
    L::vi_half last_column;  // (width - 1) * channels: the last column's offset in a row
    L::vi_half last_row;     // (height - 1) * width * channels: the last row's offset
    L::vi_half last_quad;    // sample count - 4: the last start of a four-float load
    int32_t row_samples;
    int32_t sample_count;
    int32_t channel_count;
    bool paired;      // both samples of a horizontal pair lie in one four-float load
    bool interleave;  // every channel is a written plane, three of them
    bool contiguous;  // one channel, one plane
};

// p[0], p[stride], p[2 * stride], p[3 * stride], reading nothing past p[3 * stride].
__m128 strided_quad(const float* p, int32_t stride) {
    if (stride == 1) return _mm_loadu_ps(p);
    if (stride == 3) return _mm_shuffle_ps(_mm_loadu_ps(p), _mm_loadu_ps(p + 6), _MM_SHUFFLE(3, 0, 3, 0));
    return _mm_setr_ps(p[0], p[stride], p[2 * stride], p[3 * stride]);
}

// out[b] lane j = base[offsets[j] + b * stride] for b = 0 ... 3.
void load_strided_quads(const float* base, const int32_t* offsets, int32_t stride, L::vf_half out[4]) {
#if defined(__AVX512F__)
    if (stride == 3) return L::load_stride3_quads(base, offsets, out);
#endif
    __m128 quads[L::kHalfLanes];
    for (int j = 0; j < L::kHalfLanes; ++j)
        quads[j] = strided_quad(base + offsets[j], stride);
    L::transpose_quads(quads, out);
}

LaneExtents lane_extents(const WarpJob& job) {
    const int32_t width = static_cast<int32_t>(job.width);
    const int32_t channels = static_cast<int32_t>(job.channels);
    const int32_t row_samples = width * channels;
    const int32_t samples = row_samples * static_cast<int32_t>(job.height);
    const bool paired = channels <= 3 && samples >= 4;
    return {L::set1_i32_half(channels),
            L::set1_i32_half(row_samples),
            L::set1_i32_half((width - 1) * channels),
            L::set1_i32_half(samples - row_samples),
            L::set1_i32_half(samples - 4),
            row_samples,
            samples,
            channels,
            paired,
            channels == 3 && job.plane_count == 3,
            channels == 1 && job.plane_count == 1};
}

// Terms that depend on the column only, shared by every row and plane of a
// lane group.
struct LaneColumns {
    L::vd dx;
    L::vd nx;
    L::vd nx_sq;       // nx * nx
    L::vd tx_product;  // (dx * (2 / R)) * nx
};

LaneColumns lane_columns(const WarpJob& job, uint64_t x) {
    LaneColumns col;
    col.dx = L::sub(L::ramp_d(static_cast<double>(x)), L::set1_d(job.cx));
    col.nx = L::mul(col.dx, L::set1_d(job.inv_radius));
    col.nx_sq = L::mul(col.nx, col.nx);
    col.tx_product = L::mul(L::mul(col.dx, L::set1_d(job.twice_inv_radius)), col.nx);
    return col;
}

struct LaneGeometry {
    L::vd r2c;
    L::vd r2c_sq;
    L::vd r2c_cube;
    L::vd tx;
    L::vd ty;
};

LaneGeometry lane_geometry(const RowGeometry& row, const LaneColumns& col) {
    LaneGeometry px;
    const L::vd r2 = L::add(L::set1_d(row.ny_sq), col.nx_sq);
    px.r2c = L::min_lt(r2, L::set1_d(1.0));
    px.r2c_sq = L::mul(px.r2c, px.r2c);
    px.r2c_cube = L::mul(px.r2c_sq, px.r2c);
    px.tx = L::add(col.tx_product, px.r2c);
    px.ty = L::add(L::set1_d(row.ty_product), px.r2c);
    return px;
}

// Column terms of one plane's tangential model: (kt0 + kt0) * nx and
// (kt1 + kt1) * nx.
struct PlaneColumns {
    L::vd x_term;
    L::vd y_term;
};

PlaneColumns plane_columns(const WarpPlane& plane, const LaneColumns& col) {
    if (!plane.tangential) return {L::set1_d(0.0), L::set1_d(0.0)};
    return {L::mul(L::set1_d(plane.kt0_twice), col.nx), L::mul(L::set1_d(plane.kt1_twice), col.nx)};
}

// max < s ? max : s, then s > 0 ? s : 0.
L::vd clamp_lanes(L::vd s, double max) { return L::max_gt(L::min_lt(L::set1_d(max), s), L::set1_d(0.0)); }

struct LanePosition {
    L::vd x;
    L::vd y;
};

LanePosition lane_source_position(const WarpJob& job, const WarpPlane& plane, const RowGeometry& row,
                                  const LaneColumns& col, const PlaneColumns& plane_col, const LaneGeometry& px) {
    L::vd f = L::set1_d(plane.radial[0]);
    if (plane.radial_terms > 1) f = L::add(f, L::mul(px.r2c, L::set1_d(plane.radial[1])));
    if (plane.radial_terms > 2) f = L::add(f, L::mul(px.r2c_sq, L::set1_d(plane.radial[2])));
    if (plane.radial_terms > 3) f = L::add(f, L::mul(px.r2c_cube, L::set1_d(plane.radial[3])));
    L::vd ox = L::mul(f, col.dx);
    L::vd oy = L::mul(f, L::set1_d(row.dy));
    if (plane.tangential) {
        const L::vd ny = L::set1_d(row.ny);
        const L::vd radius = L::set1_d(job.radius);
        const L::vd ax = L::mul(plane_col.x_term, ny);
        const L::vd ay = L::mul(plane_col.y_term, ny);
        ox = L::add(ox, L::mul(L::add(ax, L::mul(px.tx, L::set1_d(plane.kt1))), radius));
        oy = L::add(oy, L::mul(L::add(ay, L::mul(px.ty, L::set1_d(plane.kt0))), radius));
    }
    return {clamp_lanes(L::add(ox, L::set1_d(job.cx)), job.max_x),
            clamp_lanes(L::add(oy, L::set1_d(job.cy)), job.max_y)};
}

// The four samples around each lane's position and its fractions.
struct BilinearSamples {
    L::vf_half top_left, top_right, bottom_left, bottom_right;
    L::vd fx;
    L::vd fy;
};

BilinearSamples bilinear_samples(const WarpJob& job, const LaneExtents& ext, int32_t channel, LanePosition s) {
    BilinearSamples out;
    const L::vi_half x0 = L::trunc_i32(s.x);
    const L::vi_half y0 = L::trunc_i32(s.y);
    out.fx = L::sub(s.x, L::trunc_d(s.x));
    out.fy = L::sub(s.y, L::trunc_d(s.y));
    // x1 = min(x0 + 1, width - 1) and y1 = min(y0 + 1, height - 1), as sample offsets.
    const L::vi_half col0 = L::add_i32(L::mul_i32(x0, ext.channels), L::set1_i32_half(channel));
    const L::vi_half col1 =
        L::min_i32(L::add_i32(col0, ext.channels), L::add_i32(ext.last_column, L::set1_i32_half(channel)));
    const auto row_offsets = [&](L::vi_half& row0, L::vi_half& row1) {
        row0 = L::mul_i32(y0, ext.row_stride);
        row1 = L::min_i32(L::add_i32(row0, ext.row_stride), ext.last_row);
    };
    L::vi_half row0, row1;
    if (!ext.paired) {
        row_offsets(row0, row1);
        out.top_left = L::gather(job.src, L::add_i32(row0, col0));
        out.top_right = L::gather(job.src, L::add_i32(row0, col1));
        out.bottom_left = L::gather(job.src, L::add_i32(row1, col0));
        out.bottom_right = L::gather(job.src, L::add_i32(row1, col1));
    } else if (!L::load_pair_window(job.src, ext.row_samples, ext.sample_count, y0, col0, col1, out.top_left,
                                    out.top_right, out.bottom_left, out.bottom_right)) {
        row_offsets(row0, row1);
        L::load_pairs(job.src, L::add_i32(row0, col0), L::add_i32(row0, col1), ext.last_quad, out.top_left,
                      out.top_right);
        L::load_pairs(job.src, L::add_i32(row1, col0), L::add_i32(row1, col1), ext.last_quad, out.bottom_left,
                      out.bottom_right);
    }
    return out;
}

L::vf_half bilinear_blend(const BilinearSamples& in) {
    const L::vd s00 = L::to_double(in.top_left);
    const L::vd s01 = L::to_double(in.top_right);
    const L::vd s10 = L::to_double(in.bottom_left);
    const L::vd s11 = L::to_double(in.bottom_right);
    const L::vd one_d = L::set1_d(1.0);
    const L::vd gx = L::sub(one_d, in.fx);
    const L::vd top = L::add(L::mul(s00, gx), L::mul(s01, in.fx));
    const L::vd bottom = L::add(L::mul(s10, gx), L::mul(s11, in.fx));
    return L::to_float(L::add(L::mul(top, L::sub(one_d, in.fy)), L::mul(bottom, in.fy)));
}

struct LaneWindow {
    L::vi_half first;
    L::vi_half step;
};

LaneWindow lane_window(L::vd s, int32_t extent) {
    const L::vi_half whole = L::trunc_i32(s);
    const L::vd fraction = L::sub(s, L::trunc_d(s));
    const L::vi_half wanted = L::add_i32(whole, L::set1_i32_half(-1));
    const L::vi_half first = L::min_i32(L::max_i32(wanted, L::set1_i32_half(0)), L::set1_i32_half(extent - 4));
    const L::vi_half step = L::trunc_i32(L::mul(fraction, L::set1_d(kCubicSteps)));
    return {first, L::keep_if_equal(first, wanted, step)};
}

// Cubic resampling of one channel in the lane groups of all rows of a band,
// in lockstep so that their sums, each a chain of sixteen dependent
// additions, overlap.
void cubic_lanes(const WarpJob& job, const LaneExtents& ext, int32_t channel, const LanePosition* s,
                 L::vf_half* out) {
    alignas(32) int32_t sample_offsets[kBandRows][L::kHalfLanes];
    alignas(32) int32_t weight_offsets[kBandRows][L::kHalfLanes];
    for (int g = 0; g < kBandRows; ++g) {
        const LaneWindow col = lane_window(s[g].x, static_cast<int32_t>(job.width));
        const LaneWindow row = lane_window(s[g].y, static_cast<int32_t>(job.height));
        const L::vi_half base =
            L::add_i32(L::add_i32(L::mul_i32(row.first, ext.row_stride), L::mul_i32(col.first, ext.channels)),
                       L::set1_i32_half(channel));
        const L::vi_half weights =
            L::mul_i32(L::add_i32(L::mul_i32(row.step, L::set1_i32_half(kCubicSteps)), col.step),
                       L::set1_i32_half(kCubicWindow));
        L::store_i32(sample_offsets[g], base);
        L::store_i32(weight_offsets[g], weights);
    }
    L::vf_half sum[kBandRows];
#pragma GCC unroll 4
    for (int a = 0; a < 4; ++a) {
        L::vf_half products[kBandRows][4];
#pragma GCC unroll 4
        for (int g = 0; g < kBandRows; ++g) {
            L::vf_half value[4], w[4];
            load_strided_quads(job.src + a * ext.row_samples, sample_offsets[g], ext.channel_count, value);
            load_strided_quads(job.cubic_weights + a * 4, weight_offsets[g], 1, w);
            for (int b = 0; b < 4; ++b)
                products[g][b] = L::mul(value[b], w[b]);
        }
        for (int b = 0; b < 4; ++b)
            for (int g = 0; g < kBandRows; ++g)
                sum[g] = a == 0 && b == 0 ? products[g][b] : L::add(sum[g], products[g][b]);
    }
    for (int g = 0; g < kBandRows; ++g)
        out[g] = L::clamp_unit_flush_minus_zero(sum[g]);
}

// The rows of one band: y_first ... y_first + kBandRows - 1, where rows past
// the image repeat its last row (warping it again writes the same values).
struct Band {
    RowGeometry rows[kBandRows];
    float* out[kBandRows];  // destination rows
};

Band band_at(const WarpJob& job, uint64_t y_first) {
    Band band;
    for (int r = 0; r < kBandRows; ++r) {
        const uint64_t y = y_first + r < job.height ? y_first + r : job.height - 1;
        band.rows[r] = row_geometry(job, y);
        band.out[r] = job.dst + y * job.width * job.channels;
    }
    return band;
}

// Cubic and bilinear jobs get loops of their own, each compiled with only
// its resampling inlined.
template <bool Cubic>
void warp_band_lanes_at(const WarpJob& job, const LaneExtents& ext, const Band& band, uint64_t x) {
    const LaneColumns col = lane_columns(job, x);
    LaneGeometry px[kBandRows];
    for (int r = 0; r < kBandRows; ++r)
        px[r] = lane_geometry(band.rows[r], col);
    L::vf_half interleaved[kBandRows][3];
    alignas(64) float results[L::kHalfLanes];
    // The source positions of a few planes come first, their resampling
    // after, so that independent work lies close together in program order.
    for (uint64_t first = 0; first < job.plane_count; first += kStagedPlanes) {
        const uint64_t staged = job.plane_count - first < kStagedPlanes ? job.plane_count - first : kStagedPlanes;
        LanePosition positions[kStagedPlanes][kBandRows];
        for (uint64_t k = 0; k < staged; ++k) {
            const WarpPlane& plane = job.planes[first + k];
            const PlaneColumns plane_col = plane_columns(plane, col);
            for (int r = 0; r < kBandRows; ++r)
                positions[k][r] = lane_source_position(job, plane, band.rows[r], col, plane_col, px[r]);
        }
        const auto deliver = [&](uint64_t i, int r, L::vf_half value) {
            float* out = band.out[r] + x * job.channels;
            if (ext.interleave) {
                interleaved[r][i] = value;
            } else if (ext.contiguous) {
                L::store(out, value);
            } else {
                L::store(results, value);
                for (int j = 0; j < L::kHalfLanes; ++j)
                    out[j * job.channels + i] = results[j];
            }
        };
        if constexpr (Cubic) {
            for (uint64_t k = 0; k < staged; ++k) {
                L::vf_half values[kBandRows];
                cubic_lanes(job, ext, static_cast<int32_t>(first + k), positions[k], values);
                for (int r = 0; r < kBandRows; ++r)
                    deliver(first + k, r, values[r]);
            }
        } else {
            // Likewise all samples before any blend.
            BilinearSamples samples[kStagedPlanes][kBandRows];
            for (uint64_t k = 0; k < staged; ++k)
                for (int r = 0; r < kBandRows; ++r)
                    samples[k][r] = bilinear_samples(job, ext, static_cast<int32_t>(first + k), positions[k][r]);
            for (uint64_t k = 0; k < staged; ++k)
                for (int r = 0; r < kBandRows; ++r)
                    deliver(first + k, r, bilinear_blend(samples[k][r]));
        }
    }
    if (ext.interleave)
        for (int r = 0; r < kBandRows; ++r)
            L::store_interleaved3(band.out[r] + x * 3, interleaved[r][0], interleaved[r][1], interleaved[r][2]);
}

template <bool Cubic>
void warp_band_lanes(const WarpJob& job, const LaneExtents& ext, uint64_t y_first) {
    const Band band = band_at(job, y_first);
    uint64_t x = 0;
    for (; x + L::kHalfLanes <= job.width; x += L::kHalfLanes)
        warp_band_lanes_at<Cubic>(job, ext, band, x);
    const uint64_t y_end = y_first + kBandRows < job.height ? y_first + kBandRows : job.height;
    for (uint64_t y = y_first; y < y_end; ++y)
        for (uint64_t tail = x; tail < job.width; ++tail)
            warp_pixel(job, band.rows[y - y_first], y, tail);
}

template <bool Cubic>
void warp_image_lanes(const WarpJob& job) {
    const LaneExtents ext = lane_extents(job);
    for (uint64_t y = 0; y < job.height; y += kBandRows)
        warp_band_lanes<Cubic>(job, ext, y);
}

}  // namespace

void warp_image(const WarpJob& job) {
    if (job.cubic_weights != nullptr)
        warp_image_lanes<true>(job);
    else
        warp_image_lanes<false>(job);
}

#else

}  // namespace

void warp_image(const WarpJob& job) {
    for (uint64_t y = 0; y < job.height; ++y) {
        const RowGeometry row = row_geometry(job, y);
        for (uint64_t x = 0; x < job.width; ++x)
            warp_pixel(job, row, y, x);
    }
}

#endif

}  // namespace orvex::ORVEX_ISA
