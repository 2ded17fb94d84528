// Worked examples of the colour transform, run under every instruction set.
// Pixel counts stay below one vector group here; the member test covers the
// vector loops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "color/transform_call.h"
#include "image_util.h"
#include "isa_param.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class TransformExamples : public IsaTest {};

template <class Src, class Dst>
std::vector<Dst> run_ok(std::vector<Src> src, const TransformParams& params) {
    std::vector<Dst> dst(src.size());
    EXPECT_EQ(transform(describe(src, 1, src.size() / 3, 3), describe(dst, 1, dst.size() / 3, 3), params),
              ORVEX_OK);
    return dst;
}

void expect_bits(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(bits_of(actual[i]), bits_of(expected[i])) << "sample " << i << ": " << actual[i];
}

TEST_P(TransformExamples, DirectLookupReadsTheCurveAtTheRawSample) {
    std::vector<float> curve(256);
    for (int i = 0; i < 256; ++i)
        curve[i] = static_cast<float>(i) / 512.0f;
    const std::vector<uint8_t> src = {10, 200, 63};
    const std::vector<float> direct = {10.0f / 512, 200.0f / 512, 63.0f / 512};
    const std::vector<float> ramp = {0.0f, 1.0f};
    // src_bits 6 would put sample 200 past the curve's end if interpolated.
    expect_bits(run_ok<uint8_t, float>(src, {.input = &curve, .src_bits = 6}), direct);
    expect_bits(run_ok<uint8_t, float>(src, {.input = &curve, .matrix = kIdentity, .src_bits = 6}), direct);
    expect_bits(run_ok<uint8_t, float>(src, {.input = &curve, .matrix = kIdentity, .output = &ramp, .src_bits = 6}),
                direct);
    // 10/512 * 255 = 4.98, 200/512 * 255 = 99.6, 63/512 * 255 = 31.4.
    EXPECT_EQ((run_ok<uint8_t, uint8_t>(src, {.input = &curve, .src_bits = 6})), (std::vector<uint8_t>{4, 99, 31}));
    // 255 entries: interpolated at s * 254/63, so 200 is clamped to the end.
    const std::vector<float> short_curve(curve.begin(), curve.end() - 1);
    EXPECT_EQ(bits_of(run_ok<uint8_t, float>(src, {.input = &short_curve, .src_bits = 6})[1]),
              bits_of(254.0f / 512));
}

TEST_P(TransformExamples, MatrixAndOutputCurveFoldPerTypePair) {
    // Row 0 scales channel 0 by 0.025; curve i / 4095. For sample 120,
    // (m / 255) * 4095 and (1/255 * m) * 4095 differ in the last bit and the
    // 16-bit results by one step.
    const float matrix[9] = {0.025f, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<float> curve(4096);
    for (int i = 0; i < 4096; ++i)
        curve[i] = static_cast<float>(i) / 4095.0f;
    const TransformParams params{.matrix = matrix, .output = &curve};
    EXPECT_EQ((run_ok<uint8_t, uint16_t>({120, 0, 0}, params)), (std::vector<uint16_t>{770, 0, 0}));
    TransformParams eight_bit_u16 = params;
    eight_bit_u16.src_bits = 8;
    EXPECT_EQ((run_ok<uint16_t, uint16_t>({120, 0, 0}, eight_bit_u16)), (std::vector<uint16_t>{771, 0, 0}));
}

TEST_P(TransformExamples, OutputCurveIsNotClamped) {
    const std::vector<float> high = {1.2f, 1.2f};
    std::vector<uint8_t> src(3 * 256);
    for (int i = 0; i < 256; ++i)
        src[3 * i] = src[3 * i + 1] = src[3 * i + 2] = static_cast<uint8_t>(i);
    // 1.2 * 255 = 306, stored modulo 256.
    const std::vector<uint8_t> dst = run_ok<uint8_t, uint8_t>(src, {.matrix = kIdentity, .output = &high});
    EXPECT_EQ(dst, std::vector<uint8_t>(3 * 256, 50));
    const std::vector<float> one_entry = {1.2f};
    expect_bits(run_ok<float, float>({0.3f, -1.0f, kNaN}, {.matrix = kIdentity, .output = &one_entry}),
                {1.2f, 1.2f, 1.2f});
}

TEST_P(TransformExamples, NaNInMatrixOnlyZeroesItsPixel) {
    const float matrix[9] = {0.5f, 0.25f, 0.25f, 0.25f, 0.5f, 0.25f, 0.25f, 0.25f, 0.5f};
    expect_bits(run_ok<float, float>({kNaN, 0.5f, 0.25f, 0.5f, 0.5f, 0.5f}, {.matrix = matrix}),
                {0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f});
    EXPECT_EQ((run_ok<float, uint8_t>({0.5f, kNaN, 0.5f}, {.matrix = matrix})), (std::vector<uint8_t>{0, 0, 0}));
}

TEST_P(TransformExamples, CurvePositionsClampToTheEnds) {
    const std::vector<float> curve = {0.1f, 0.2f, 0.7f, 0.9f};
    expect_bits(run_ok<float, float>({1.0f, 2.0f, -0.5f, kNaN, kInf, -kInf}, {.input = &curve}),
                {0.9f, 0.9f, 0.1f, 0.9f, 0.9f, 0.1f});
    // 12-bit data in 16-bit samples: 65535 lies far past full scale.
    expect_bits(run_ok<uint16_t, float>({65535, 8190, 0}, {.input = &curve, .src_bits = 12}), {0.9f, 0.9f, 0.1f});
    const std::vector<float> single = {0.3f};
    expect_bits(run_ok<float, float>({kNaN, -1.0f, 0.5f}, {.input = &single}), {0.3f, 0.3f, 0.3f});
}

TEST_P(TransformExamples, SingleCurveUsesTheInputCurveAndClampsIt) {
    const std::vector<float> ramp = {0.0f, 1.0f};
    const std::vector<float> flat = {0.5f, 0.5f};
    expect_bits(run_ok<float, float>({0.25f, 0.75f, 0.0f}, {.input = &ramp, .output = &flat}),
                {0.25f, 0.75f, 0.0f});
    expect_bits(run_ok<float, float>({0.25f, 0.75f, 0.0f}, {.output = &flat}), {0.5f, 0.5f, 0.5f});
    const std::vector<float> steep = {-0.5f, 1.5f};
    expect_bits(run_ok<float, float>({0.0f, 1.0f, 0.125f}, {.input = &steep}), {0.0f, 1.0f, 0.0f});
    // A clamp to 0..1 keeps -0 (it is >= 0).
    const std::vector<float> negative_zero = {-0.0f};
    expect_bits(run_ok<float, float>({0.5f, 0.0f, 1.0f}, {.input = &negative_zero}), {-0.0f, -0.0f, -0.0f});
}

TEST_P(TransformExamples, TopPositionKeepsTheSignOfZero) {
    // One-entry output curve -0: N2 = 0, so the folded row is -0 for a
    // negative row and +0 for a positive one. A position of -0 stays -0 and
    // interpolates to +0; a position of +0 gives -0.
    const std::vector<float> negative_zero = {-0.0f};
    const float matrix[9] = {-1, -1, -1, 1, 1, 1, 0.5f, 0.5f, 0.5f};
    expect_bits(run_ok<float, float>({0.5f, 0.5f, 0.5f}, {.matrix = matrix, .output = &negative_zero}),
                {0.0f, -0.0f, -0.0f});
}

TEST_P(TransformExamples, IntegerStoresTruncate) {
    EXPECT_EQ((run_ok<float, uint8_t>({0.99996f, 1.0f, -0.1f}, {.matrix = kIdentity})),
              (std::vector<uint8_t>{254, 255, 0}));
    EXPECT_EQ((run_ok<float, uint16_t>({0.5f, 1.0f, 0.25f}, {.matrix = kIdentity})),
              (std::vector<uint16_t>{32767, 65535, 16383}));
    // dst_bits 10: 0.5 * 1023 = 511.5.
    EXPECT_EQ((run_ok<float, uint16_t>({0.5f, 1.0f, 0.0f}, {.matrix = kIdentity, .dst_bits = 10})),
              (std::vector<uint16_t>{511, 1023, 0}));
    // A float destination is full scale at 1.0 whatever dst_bits says.
    expect_bits(run_ok<float, float>({0.5f, 1.0f, 0.0f}, {.matrix = kIdentity, .dst_bits = 12}),
                {0.5f, 1.0f, 0.0f});
}

TEST_P(TransformExamples, HuePreservingCurveKeepsTheMiddleInProportion) {
    const std::vector<float> ramp = {0.0f, 1.0f};
    expect_bits(run_ok<float, float>({0.2f, 0.5f, 0.8f}, {.input = &ramp, .preserve_hue = true}),
                {0.2f, 0.5f, 0.8f});
    // A per-channel curve would give (0.2, 0.8, 1.0).
    const std::vector<float> knee = {0.0f, 1.0f, 1.0f};
    expect_bits(run_ok<float, float>({0.1f, 0.4f, 0.7f}, {.input = &knee, .preserve_hue = true}),
                {0.2f, 0.6f, 1.0f});
    // Other orders of the channels: the roles follow the values.
    expect_bits(run_ok<float, float>({0.4f, 0.7f, 0.1f, 0.7f, 0.1f, 0.4f}, {.input = &knee, .preserve_hue = true}),
                {0.6f, 1.0f, 0.2f, 1.0f, 0.2f, 0.6f});
}

TEST_P(TransformExamples, HuePreservingCurveAloneIsUnclampedFloat) {
    // The output curve is ignored without a matrix; values above 1 pass.
    const std::vector<float> curve = {0.25f, 1.5f};
    const std::vector<float> zero = {0.0f, 0.0f};
    expect_bits(run_ok<float, float>({1.0f, 1.0f, 1.0f, 2.0f, kNaN, -1.0f},
                                     {.input = &curve, .output = &zero, .preserve_hue = true}),
                {1.5f, 1.5f, 1.5f, 1.5f, 0.25f, 0.25f});
    // Grey: T(0.5) = 0.5 * 0.25 + 0.5 * 1.5 in all three channels.
    expect_bits(run_ok<float, float>({0.5f, 0.5f, 0.5f}, {.input = &curve, .preserve_hue = true}),
                {0.875f, 0.875f, 0.875f});
}

TEST_P(TransformExamples, HuePreservingCurveNeedsASpanAboveTenToTheMinusTen) {
    const std::vector<float> ramp = {0.0f, 1.0f};
    // hi - lo = 1e-10: the middle channel takes T(lo).
    expect_bits(run_ok<float, float>({1e-10f, 0.0f, 5e-11f}, {.input = &ramp, .preserve_hue = true}),
                {1e-10f, 0.0f, 0.0f});
    // Just above: (mid - lo) * (T(hi) - T(lo)) / (hi - lo) + T(lo).
    const std::vector<float> above =
        run_ok<float, float>({2e-10f, 0.0f, 5e-11f}, {.input = &ramp, .preserve_hue = true});
    EXPECT_EQ(bits_of(above[2]), bits_of((5e-11f * 2e-10f) / 2e-10f + 0.0f));
}

TEST_P(TransformExamples, HuePreservingCurveWithMatrixAndOutputCurve) {
    const std::vector<float> ramp = {0.0f, 1.0f};
    // 0.2 * 255 = 51.00001, 0.5 * 255 = 127.5, 0.8 * 255 = 204.00001.
    EXPECT_EQ(
        (run_ok<float, uint8_t>({0.2f, 0.5f, 0.8f}, {.input = &ramp, .matrix = kIdentity, .preserve_hue = true})),
        (std::vector<uint8_t>{51, 127, 204}));
    const float doubling[9] = {2, 0, 0, 0, 2, 0, 0, 0, 2};
    EXPECT_EQ(
        (run_ok<float, uint16_t>({0.25f, 0.75f, 0.5f},
                                 {.input = &ramp, .matrix = doubling, .output = &ramp, .preserve_hue = true})),
        (std::vector<uint16_t>{32767, 65535, 65535}));
    expect_bits(
        run_ok<float, float>({0.25f, 0.75f, 0.5f}, {.input = &ramp, .matrix = doubling, .preserve_hue = true}),
        {0.5f, 1.0f, 1.0f});
}

ORVEX_INSTANTIATE_PER_ISA(TransformExamples);

}  // namespace
}  // namespace orvex::testing
