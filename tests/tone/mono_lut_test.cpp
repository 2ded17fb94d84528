#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

template <class Src, class Dst>
std::vector<Dst> map(std::vector<Src> src, const std::vector<float>& lut, int32_t src_bits = 0,
                     int32_t dst_bits = 0) {
    std::vector<Dst> dst(src.size());
    orvex_image s = describe(src, 1, src.size(), 1), d = describe(dst, 1, dst.size(), 1);
    EXPECT_EQ(orvex_mono_lut(&s, &d, lut.data(), lut.size(), src_bits, dst_bits), ORVEX_OK);
    return dst;
}

class MonoLutTest : public IsaTest {};

// Five entries over 0..1 read at quarter steps reproduce every sample in
// 0..1 exactly; outside it the position clamps. Lengths cover each vector
// width with a tail.
TEST_P(MonoLutTest, FloatSourceInterpolatesEveryLength) {
    const std::vector<float> quarters = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    const float pattern[] = {0.3f,  0.0f, 1.0f, 0.8125f, 1.5f,    kInf, -0.25f,
                             -kInf, kNaN, 0.5f, 0.999f,  0.0625f, 0.41f};
    for (size_t n : {1, 3, 4, 7, 15, 16, 17, 33, 50}) {
        std::vector<float> src(n);
        for (size_t i = 0; i < n; ++i)
            src[i] = pattern[i % std::size(pattern)];
        const std::vector<float> as_float = map<float, float>(src, quarters);
        const std::vector<uint8_t> as_u8 = map<float, uint8_t>(src, quarters);
        const std::vector<uint16_t> as_u16 = map<float, uint16_t>(src, quarters, 0, 12);
        for (size_t i = 0; i < n; ++i) {
            const float x = src[i];
            const float level = x >= 0.0f && x <= 1.0f ? x : (x < 0.0f ? 0.0f : 1.0f);
            EXPECT_EQ(bits_of(as_float[i]), bits_of(level)) << "x " << x << " n " << n;
            EXPECT_EQ(as_u8[i], static_cast<uint8_t>(static_cast<int>(255.0f * level))) << x;
            EXPECT_EQ(as_u16[i], static_cast<uint16_t>(static_cast<int>(4095.0f * level))) << x;
        }
    }
}

// 65536 entries: scale 1, so every 16-bit sample reads its own entry.
TEST_P(MonoLutTest, SixteenBitSamplesLandOnTheirOwnEntries) {
    std::vector<float> lut(65536);
    for (size_t k = 0; k < lut.size(); ++k)
        lut[k] = static_cast<float>((k * 40503) % 65536) / 65536.0f;
    lut[3] = 1.5f;
    lut[4] = -0.5f;
    lut[5] = kNaN;
    std::vector<uint16_t> src(65536 + 9);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<uint16_t>(i);
    const std::vector<float> out = map<uint16_t, float>(src, lut);
    for (size_t i = 0; i < src.size(); ++i) {
        const float y = lut[src[i]];
        const float expected = y > 1.0f ? 1.0f : (y >= 0.0f ? y : 0.0f);
        ASSERT_EQ(bits_of(out[i]), bits_of(expected)) << "sample " << src[i];
    }
}

// The smallest table: both entries are read as one pair for every sample,
// and the last entry alone at the top of the range.
TEST_P(MonoLutTest, TwoEntriesEveryLength) {
    const std::vector<float> lut = {0.25f, 0.875f};
    const float pattern[] = {0.3f, 1.0f, 0.0f, 0.999f, 2.0f, kNaN, -1.0f, 0.5f, 0.7f, kInf, 1e-30f};
    for (size_t n : {1, 5, 8, 9, 16, 17, 31, 40}) {
        std::vector<float> src(n);
        for (size_t i = 0; i < n; ++i)
            src[i] = pattern[i % std::size(pattern)];
        const std::vector<float> out = map<float, float>(src, lut);
        for (size_t i = 0; i < n; ++i) {
            const float x = src[i];
            const float p = x <= 1.0f ? (x >= 0.0f ? x : 0.0f) : 1.0f;
            const float y = p == 1.0f ? lut[1] : (1.0f - p) * lut[0] + p * lut[1];
            EXPECT_EQ(bits_of(out[i]), bits_of(y)) << "x " << x << " n " << n;
        }
    }
}

TEST_P(MonoLutTest, NegativeZeroKeepsItsSign) {
    // f is -0 for the sample -0: 1 * -0 + -0 * 0.5 stays -0.
    const std::vector<float> out = map<float, float>(std::vector<float>(19, -0.0f), {-0.0f, 0.5f, 1.0f});
    for (float v : out)
        EXPECT_EQ(bits_of(v), 0x80000000u);
    EXPECT_EQ(bits_of(map<float, float>({0.0f}, {-0.0f, 0.5f, 1.0f})[0]), 0u);
}

// 8-bit to 8-bit reads a table of 256 results by byte: every byte value in
// every vector lane, lengths around the vector widths, and in place.
TEST_P(MonoLutTest, ByteToByteReadsEveryValueInEveryLane) {
    std::vector<float> lut(256);
    for (int k = 0; k < 256; ++k)
        lut[k] = static_cast<float>((k * 97 + 31) % 256) / 255.0f;
    const auto expected = [&](uint8_t x) { return static_cast<uint8_t>((x * 97 + 31) % 256); };
    for (size_t n : {1, 31, 32, 33, 63, 64, 65, 127, 200, 1000}) {
        std::vector<uint8_t> src(n);
        for (size_t i = 0; i < n; ++i)
            src[i] = static_cast<uint8_t>(i * 7 + i / 256);
        const std::vector<uint8_t> out = map<uint8_t, uint8_t>(src, lut);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(out[i], expected(src[i])) << "sample " << i << " of " << n;
        std::vector<uint8_t> in_place = src;
        orvex_image both = describe(in_place, 1, n, 1);
        ASSERT_EQ(orvex_mono_lut(&both, &both, lut.data(), lut.size(), 0, 0), ORVEX_OK);
        EXPECT_EQ(in_place, out) << n;
    }
    // Interpolated tables go through the same byte table.
    const std::vector<uint8_t> ramp = map<uint8_t, uint8_t>(std::vector<uint8_t>(70, 255), {0.0f, 0.5f});
    for (uint8_t v : ramp)
        EXPECT_EQ(v, 127);
}

ORVEX_INSTANTIATE_PER_ISA(MonoLutTest);

TEST(MonoLut, DirectByteLookup) {
    std::vector<float> lut(256);
    for (int k = 0; k < 256; ++k)
        lut[k] = static_cast<float>(k) / 255.0f;
    lut[7] = 0.999f;
    lut[8] = 2.0f;
    lut[9] = -1.0f;
    lut[10] = kNaN;
    std::vector<uint8_t> src(256);
    for (int k = 0; k < 256; ++k)
        src[k] = static_cast<uint8_t>(k);
    const std::vector<uint8_t> out = map<uint8_t, uint8_t>(src, lut);
    for (int k = 11; k < 256; ++k)
        EXPECT_EQ(out[k], k);
    EXPECT_EQ(out[7], 254);  // truncated, not rounded
    EXPECT_EQ(out[8], 255);
    EXPECT_EQ(out[9], 0);
    EXPECT_EQ(out[10], 0);
    // The raw byte indexes the table whatever the bit depth says.
    EXPECT_EQ((map<uint8_t, uint8_t>({200}, lut, 4)[0]), 200);
    EXPECT_EQ(bits_of(map<uint8_t, float>({200}, lut, 4, 3)[0]), bits_of(lut[200]));
}

TEST(MonoLut, ByteSourceWithOtherSizesInterpolates) {
    // 257 entries: scale 256 / 255 puts 128 at 128.50197, f = 65794 / 131072.
    std::vector<float> lut(257, 0.0f);
    lut[129] = 1.0f;
    EXPECT_EQ((map<uint8_t, float>({128}, lut)[0]), 65794.0f / 131072.0f);
    // 255 entries with 4 bits: scale 254 / 15 puts 15 just below the last
    // entry, at 254 - 2^-16; 16 and above clamp to it.
    std::vector<float> steep(255, 0.0f);
    steep[254] = 1.0f;
    const std::vector<float> out = map<uint8_t, float>({14, 15, 16, 255}, steep, 4);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 1.0f - std::ldexp(1.0f, -16));
    EXPECT_EQ(out[2], 1.0f);
    EXPECT_EQ(out[3], 1.0f);
}

TEST(MonoLut, ProductsAreFormedBeforeTheSum) {
    // (1 - f) * a + f * b; a + f * (b - a) gives 0x1.3c4b0ap-2 here.
    EXPECT_EQ(bits_of(map<float, float>({0x1.6bb98cp-7f}, {0.3f, 0.7f, 0.9f})[0]), bits_of(0x1.3c4b0cp-2f));
}

TEST(MonoLut, HugeTablesAreNotReadPastTheEnd) {
    // 2^24 + 4 entries: the last index, 2^24 + 3, rounds up to the float
    // 2^24 + 4. Two extra entries behind the table would show a read past it.
    const uint64_t size = (uint64_t{1} << 24) + 4;
    std::vector<float> lut(size + 2, 0.125f);
    lut[size - 1] = 0.75f;
    std::vector<float> src = {1.0f, 2.0f, kNaN};
    std::vector<float> dst(3);
    orvex_image s = describe(src, 1, 3, 1), d = describe(dst, 1, 3, 1);
    ASSERT_EQ(orvex_mono_lut(&s, &d, lut.data(), size, 0, 0), ORVEX_OK);
    for (float v : dst)
        EXPECT_EQ(v, 0.75f);
    std::vector<uint16_t> top = {65535};
    orvex_image t = describe(top, 1, 1, 1), one = describe(dst, 1, 1, 1);
    ASSERT_EQ(orvex_mono_lut(&t, &one, lut.data(), size, 0, 0), ORVEX_OK);
    EXPECT_EQ(dst[0], 0.75f);
}

TEST(MonoLut, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<uint8_t> src(4, 1), dst(4, 77);
    const std::vector<float> lut = {0.0f, 1.0f};
    const orvex_image s = describe(src, 2, 2, 1), d = describe(dst, 2, 2, 1);
    const auto run = [&](orvex_image a, orvex_image b, uint64_t size = 2, int32_t src_bits = 0) {
        return orvex_mono_lut(&a, &b, lut.data(), size, src_bits, 0);
    };
    orvex_image unknown = s;
    unknown.dtype = 2;
    EXPECT_EQ(orvex_mono_lut(&s, &d, nullptr, 2, 0, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_mono_lut(nullptr, &d, lut.data(), 2, 0, 0), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image no_data = d;
    no_data.data = nullptr;
    EXPECT_EQ(run(unknown, no_data), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(run(unknown, d, 1), ORVEX_ERR_INVALID_ARGUMENT);  // size before types
    orvex_image reserved = unknown, wide = unknown, two = unknown;
    reserved.reserved = 1;
    EXPECT_EQ(run(reserved, d), ORVEX_ERR_INVALID_ARGUMENT);
    wide.width = 3;
    EXPECT_EQ(run(wide, d), ORVEX_ERR_INVALID_ARGUMENT);
    two.channels = 2;
    two.width = 1;  // same sample count, two channels
    orvex_image d_two = d;
    d_two.width = 1;
    EXPECT_EQ(run(two, d_two), ORVEX_ERR_INVALID_ARGUMENT);   // channels before types
    EXPECT_EQ(run(unknown, d), ORVEX_ERR_UNSUPPORTED);        // no nominal maximum
    EXPECT_EQ(run(unknown, d, 2, 8), ORVEX_ERR_UNSUPPORTED);  // a maximum, still an unknown type
    EXPECT_EQ(run(s, d, 2, 32), ORVEX_ERR_UNSUPPORTED);
    orvex_image empty_s = s, empty_d = d;
    empty_s.height = empty_d.height = 0;
    EXPECT_EQ(run(empty_s, empty_d), ORVEX_OK);
    for (uint8_t v : dst)
        EXPECT_EQ(v, 77);
}

}  // namespace
}  // namespace orvex::testing
