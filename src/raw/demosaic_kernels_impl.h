// Body of the bilinear demosaic; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
#include "frame/simd.h"
#include "raw/demosaic_kernels.h"
#include "raw/store_rgb.h"
#include "raw/vector_stores.h"

namespace orvex::ORVEX_ISA {
namespace {

// A float sum in the order terms arrive, divided by the term count; 0 when
// there is no term.
struct Average {
    float sum = 0.0f;
    int count = 0;
    void add(float x) {
        sum = count == 0 ? x : sum + x;
        ++count;
    }
    float value() const { return count == 0 ? 0.0f : sum / static_cast<float>(count); }
};

struct Mosaic {
    const float* samples;
    uint64_t height;
    uint64_t width;
    const uint32_t* codes;

    float at(uint64_t r, uint64_t c) const { return samples[r * width + c]; }
    uint32_t code(uint64_t r, uint64_t c) const { return codes[(r % 2) * 2 + (c % 2)]; }
};

// One pixel with every neighbour tested against the image edges.
void demosaic_pixel(const Mosaic& m, uint64_t r, uint64_t c, float* out) {
    const bool up = r > 0;
    const bool down = r + 1 < m.height;
    const bool left = c > 0;
    const bool right = c + 1 < m.width;
    const uint32_t s = m.code(r, c);
    for (uint32_t k = 0; k < 3; ++k) {
        if (k == s) {
            out[k] = m.at(r, c);
            continue;
        }
        Average a;
        if (k == 1) {
            if (up) a.add(m.at(r - 1, c));
            if (down) a.add(m.at(r + 1, c));
            if (left) a.add(m.at(r, c - 1));
            if (right) a.add(m.at(r, c + 1));
        } else if (s == 1) {
            if (left && m.code(r, c - 1) == k) a.add(m.at(r, c - 1));
            if (right && m.code(r, c + 1) == k) a.add(m.at(r, c + 1));
            if (a.count == 0) {
                if (up && m.code(r - 1, c) == k) a.add(m.at(r - 1, c));
                if (down && m.code(r + 1, c) == k) a.add(m.at(r + 1, c));
            }
        } else {
            if (up && left) a.add(m.at(r - 1, c - 1));
            if (up && right) a.add(m.at(r - 1, c + 1));
            if (down && left) a.add(m.at(r + 1, c - 1));
            if (down && right) a.add(m.at(r + 1, c + 1));
        }
        out[k] = a.value();
    }
}

// The averages an interior pixel may take a channel from.
enum Source : int { kCenter, kCross, kHorizontal, kVertical, kDiagonal, kZero, kSourceCount };

// Where channel k of an interior pixel of row parity rp and column parity cp
// comes from; with every neighbour present the terms depend only on codes.
Source interior_source(const uint32_t* codes, uint64_t rp, uint64_t cp, uint32_t k) {
    const uint32_t s = codes[rp * 2 + cp];
    if (k == s) return kCenter;
    if (k == 1) return kCross;
    if (s == 1) {
        if (codes[rp * 2 + (1 - cp)] == k) return kHorizontal;
        if (codes[(1 - rp) * 2 + cp] == k) return kVertical;
        return kZero;
    }
    return kDiagonal;
}

// The averages of kLanes interior pixels from column c on. Dividing by 2 or
// 4 equals multiplying by 0.5 or 0.25.
struct Neighbourhood {
    simd::vf center, cross, horizontal, vertical, diagonal;
};

inline Neighbourhood averages(const float* above, const float* row, const float* below, uint64_t c) {
    const simd::vf half = simd::set1(0.5f);
    const simd::vf quarter = simd::set1(0.25f);
    const simd::vf vertical_sum = simd::add(simd::load(above + c), simd::load(below + c));
    const simd::vf left = simd::load(row + c - 1);
    const simd::vf right = simd::load(row + c + 1);
    const simd::vf diagonal_sum = simd::add(
        simd::add(simd::add(simd::load(above + c - 1), simd::load(above + c + 1)), simd::load(below + c - 1)),
        simd::load(below + c + 1));
    return {simd::load(row + c), simd::mul(simd::add(simd::add(vertical_sum, left), right), quarter),
            simd::mul(simd::add(left, right), half), simd::mul(vertical_sum, half),
            simd::mul(diagonal_sum, quarter)};
}

// A row of the usual Bayer layouts: colour `colour` (0 or 2) at the pixels
// whose column parity is `colour_parity`, green at the others, the other
// colour above and below the green ones.
struct BayerRow {
    bool matches;
    uint32_t colour;
    uint64_t colour_parity;
};

BayerRow bayer_row(const Source (&sources)[2][3]) {
    for (uint64_t p = 0; p < 2; ++p) {
        const Source* at_colour = sources[p];
        const Source* at_green = sources[1 - p];
        for (uint32_t colour = 0; colour <= 2; colour += 2) {
            const uint32_t other = 2 - colour;
            if (at_colour[colour] == kCenter && at_colour[1] == kCross && at_colour[other] == kDiagonal &&
                at_green[colour] == kHorizontal && at_green[1] == kCenter && at_green[other] == kVertical)
                return {true, colour, p};
        }
    }
    return {false, 0, 0};
}

// Columns `first` .. width - 2 of an interior row, a vector of pixels per
// step; returns the first column left undone. The usual Bayer rows blend
// three fixed averages; any other layout picks each channel's average per row.
template <bool Streaming>
uint64_t demosaic_interior(const Mosaic& m, uint64_t r, uint64_t first, const RgbStore& rgb, float* dst) {
    Source sources[2][3];
    for (uint64_t parity = 0; parity < 2; ++parity)
        for (uint32_t k = 0; k < 3; ++k)
            sources[parity][k] = interior_source(m.codes, r % 2, parity, k);
    float column_is_even[simd::kLanes];
    for (int lane = 0; lane < simd::kLanes; ++lane)
        column_is_even[lane] = (first + static_cast<uint64_t>(lane)) % 2 == 0 ? 1.0f : 0.0f;
    const simd::vf zero = simd::set1(0.0f);
    const simd::mask even_lanes = simd::lt(zero, simd::load(column_is_even));
    const simd::mask odd_lanes = simd::lt(simd::load(column_is_even), simd::set1(1.0f));
    const float* above = m.samples + (r - 1) * m.width;
    const float* row = above + m.width;
    const float* below = row + m.width;
    float* out = dst + r * m.width * 3;
    uint64_t c = first;
    const BayerRow bayer = bayer_row(sources);
    if (bayer.matches) {
        const simd::mask colour_lanes = bayer.colour_parity == 0 ? even_lanes : odd_lanes;
        for (; c + simd::kLanes < m.width; c += simd::kLanes) {
            const Neighbourhood n = averages(above, row, below, c);
            const simd::vf colour = simd::select(colour_lanes, n.center, n.horizontal);
            const simd::vf green = simd::select(colour_lanes, n.cross, n.center);
            const simd::vf other = simd::select(colour_lanes, n.diagonal, n.vertical);
            if (bayer.colour == 0)
                rgb.store<Streaming>(out + c * 3, colour, green, other);
            else
                rgb.store<Streaming>(out + c * 3, other, green, colour);
        }
        return c;
    }
    for (; c + simd::kLanes < m.width; c += simd::kLanes) {
        const Neighbourhood n = averages(above, row, below, c);
        const simd::vf values[kSourceCount] = {n.center, n.cross, n.horizontal, n.vertical, n.diagonal, zero};
        simd::vf channel[3];
        for (int k = 0; k < 3; ++k)
            channel[k] = simd::select(even_lanes, values[sources[0][k]], values[sources[1][k]]);
        rgb.store<Streaming>(out + c * 3, channel[0], channel[1], channel[2]);
    }
    return c;
}

// First interior column whose output is vector-aligned, so that no store
// splits a cache line (a step of kLanes pixels keeps the alignment); column 1
// when the destination is not float-aligned.
uint64_t first_aligned_column(const float* dst_row) {
    for (uint64_t c = 1; c <= static_cast<uint64_t>(simd::kLanes); ++c)
        if (vector_aligned(dst_row + c * 3)) return c;
    return 1;
}

// Border rows and columns, and the few columns around the vector steps, go
// pixel by pixel with the edge tests. Streaming needs a float-aligned dst.
template <bool Streaming>
void demosaic_rows(const Mosaic& m, float* dst) {
    const RgbStore rgb;
    for (uint64_t r = 0; r < m.height; ++r) {
        float* dst_row = dst + r * m.width * 3;
        uint64_t c = 0;
        if (r > 0 && r + 1 < m.height && m.width > 2) {
            const uint64_t first = first_aligned_column(dst_row);
            for (; c < first && c < m.width; ++c)
                demosaic_pixel(m, r, c, dst_row + c * 3);
            if (c == first) c = demosaic_interior<Streaming>(m, r, first, rgb, dst);
        }
        for (; c < m.width; ++c)
            demosaic_pixel(m, r, c, dst_row + c * 3);
    }
    if constexpr (Streaming) end_streaming();
}

}  // namespace

void bilinear_demosaic(const float* src, float* dst, uint64_t height, uint64_t width, const uint32_t* codes) {
    const Mosaic m{src, height, width, codes};
    const bool streaming = height * width * 3 * sizeof(float) >= kStreamingBytes &&
                           reinterpret_cast<uintptr_t>(dst) % sizeof(float) == 0;
    if (streaming)
        demosaic_rows<true>(m, dst);
    else
        demosaic_rows<false>(m, dst);
}

}  // namespace orvex::ORVEX_ISA
