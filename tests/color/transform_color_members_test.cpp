// Every member of the transform kernel family, under every instruction set,
// against the per-pixel model on random samples, curves and matrices (with
// NaN, infinities and signed zeros among them), at pixel counts around the
// vector widths, with separate buffers and in place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "color/transform_kernels.h"
#include "color/transform_reference.h"
#include "color/transform_selection.h"
#include "frame/nominal_max.h"
#include "image_util.h"
#include "isa_param.h"

namespace orvex::testing {
namespace {

struct Member {
    uint32_t src;
    uint32_t dst;
    StageSet stages;
    bool direct;
};

std::string name_of(const Member& m) {
    return "stage set " + std::to_string(static_cast<int>(m.stages)) + (m.direct ? " direct " : " ") +
           std::to_string(m.src) + "->" + std::to_string(m.dst);
}

std::vector<Member> all_members() {
    const uint32_t types[] = {ORVEX_DTYPE_UINT8, ORVEX_DTYPE_UINT16, ORVEX_DTYPE_FLOAT32};
    std::vector<Member> members;
    for (StageSet s : {StageSet::input_matrix_output, StageSet::input_matrix, StageSet::matrix_output,
                       StageSet::matrix, StageSet::single_curve})
        for (uint32_t src : types)
            for (uint32_t dst : types)
                members.push_back({src, dst, s, false});
    for (StageSet s : {StageSet::input_matrix_output, StageSet::input_matrix, StageSet::single_curve})
        for (uint32_t dst : types)
            members.push_back({ORVEX_DTYPE_UINT8, dst, s, true});
    members.push_back({ORVEX_DTYPE_FLOAT32, ORVEX_DTYPE_FLOAT32, StageSet::hue, false});
    for (StageSet s : {StageSet::hue_matrix, StageSet::hue_matrix_output})
        for (uint32_t dst : types)
            members.push_back({ORVEX_DTYPE_FLOAT32, dst, s, false});
    return members;
}

float pick_float(std::mt19937& rng, float low, float high) {
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              -0.0f,
                              0.0f,
                              1.0f,
                              2.0f,
                              -0.5f};
    if (rng() % 16 == 0) return specials[rng() % 8];
    return std::uniform_real_distribution<float>(low, high)(rng);
}

std::vector<float> random_curve(std::mt19937& rng, size_t len) {
    std::vector<float> curve(len);
    for (float& c : curve)
        c = pick_float(rng, -0.1f, 1.1f);
    return curve;
}

// A call that selects `member`, with its model.
struct MemberCall {
    std::vector<float> input, output, matrix;
    int32_t src_bits = 0, dst_bits = 0;
    bool preserve_hue = false;
    reference::Call model;
};

MemberCall make_call(const Member& member, std::mt19937& rng) {
    MemberCall s;
    const int32_t src_bits[] = {0, 0, 6, 8, 10, 12, 16};
    const int32_t dst_bits[] = {0, 0, 8, 10, 12};
    s.src_bits = src_bits[rng() % 7];
    s.dst_bits = dst_bits[rng() % 5];
    // 256 entries would make an 8-bit source read its curve directly.
    const size_t lengths[] = {1, 2, 17, 255, 257, 4096};
    const StageSet set = member.stages;
    const bool has_input = set != StageSet::matrix_output && set != StageSet::matrix;
    const bool has_matrix = set != StageSet::single_curve && set != StageSet::hue;
    const bool has_output = set == StageSet::input_matrix_output || set == StageSet::matrix_output ||
                            set == StageSet::hue_matrix_output;
    s.preserve_hue = set == StageSet::hue || set == StageSet::hue_matrix || set == StageSet::hue_matrix_output;
    if (has_input) s.input = random_curve(rng, member.direct ? 256 : lengths[rng() % 6]);
    if (has_output) s.output = random_curve(rng, lengths[rng() % 6]);
    if (has_matrix) s.matrix = random_curve(rng, 9);
    // Without a matrix an output curve beside the input curve is ignored;
    // a single curve may also come as the output curve alone.
    const int variant = has_matrix ? 0 : static_cast<int>(rng() % 3);
    if (variant == 1) s.output = random_curve(rng, 3);
    if (variant == 2 && set == StageSet::single_curve) std::swap(s.input, s.output);

    reference::Call& model = s.model;
    model.stages = set;
    model.direct = member.direct;
    model.src_u8 = member.src == ORVEX_DTYPE_UINT8;
    model.dst_int = member.dst != ORVEX_DTYPE_FLOAT32;
    model.m = has_matrix ? s.matrix.data() : nullptr;
    model.c1 = s.input.empty() ? s.output : s.input;
    if (has_output) model.c2 = s.output;
    model.in_max = nominal_max(member.src, s.src_bits);
    model.out_max = nominal_max(member.dst, s.dst_bits);
    reference::pad_curves(model);
    return s;
}

template <class T>
std::vector<T> random_samples(std::mt19937& rng, size_t n) {
    std::vector<T> samples(n);
    for (T& v : samples) {
        if constexpr (sizeof(T) == 4)
            v = pick_float(rng, -0.2f, 1.2f);
        else
            v = static_cast<T>(rng());
    }
    return samples;
}

template <class Dst, class Src>
std::vector<Dst> expected_result(const MemberCall& s, const std::vector<Src>& src) {
    std::vector<Dst> out(src.size());
    for (size_t p = 0; p < src.size() / 3; ++p) {
        const float in[3] = {static_cast<float>(src[3 * p]), static_cast<float>(src[3 * p + 1]),
                             static_cast<float>(src[3 * p + 2])};
        float t[3];
        reference::transform_pixel(s.model, in, t);
        for (int k = 0; k < 3; ++k)
            out[3 * p + k] = reference::store<Dst>(t[k]);
    }
    return out;
}

orvex_status run(const MemberCall& s, const orvex_image& src, const orvex_image& dst) {
    auto ptr = [](const std::vector<float>& v) { return v.empty() ? nullptr : v.data(); };
    return orvex_transform_color(&src, &dst, ptr(s.input), s.input.size(), ptr(s.matrix), ptr(s.output),
                                 s.output.size(), s.src_bits, s.dst_bits, s.preserve_hue);
}

template <class T>
void expect_same_bytes(const std::vector<T>& actual, const std::vector<T>& expected, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        // Which operand's NaN an operation passes on is not fixed, so any NaN
        // matches any NaN; every other value must match bit for bit.
        if constexpr (sizeof(T) == 4) {
            if (std::isnan(actual[i]) && std::isnan(expected[i])) continue;
        }
        if (std::memcmp(&actual[i], &expected[i], sizeof(T)) != 0) {
            ADD_FAILURE() << what << ": sample " << i << " is " << +actual[i] << ", expected " << +expected[i];
            return;
        }
    }
}

// Around the vector widths, and on both sides of the image size from which
// an integer source reads its first curve from a per-sample table. 16-bit
// sources read that table in blocks of 64 pixels: whole blocks only, one
// pixel into a new block, and a block whose samples end mid-vector.
std::vector<size_t> pixel_counts(uint32_t src_dtype) {
    std::vector<size_t> counts = {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 85, 86, 127, 128, 129, 300};
    if (src_dtype == ORVEX_DTYPE_UINT16) counts.insert(counts.end(), {21845, 21846, 21888, 21889, 21903});
    return counts;
}

template <class Src, class Dst>
void check_member(const Member& member, std::mt19937& rng) {
    for (size_t pixels : pixel_counts(member.src)) {
        const MemberCall s = make_call(member, rng);
        std::vector<Src> src = random_samples<Src>(rng, 3 * pixels);
        const std::vector<Dst> expected = expected_result<Dst>(s, src);
        const std::string what = name_of(member) + ", " + std::to_string(pixels) + " pixels";

        std::vector<Dst> dst(3 * pixels, Dst{});
        ASSERT_EQ(run(s, describe(src, pixels, 1, 3), describe(dst, pixels, 1, 3)), ORVEX_OK) << what;
        expect_same_bytes(dst, expected, what);

        if constexpr (std::is_same_v<Src, Dst>) {
            const orvex_image image = describe(src, pixels, 1, 3);
            ASSERT_EQ(run(s, image, image), ORVEX_OK);
            expect_same_bytes(src, expected, what + " in place");
        }
    }
}

template <class Src>
void check_for_source(const Member& member, std::mt19937& rng) {
    if (member.dst == ORVEX_DTYPE_UINT8) return check_member<Src, uint8_t>(member, rng);
    if (member.dst == ORVEX_DTYPE_UINT16) return check_member<Src, uint16_t>(member, rng);
    check_member<Src, float>(member, rng);
}

class TransformMembers : public IsaTest {};

TEST_P(TransformMembers, EveryMemberMatchesThePerPixelModel) {
    std::mt19937 rng(20261208);
    for (const Member& member : all_members()) {
        if (member.src == ORVEX_DTYPE_UINT8)
            check_for_source<uint8_t>(member, rng);
        else if (member.src == ORVEX_DTYPE_UINT16)
            check_for_source<uint16_t>(member, rng);
        else
            check_for_source<float>(member, rng);
    }
}

// An 8-bit source reads its first curve from a 256-entry table, directly
// (256 entries) or tabulated from an interpolated curve (257 entries). Every
// sample value in every channel and lane position, past a group boundary and
// in a short tail, must read its own entry; the entries include NaN,
// infinities, signed zeros and values outside 0..1.
TEST_P(TransformMembers, EightBitSourcesReadEveryTableEntry) {
    std::vector<uint8_t> src(3 * 300);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<uint8_t>((i * 7 + i / 256) % 256);
    const size_t pixels = src.size() / 3;
    std::vector<float> matrix = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    for (size_t len : {size_t{256}, size_t{257}}) {
        std::vector<float> curve(len);
        for (size_t i = 0; i < len; ++i)
            curve[i] = (static_cast<float>(i) + 0.5f) / 256.0f;
        curve[0] = -0.0f;
        curve[3] = std::numeric_limits<float>::quiet_NaN();
        curve[17] = std::numeric_limits<float>::infinity();
        curve[128] = -std::numeric_limits<float>::infinity();
        curve[255] = 1.5f;
        for (StageSet set : {StageSet::single_curve, StageSet::input_matrix}) {
            MemberCall s;
            s.input = curve;
            if (set == StageSet::input_matrix) s.matrix = matrix;
            reference::Call& model = s.model;
            model.stages = set;
            model.direct = len == 256;
            model.src_u8 = true;
            model.c1 = curve;
            model.m = s.matrix.empty() ? nullptr : s.matrix.data();
            model.in_max = nominal_max(ORVEX_DTYPE_UINT8, 0);
            reference::pad_curves(model);
            const std::vector<float> expected = expected_result<float>(s, src);
            std::vector<float> dst(src.size(), -1.0f);
            ASSERT_EQ(run(s, describe(src, pixels, 1, 3), describe(dst, pixels, 1, 3)), ORVEX_OK);
            expect_same_bytes(dst, expected, std::to_string(len) + "-entry curve");
            if (set != StageSet::single_curve) continue;
            // 8-bit results are read from a byte table by shuffles.
            model.out_max = nominal_max(ORVEX_DTYPE_UINT8, 0);
            std::vector<uint8_t> bytes(src.size(), 1);
            ASSERT_EQ(run(s, describe(src, pixels, 1, 3), describe(bytes, pixels, 1, 3)), ORVEX_OK);
            expect_same_bytes(bytes, expected_result<uint8_t>(s, src), std::to_string(len) + "-entry curve to u8");
        }
    }
}

ORVEX_INSTANTIATE_PER_ISA(TransformMembers);

// The calls above reach 61 distinct kernels, and keys outside the family
// have none.
TEST(TransformMembers, CallsReachEachOfTheSixtyOneKernels) {
    std::mt19937 rng(7);
    std::set<TransformKernel> reached;
    for (const Member& member : all_members()) {
        const MemberCall s = make_call(member, rng);
        auto ptr = [](const std::vector<float>& v) { return v.empty() ? nullptr : v.data(); };
        const TransformInputs inputs{member.src,    member.dst,    ptr(s.input),    s.input.size(),
                                     ptr(s.matrix), ptr(s.output), s.output.size(), s.preserve_hue};
        TransformPlan plan;
        ASSERT_EQ(plan_transform(inputs, plan), ORVEX_OK) << name_of(member);
        const TransformKernel kernel = baseline::select_transform_kernel(plan.key);
        ASSERT_NE(kernel, nullptr) << name_of(member);
        reached.insert(kernel);
    }
    EXPECT_EQ(reached.size(), 61u);

    EXPECT_EQ(
        baseline::select_transform_kernel({ORVEX_DTYPE_UINT16, ORVEX_DTYPE_UINT8, StageSet::input_matrix, true}),
        nullptr);
    EXPECT_EQ(baseline::select_transform_kernel({ORVEX_DTYPE_UINT8, ORVEX_DTYPE_UINT8, StageSet::matrix, true}),
              nullptr);
    EXPECT_EQ(
        baseline::select_transform_kernel({ORVEX_DTYPE_UINT8, ORVEX_DTYPE_FLOAT32, StageSet::hue_matrix, false}),
        nullptr);
    EXPECT_EQ(baseline::select_transform_kernel({ORVEX_DTYPE_FLOAT32, ORVEX_DTYPE_UINT8, StageSet::hue, false}),
              nullptr);
}

}  // namespace
}  // namespace orvex::testing
