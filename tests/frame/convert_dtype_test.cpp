#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Lengths around every vector width (4, 8, 16 lanes) so tails are covered.
const size_t kLengths[] = {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 47};

// Repeats `pattern` over n samples, and `expected` likewise.
template <class T>
std::vector<T> repeat(const std::vector<T>& pattern, size_t n) {
    std::vector<T> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = pattern[i % pattern.size()];
    return out;
}

template <class Src, class Dst>
std::vector<Dst> convert(const std::vector<Src>& in, int32_t src_bits, int32_t dst_bits, float limit) {
    std::vector<Src> src = in;
    std::vector<Dst> dst(in.size(), Dst{});
    orvex_image s = describe(src, 1, in.size(), 1);
    orvex_image d = describe(dst, 1, in.size(), 1);
    EXPECT_EQ(orvex_convert_dtype(&s, &d, src_bits, dst_bits, limit), ORVEX_OK);
    return dst;
}

constexpr auto f32_to_u8 = &convert<float, uint8_t>;
constexpr auto f32_to_u16 = &convert<float, uint16_t>;
constexpr auto f32_to_f32 = &convert<float, float>;
constexpr auto u16_to_u8 = &convert<uint16_t, uint8_t>;
constexpr auto u8_to_u16 = &convert<uint8_t, uint16_t>;
constexpr auto u16_to_f32 = &convert<uint16_t, float>;
constexpr auto u16_to_u16 = &convert<uint16_t, uint16_t>;
constexpr auto u8_to_f32 = &convert<uint8_t, float>;

using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint16_t>;
using Floats = std::vector<float>;

class ConvertDtype : public IsaTest {};

TEST_P(ConvertDtype, FloatToUint8TruncatesAndWraps) {
    const std::vector<float> in = {1.0f, 0.5f, 1.2f, -0.1f, kNaN, kInf, -kInf, 0.0f, 1e10f};
    const std::vector<uint8_t> expected = {255, 127, 50, 231, 0, 0, 0, 0, 0};
    for (size_t n : kLengths)
        EXPECT_EQ(f32_to_u8(repeat(in, n), 0, 0, -1.0f), repeat(expected, n)) << "n=" << n;
}

TEST_P(ConvertDtype, FloatToUint8Limit) {
    const std::vector<float> in = {1.2f, kNaN, 0.5f, -0.1f};
    for (size_t n : kLengths) {
        // 255 is not below the full scale 255: switched off, so 1.2 still wraps to 50.
        EXPECT_EQ(f32_to_u8(repeat(in, n), 0, 0, 255.0f), repeat(Bytes({50, 0, 127, 231}), n));
        EXPECT_EQ(f32_to_u8(repeat(in, n), 0, 0, 254.5f), repeat(Bytes({254, 254, 127, 231}), n));
        // A NaN limit is never in force.
        EXPECT_EQ(f32_to_u8(repeat(in, n), 0, 0, kNaN), repeat(Bytes({50, 0, 127, 231}), n));
    }
}

TEST_P(ConvertDtype, FloatToUint16TruncatesAndWraps) {
    const std::vector<float> in = {1.0f, 0.5f, 1.5f, -2.0f / 65535.0f, kNaN, 2.0f, -0.25f / 65535.0f};
    const std::vector<uint16_t> expected = {65535, 32767, 32766, 65534, 0, 65534, 0};
    // 1.5 * 65535 = 98302.5 -> 98302 mod 65536 = 32766; -2/65535 scales back to -2 -> 65534; a value above -1
    // truncates to 0.
    for (size_t n : kLengths)
        EXPECT_EQ(f32_to_u16(repeat(in, n), 0, 0, -1.0f), repeat(expected, n));
}

TEST_P(ConvertDtype, FloatToFloatKeepsEveryBitWithoutLimit) {
    const std::vector<float> in = {-0.0f, 0.0f, kNaN, 2.0f, -kInf, 1e-45f, 0.25f};
    for (size_t n : kLengths) {
        const std::vector<float> src = repeat(in, n);
        const std::vector<float> out = f32_to_f32(src, 5, 9, -1.0f);
        for (size_t i = 0; i < n; ++i)
            EXPECT_EQ(bits_of(out[i]), bits_of(src[i])) << i;
    }
}

TEST_P(ConvertDtype, FloatToFloatLimitStaysInForceAboveOne) {
    const std::vector<float> in = {2.0f, 0.25f, kNaN, -3.0f};
    for (size_t n : kLengths) {
        const std::vector<float> out = f32_to_f32(repeat(in, n), 0, 0, 1.5f);
        EXPECT_EQ(out, repeat(Floats({1.5f, 0.25f, 1.5f, -3.0f}), n));
    }
    EXPECT_EQ(f32_to_f32({2.0f}, 0, 0, -1.0f), Floats({2.0f}));
}

TEST_P(ConvertDtype, IntegerScaling) {
    for (size_t n : kLengths) {
        EXPECT_EQ(u16_to_u8(repeat(Words({65535, 0, 257, 256}), n), 0, 0, -1.0f), repeat(Bytes({255, 0, 1, 0}), n));
        EXPECT_EQ(u8_to_u16(repeat(Bytes({255, 0, 1}), n), 0, 0, -1.0f), repeat(Words({65535, 0, 257}), n));
        EXPECT_EQ(u16_to_f32(repeat(Words({65535, 0}), n), 0, 0, -1.0f), repeat(Floats({1.0f, 0.0f}), n));
        // 4095 * (65535 / 4095 as a float) = 65534.996..., truncated.
        EXPECT_EQ(u16_to_u16(repeat(Words({4095, 0}), n), 12, 0, -1.0f), repeat(Words({65534, 0}), n));
        EXPECT_EQ(u8_to_f32(repeat(Bytes({255, 51}), n), 0, 0, -1.0f),
                  repeat(Floats({1.0f, 51.0f * (1.0f / 255.0f)}), n));
    }
    // The source bit depth is ignored for floats.
    EXPECT_EQ(f32_to_u8({1.0f}, 4, 0, -1.0f), Bytes({255}));
}

// Independent reference: the store's wrap rule written with a range test.
template <class Dst>
Dst reference_store(float v) {
    if constexpr (sizeof(Dst) == 4) {
        return v;
    } else {
        int64_t t = std::numeric_limits<int32_t>::min();
        if (!std::isnan(v) && v >= -2147483648.0f && v < 2147483648.0f) t = static_cast<int64_t>(std::trunc(v));
        return static_cast<Dst>(static_cast<uint64_t>(t));
    }
}

template <class Src, class Dst>
void check_pair(int32_t src_bits, int32_t dst_bits, float limit, float scale) {
    std::vector<Src> src(61);
    for (size_t i = 0; i < src.size(); ++i) {
        if constexpr (sizeof(Src) == 4)
            src[i] = -0.3f + 0.037f * static_cast<float>(i);
        else
            src[i] = static_cast<Src>(i * 1171u);
    }
    if constexpr (sizeof(Src) == 4)
        src[7] = kNaN;
    else
        src[7] = std::numeric_limits<Src>::max();
    const std::vector<Dst> out = convert<Src, Dst>(src, src_bits, dst_bits, limit);
    for (size_t i = 0; i < src.size(); ++i) {
        float v = static_cast<float>(src[i]) * scale;
        if (limit >= 0.0f) v = v < limit ? v : limit;
        const Dst want = reference_store<Dst>(v);
        if constexpr (sizeof(Dst) == 4)
            EXPECT_EQ(bits_of(out[i]), bits_of(want)) << i;
        else
            EXPECT_EQ(out[i], want) << i;
    }
}

TEST_P(ConvertDtype, EveryTypePairWithAndWithoutLimitMatchesTheReference) {
    check_pair<uint8_t, uint8_t>(6, 0, -1.0f, 255.0f / 63.0f);
    check_pair<uint8_t, uint8_t>(6, 0, 200.0f, 255.0f / 63.0f);
    check_pair<uint8_t, uint16_t>(0, 10, -1.0f, 1023.0f / 255.0f);
    check_pair<uint8_t, uint16_t>(0, 10, 700.5f, 1023.0f / 255.0f);
    check_pair<uint8_t, float>(0, 0, -1.0f, 1.0f / 255.0f);
    check_pair<uint8_t, float>(0, 0, 0.5f, 1.0f / 255.0f);
    check_pair<uint16_t, uint8_t>(0, 0, -1.0f, 255.0f / 65535.0f);
    check_pair<uint16_t, uint8_t>(0, 0, 100.25f, 255.0f / 65535.0f);
    check_pair<uint16_t, uint16_t>(14, 0, -1.0f, 65535.0f / 16383.0f);
    check_pair<uint16_t, uint16_t>(14, 0, 60000.0f, 65535.0f / 16383.0f);
    check_pair<uint16_t, float>(0, 0, -1.0f, 1.0f / 65535.0f);
    check_pair<uint16_t, float>(0, 0, 0.75f, 1.0f / 65535.0f);
    check_pair<float, uint8_t>(0, 0, -1.0f, 255.0f);
    check_pair<float, uint8_t>(0, 0, 3.5f, 255.0f);
    check_pair<float, uint16_t>(0, 12, -1.0f, 4095.0f);
    check_pair<float, uint16_t>(0, 12, 4000.0f, 4095.0f);
    check_pair<float, float>(0, 0, -1.0f, 1.0f);
    check_pair<float, float>(0, 0, 0.0f, 1.0f);
}

TEST_P(ConvertDtype, SameBufferBetweenTypesOfEqualSize) {
    for (size_t n : kLengths) {
        std::vector<float> f = repeat(Floats({2.0f, 0.25f, kNaN}), n);
        orvex_image fi = describe(f, 1, n, 1);
        ASSERT_EQ(orvex_convert_dtype(&fi, &fi, 0, 0, 1.5f), ORVEX_OK);
        EXPECT_EQ(f, repeat(Floats({1.5f, 0.25f, 1.5f}), n));

        std::vector<uint16_t> w = repeat(Words({4095, 1, 0}), n);
        orvex_image wi = describe(w, n, 1, 1);
        ASSERT_EQ(orvex_convert_dtype(&wi, &wi, 12, 0, -1.0f), ORVEX_OK);
        EXPECT_EQ(w, repeat(Words({65534, 16, 0}), n));

        std::vector<uint8_t> b = repeat(Bytes({255, 100}), n);
        orvex_image bi = describe(b, 1, 1, n);
        ASSERT_EQ(orvex_convert_dtype(&bi, &bi, 0, 7, -1.0f), ORVEX_OK);
        EXPECT_EQ(b, repeat(Bytes({127, 49}), n));
    }
}

ORVEX_INSTANTIATE_PER_ISA(ConvertDtype);

// Validation: each failing test on its own, then pairs of failing tests to
// show which one is made first. The destination must stay untouched.
struct Call {
    std::vector<float> src = std::vector<float>(6, 0.5f);
    std::vector<uint8_t> dst = std::vector<uint8_t>(6, 77);
    orvex_image s = describe(src, 2, 3, 1);
    orvex_image d = describe(dst, 2, 3, 1);
    int32_t src_bits = 0;
    int32_t dst_bits = 0;

    orvex_status run(const orvex_image* sp, const orvex_image* dp) {
        const orvex_status status = orvex_convert_dtype(sp, dp, src_bits, dst_bits, -1.0f);
        if (status != ORVEX_OK) {
            for (uint8_t v : dst)
                EXPECT_EQ(v, 77);
        }
        return status;
    }
    orvex_status run() { return run(&s, &d); }
};

TEST(ConvertDtypeValidation, EachTestAlone) {
    {
        Call c;
        EXPECT_EQ(c.run(nullptr, &c.d), ORVEX_ERR_INVALID_ARGUMENT);
        EXPECT_EQ(c.run(&c.s, nullptr), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;
        c.s.data = nullptr;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;
        c.d.data = nullptr;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;
        c.s.reserved = 1;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;
        c.d.reserved = 1;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    for (int field = 0; field < 3; ++field) {
        Call c;
        if (field == 0) c.d.height = 1;
        if (field == 1) c.d.width = 2;
        if (field == 2) c.d.channels = 2;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT) << field;  // not a shape-mismatch status
    }
    {
        Call c;
        c.dst_bits = 32;
        EXPECT_EQ(c.run(), ORVEX_ERR_UNSUPPORTED);
    }
    {
        Call c;
        c.s.dtype = 2;
        EXPECT_EQ(c.run(), ORVEX_ERR_UNSUPPORTED);
        c.src_bits = 8;  // a positive depth gives a nonzero maximum; the type test still refuses it
        EXPECT_EQ(c.run(), ORVEX_ERR_UNSUPPORTED);
    }
    {
        Call c;
        c.d.dtype = 7;
        c.dst_bits = 8;
        EXPECT_EQ(c.run(), ORVEX_ERR_UNSUPPORTED);
    }
}

TEST(ConvertDtypeValidation, OrderOfTests) {
    {
        Call c;  // null data wins over reserved
        c.s.data = nullptr;
        c.d.reserved = 1;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;  // reserved wins over an unsupported type
        c.s.reserved = 1;
        c.s.dtype = 2;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;  // size mismatch wins over a zero nominal maximum
        c.d.width = 2;
        c.dst_bits = 32;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
    {
        Call c;  // size mismatch wins over an unknown type
        c.d.channels = 3;
        c.d.dtype = 2;
        EXPECT_EQ(c.run(), ORVEX_ERR_INVALID_ARGUMENT);
    }
}

TEST(ConvertDtypeValidation, EmptyImages) {
    Call c;
    c.s.height = c.d.height = 0;
    EXPECT_EQ(c.run(), ORVEX_OK);
    for (uint8_t v : c.dst)
        EXPECT_EQ(v, 77);
    c.s.dtype = 2;
    EXPECT_EQ(c.run(), ORVEX_ERR_UNSUPPORTED);
}

}  // namespace
}  // namespace orvex::testing
