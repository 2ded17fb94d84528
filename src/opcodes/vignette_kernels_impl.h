// Body of the vignette kernels; included by one translation unit per
// instruction set after it defines ORVEX_ISA. The compiler vectorises these
// loops; each lane performs the scalar operations in the written order.
#include <cstddef>
#include <cstdint>

#include "frame/simd.h"
#include "opcodes/area_blocks.h"
#include "opcodes/vignette_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

// The image is corrected in bands of columns, all rows of a band in turn, so
// that each column's squared offset is divided out once per call. A band
// (64 KiB of offsets on the stack) spans the width of common sensors, so
// their images are walked in memory order.
constexpr int kBand = 8192;

void band_offsets(double* __restrict dx2, int n, double x0, const VignetteImage& image) {
    for (int i = 0; i < n; ++i) {
        const double dx = (x0 + static_cast<double>(i) - image.cx) / image.radius;
        dx2[i] = dx * dx;
    }
}

// Gains are written once per channel, so that they line up with the
// interleaved samples; a pixel's gain is computed once in any case.
constexpr int kPiece = 32;

// 1 + k0 r^2 + k1 r^4 + ... summed in that order in double, converted to
// float once per pixel, then repeated for each channel.
template <int N, int C>
void piece_gains(float* __restrict gains, const double* __restrict dx2, int n, double dy2, const double* coef_in) {
    double coef[N];
    for (int k = 0; k < N; ++k)
        coef[k] = coef_in[k];
    float pixel_gains[kPiece];
    for (int i = 0; i < n; ++i) {
        const double r2 = dy2 + dx2[i];
        double gain = 1.0;
        double power = r2;
        for (int k = 0; k < N; ++k) {
            gain = gain + power * coef[k];
            power = power * r2;
        }
        pixel_gains[i] = static_cast<float>(gain);
    }
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < C; ++c)
            gains[i * C + c] = pixel_gains[i];
}

void apply_gains(float* samples, const float* gains, size_t n) {
    size_t i = 0;
    for (; i + simd::kLanes <= n; i += simd::kLanes)
        simd::store(samples + i,
                    simd::clamp_unit_flush_minus_zero(simd::mul(simd::load(gains + i), simd::load(samples + i))));
    for (; i < n; ++i)
        samples[i] = simd::clamp_unit_flush_minus_zero(gains[i] * samples[i]);
}

// Three channels: each pixel's gain multiplies the pixel's three samples,
// split into one vector per channel.
void apply_gains3(float* samples, const float* gains, size_t n) {
    size_t i = 0;
    for (; i + simd::kLanes <= n; i += simd::kLanes) {
        const simd::vf g = simd::load(gains + i);
        simd::vf c0, c1, c2;
        simd::load3(samples + 3 * i, c0, c1, c2);
        simd::store3(samples + 3 * i, simd::clamp_unit_flush_minus_zero(simd::mul(g, c0)),
                     simd::clamp_unit_flush_minus_zero(simd::mul(g, c1)),
                     simd::clamp_unit_flush_minus_zero(simd::mul(g, c2)));
    }
    for (; i < n; ++i)
        for (size_t c = 0; c < 3; ++c)
            samples[3 * i + c] = simd::clamp_unit_flush_minus_zero(gains[i] * samples[3 * i + c]);
}

// One row of a band, for an image of C channels.
template <int N, int C>
void band_row(float* samples, const double* dx2, int n, double dy2, const double* coef) {
    float gains[kPiece * C];
    for (int x = 0; x < n; x += kPiece) {
        const int m = n - x < kPiece ? n - x : kPiece;
        if constexpr (C == 3) {
            piece_gains<N, 1>(gains, dx2 + x, m, dy2, coef);
            apply_gains3(samples + static_cast<size_t>(x) * C, gains, static_cast<size_t>(m));
        } else {
            piece_gains<N, C>(gains, dx2 + x, m, dy2, coef);
            apply_gains(samples + static_cast<size_t>(x) * C, gains, static_cast<size_t>(m) * C);
        }
    }
}

// Any other channel count: one gain per pixel, channel by channel.
template <int N>
void band_row_any(float* samples, const double* dx2, int n, double dy2, const double* coef, uint64_t channels) {
    float gains[kPiece];
    for (int x = 0; x < n; x += kPiece) {
        const int m = n - x < kPiece ? n - x : kPiece;
        piece_gains<N, 1>(gains, dx2 + x, m, dy2, coef);
        for (int i = 0; i < m; ++i)
            for (uint64_t c = 0; c < channels; ++c) {
                float& s = samples[(static_cast<uint64_t>(x + i)) * channels + c];
                s = simd::clamp_unit_flush_minus_zero(gains[i] * s);
            }
    }
}

template <int N>
void fix_vignette(const VignetteImage& image) {
    const uint64_t channels = image.channels;
    double dx2[kBand];
    for (uint64_t x = 0; x < image.width; x += kBand) {
        const int n = image.width - x < kBand ? static_cast<int>(image.width - x) : kBand;
        band_offsets(dx2, n, static_cast<double>(x), image);
        for (uint64_t y = 0; y < image.height; ++y) {
            const double dy = (static_cast<double>(y) - image.cy) / image.radius;
            float* samples = image.samples + (y * image.width + x) * channels;
            if (channels == 1)
                band_row<N, 1>(samples, dx2, n, dy * dy, image.coef);
            else if (channels == 3)
                band_row<N, 3>(samples, dx2, n, dy * dy, image.coef);
            else if (channels == 4)
                band_row<N, 4>(samples, dx2, n, dy * dy, image.coef);
            else
                band_row_any<N>(samples, dx2, n, dy * dy, image.coef, channels);
        }
    }
}

}  // namespace

VignetteKernel select_vignette_kernel(int coefficient_count) {
    switch (coefficient_count) {
        case 1:
            return &fix_vignette<1>;
        case 2:
            return &fix_vignette<2>;
        case 3:
            return &fix_vignette<3>;
        case 4:
            return &fix_vignette<4>;
        default:
            return &fix_vignette<5>;
    }
}

}  // namespace orvex::ORVEX_ISA
