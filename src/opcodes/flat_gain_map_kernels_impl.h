// Body of the flat gain grid kernel; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
#include "frame/simd.h"
#include "opcodes/area_blocks.h"
#include "opcodes/flat_gain_map_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

struct LaneOffsets {
    float value[simd::kLanes];
    constexpr LaneOffsets() : value() {
        for (int i = 0; i < simd::kLanes; ++i)
            value[i] = static_cast<float>(i);
    }
};

constexpr LaneOffsets kLaneOffsets{};

}  // namespace

void flat_run(float* samples, size_t n, float j0, const FlatCell& cell) {
    const simd::vf one = simd::set1(1.0f);
    const simd::vf g00 = simd::set1(cell.g00);
    const simd::vf g01 = simd::set1(cell.g01);
    const simd::vf g10 = simd::set1(cell.g10);
    const simd::vf g11 = simd::set1(cell.g11);
    const simd::vf x0 = simd::set1(cell.x0);
    const simd::vf sx = simd::set1(cell.sx);
    const simd::vf fy = simd::set1(cell.fy);
    const simd::vf one_minus_fy = simd::set1(1.0f - cell.fy);
    const simd::vf step = simd::set1(static_cast<float>(simd::kLanes));
    simd::vf j = simd::add(simd::set1(j0), simd::load(kLaneOffsets.value));
    for_each_block(samples, n, simd::kLanes, [&](float* p) {
        const simd::vf fx = simd::sub(simd::mul(j, sx), x0);
        const simd::vf one_minus_fx = simd::sub(one, fx);
        const simd::vf t = simd::add(simd::mul(one_minus_fx, g00), simd::mul(fx, g01));
        const simd::vf u = simd::add(simd::mul(one_minus_fx, g10), simd::mul(fx, g11));
        const simd::vf gain = simd::add(simd::mul(t, one_minus_fy), simd::mul(u, fy));
        simd::store(p, simd::mul(gain, simd::load(p)));
        j = simd::add(j, step);
    });
}

}  // namespace orvex::ORVEX_ISA
