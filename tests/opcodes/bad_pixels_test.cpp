#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

using Words = std::vector<uint16_t>;
constexpr uint16_t C = 9999;  // the marker in most cases

// Repairs src into a copy of itself, or into src itself when in_place is set.
Words repair(const Words& src, uint64_t height, uint64_t width, int32_t constant, uint32_t phase,
             bool in_place = false) {
    Words s = src;
    Words d = src;
    orvex_image si = describe(s, height, width, 1);
    orvex_image di = describe(d, height, width, 1);
    EXPECT_EQ(orvex_fix_bad_pixels_constant(&si, in_place ? &si : &di, constant, phase), ORVEX_OK);
    return in_place ? s : d;
}

class FixBadPixels : public IsaTest {};

// Phase 0: green where i + j is even, so the corner is green and its only
// diagonal neighbour is (1, 1).
TEST_P(FixBadPixels, GreenCornerUsesItsOneDiagonal) {
    EXPECT_EQ(repair({C, 1, 2, 3, 7, 4}, 2, 3, C, 0), (Words{7, 1, 2, 3, 7, 4}));
    // Phase 1 makes the corner red or blue: neighbours two away, (0, 2) and (2, 0).
    EXPECT_EQ(repair({C, 1, 20, 3, 7, 4, 40, 5, 6}, 3, 3, C, 1), (Words{30, 1, 20, 3, 7, 4, 40, 5, 6}));
}

// Rounded mean with halves up: 1 and 2 give 2; 1 1 1 2 give 1; three
// neighbours summing to 10 give 3; four summing to 10 give 3 ((10 + 2) >> 2).
TEST_P(FixBadPixels, RoundedMeanOfGoodNeighbours) {
    // Green centre of a 3 x 3 (phase 0): diagonals (0,0) (0,2) (2,0) (2,2).
    EXPECT_EQ(repair({1, 0, 2, 0, C, 0, C, 0, C}, 3, 3, C, 0)[4], 2);
    EXPECT_EQ(repair({1, 0, 1, 0, C, 0, 1, 0, 2}, 3, 3, C, 0)[4], 1);
    EXPECT_EQ(repair({3, 0, 3, 0, C, 0, 4, 0, C}, 3, 3, C, 0)[4], 3);
    EXPECT_EQ(repair({2, 0, 2, 0, C, 0, 3, 0, 3}, 3, 3, C, 0)[4], 3);
    EXPECT_EQ(repair({65535, 0, 65535, 0, C, 0, 65535, 0, 65534}, 3, 3, C, 0)[4], 65535);
}

// Red/blue centre of a 5 x 5 (phase 1): the four samples two away; the
// direct and diagonal neighbours are ignored.
TEST_P(FixBadPixels, RedBlueSiteUsesSamplesTwoAway) {
    Words src(25, 500);
    src[12] = C;
    src[2] = 10;
    src[22] = 20;
    src[10] = 30;
    src[14] = 41;
    EXPECT_EQ(repair(src, 5, 5, C, 1)[12], (10 + 20 + 30 + 41 + 2) / 4);
    EXPECT_EQ(repair(src, 5, 5, C, 2)[12], (10 + 20 + 30 + 41 + 2) / 4);
    // Phases 0 and 3 make the centre green: diagonals, all 500.
    EXPECT_EQ(repair(src, 5, 5, C, 0)[12], 500);
    EXPECT_EQ(repair(src, 5, 5, C, 3)[12], 500);
    // Only the parity of phase + (phase >> 1) counts: 4 acts as 0, 5 as 1.
    EXPECT_EQ(repair(src, 5, 5, C, 4)[12], 500);
    EXPECT_EQ(repair(src, 5, 5, C, 5)[12], (10 + 20 + 30 + 41 + 2) / 4);
    EXPECT_EQ(repair(src, 5, 5, C, 0xFFFFFFFFu)[12], 500);  // 2^32 - 1 + 2^31 - 1 is even
}

TEST_P(FixBadPixels, NoGoodNeighbourLeavesSampleAlone) {
    EXPECT_EQ(repair({C, 1, C, 3, C, 4}, 2, 3, C, 0), (Words{C, 1, C, 3, C, 4}));
    EXPECT_EQ(repair({C}, 1, 1, C, 0), (Words{C}));
    EXPECT_EQ(repair({C, 5}, 1, 2, C, 1), (Words{C, 5}));
}

// Only the low 16 bits of the constant count.
TEST_P(FixBadPixels, ConstantUsesLow16Bits) {
    EXPECT_EQ(repair({5, 1, 2, 3, 7, 4}, 2, 3, 65536 + 5, 0), (Words{7, 1, 2, 3, 7, 4}));
    EXPECT_EQ(repair({65535, 1, 2, 3, 7, 4}, 2, 3, -1, 0), (Words{7, 1, 2, 3, 7, 4}));
}

// Row 0 of a 1 x 5 with phase 1 (j even: red/blue): (0,2) has good neighbour
// 20 at (0,0); (0,4) has only (0,2), which is good once repaired in place.
TEST_P(FixBadPixels, EarlierRepairsCountOnlyInPlace) {
    const Words src = {20, 0, C, 0, C};
    EXPECT_EQ(repair(src, 1, 5, C, 1, false), (Words{20, 0, 20, 0, C}));
    EXPECT_EQ(repair(src, 1, 5, C, 1, true), (Words{20, 0, 20, 0, 20}));
    // Green sites of a 3 x 3: (1,1) is repaired from (0,0) alone; in place,
    // (2,0) and (2,2), whose only diagonal is (1,1), then take its new value.
    const Words diagonal = {4, 0, C, 0, C, 0, C, 0, C};
    EXPECT_EQ(repair(diagonal, 3, 3, C, 0, false), (Words{4, 0, C, 0, 4, 0, C, 0, C}));
    EXPECT_EQ(repair(diagonal, 3, 3, C, 0, true), (Words{4, 0, C, 0, 4, 0, 4, 0, 4}));
}

// Unmarked samples are never written, even where dst differs from src; every
// marked sample is found wherever it sits in a row, including row ends and
// block edges of the vector search.
TEST_P(FixBadPixels, WritesExactlyTheMarkedSamples) {
    for (uint64_t width : {1, 2, 7, 63, 64, 65, 130, 200}) {
        const uint64_t height = 5;
        Words src(height * width, 100);
        for (uint64_t r = 0; r < height; ++r)
            for (uint64_t c : {uint64_t{0}, uint64_t{31}, uint64_t{63}, uint64_t{64}, uint64_t{127}, width - 1})
                if (c < width && (r + c) % 3 == 0) src[r * width + c] = C;
        Words dst(src.size(), 7);
        orvex_image si = describe(src, height, width, 1);
        orvex_image di = describe(dst, height, width, 1);
        ASSERT_EQ(orvex_fix_bad_pixels_constant(&si, &di, C, 0), ORVEX_OK);
        for (size_t i = 0; i < src.size(); ++i) {
            const uint64_t r = i / width, c = i % width;
            // With green on i + j even, a lone marked sample always has a good
            // same-colour neighbour unless the image is too small.
            const bool isolated = height < 2 || (width == 1 && (r + c) % 2 == 0);
            const uint16_t expected = src[i] == C && !isolated ? 100 : 7;
            EXPECT_EQ(dst[i], expected) << "width " << width << " at " << r << "," << c;
        }
    }
}

ORVEX_INSTANTIATE_PER_ISA(FixBadPixels);

// Each case breaks a valid call in one or two ways; the earlier test decides
// and nothing is written.
struct Call {
    Words src = {C, C, C, C, 50, C};
    Words dst = Words(6, 4321);
    orvex_image s = describe(src, 2, 3, 1), d = describe(dst, 2, 3, 1);
    const orvex_image *s_ptr = &s, *d_ptr = &d;
    orvex_status invoke() const { return orvex_fix_bad_pixels_constant(s_ptr, d_ptr, C, 0); }
};

TEST(FixBadPixelsValidation, FirstFailingTestDecidesAndNothingIsWritten) {
    const struct {
        orvex_status expected;
        void (*breaks)(Call&);
    } cases[] = {
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.s_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.s.data = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.d_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.d.data = nullptr, c.s.dtype = ORVEX_DTYPE_FLOAT32; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.s.dtype = ORVEX_DTYPE_FLOAT32; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.d.dtype = ORVEX_DTYPE_UINT8; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.d.dtype = 2, c.s.reserved = 1; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.s.reserved = 1, c.d.channels = 3; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.d.reserved = 1; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.s.channels = 3; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.d.channels = 0, c.d.height = 1; }},
        {ORVEX_ERR_SHAPE_MISMATCH, [](Call& c) { c.d.height = 1; }},
        {ORVEX_ERR_SHAPE_MISMATCH, [](Call& c) { c.s.width = 2; }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Call call;
        cases[i].breaks(call);
        EXPECT_EQ(call.invoke(), cases[i].expected) << "case " << i;
        EXPECT_EQ(call.dst, Words(6, 4321)) << "case " << i;
    }
    Call valid;
    EXPECT_EQ(valid.invoke(), ORVEX_OK);
    EXPECT_EQ(valid.dst, (Words{50, 4321, 50, 4321, 4321, 4321}));
}

}  // namespace
}  // namespace orvex::testing
