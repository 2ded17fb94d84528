// Body of the area gain map kernels; included by one translation unit per
// instruction set after it defines ORVEX_ISA.

#include "frame/simd.h"
#include "opcodes/area_blocks.h"
#include "opcodes/gain_map_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

static_assert(3 * simd::kLanes <= kRampSpill, "a ramp block must fit in the spill room");

// Lane l of vector v in a block of C vectors holds channel (v * L + l) % C of
// pixel (v * L + l) / C, counted from the block's first pixel.
template <int C>
struct LanePattern {
    float pixel[3 * simd::kLanes];
    float channel[3 * simd::kLanes];
    constexpr LanePattern() : pixel(), channel() {
        for (int i = 0; i < C * simd::kLanes; ++i) {
            pixel[i] = static_cast<float>(i / C);
            channel[i] = static_cast<float>(i % C);
        }
    }
};

template <int C>
constexpr LanePattern<C> kPattern{};

template <int C>
simd::vf per_channel(int v, const float* x) {
    if constexpr (C == 1) {
        return simd::set1(x[0]);
    } else {
        const simd::vf channel = simd::load(kPattern<C>.channel + v * simd::kLanes);
        return simd::select(simd::lt(channel, simd::set1(0.5f)), simd::set1(x[0]),
                            simd::select(simd::lt(channel, simd::set1(1.5f)), simd::set1(x[1]), simd::set1(x[2])));
    }
}

template <int C>
void fill_ramp(float* gains, size_t pixels, float k0, const float* slope, const float* value) {
    constexpr int L = simd::kLanes;
    simd::vf offset[C], slopes[C], values[C];
    for (int v = 0; v < C; ++v) {
        offset[v] = simd::load(kPattern<C>.pixel + v * L);
        slopes[v] = per_channel<C>(v, slope);
        values[v] = per_channel<C>(v, value);
    }
    // Counter of the block's first pixel; whole numbers up to 2^24 add exactly
    // (lanes past the run may round, and are overwritten).
    simd::vf k = simd::set1(k0);
    const simd::vf step = simd::set1(static_cast<float>(L));
    for (size_t i = 0; i < pixels; i += L) {
        for (int v = 0; v < C; ++v)
            simd::store(gains + i * C + v * L, simd::add(simd::mul(simd::add(k, offset[v]), slopes[v]), values[v]));
        k = simd::add(k, step);
    }
}

}  // namespace

void apply_gains(float* samples, const float* gains, size_t n) {
    constexpr size_t L = simd::kLanes;
    size_t i = 0;
    for (; i + L <= n; i += L)
        simd::store(samples + i,
                    simd::clamp_unit_flush_minus_zero(simd::mul(simd::load(gains + i), simd::load(samples + i))));
    for (; i < n; ++i)
        samples[i] = simd::clamp_unit_flush_minus_zero(gains[i] * samples[i]);
}

FillRampKernel select_fill_ramp_kernel(uint64_t channels) { return channels == 3 ? &fill_ramp<3> : &fill_ramp<1>; }

}  // namespace orvex::ORVEX_ISA
