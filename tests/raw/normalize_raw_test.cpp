#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kSentinel = -7.0f;
constexpr uint32_t kMinusZero = 0x80000000u;
// Widths that leave tails after 4, 8 and 16 lanes.
const uint64_t kWidths[] = {1, 3, 5, 9, 17, 37};

// Arguments of one call; an empty optional vector goes as null with count 0.
struct Levels {
    std::vector<float> black{256.0f};
    int32_t rows = 1, cols = 1, channels = 1;
    std::vector<float> white{4095.0f};
    std::vector<float> delta_h, delta_v;
    std::vector<uint16_t> table;
};

Levels levels(std::vector<float> black, int32_t rows, int32_t cols, int32_t channels, std::vector<float> white) {
    Levels lv;
    lv.black = std::move(black);
    lv.rows = rows, lv.cols = cols, lv.channels = channels;
    lv.white = std::move(white);
    return lv;
}

template <class T>
const T* optional(const std::vector<T>& v) {
    return v.empty() ? nullptr : v.data();
}

int32_t count(size_t n) { return static_cast<int32_t>(n); }

orvex_status normalize(const orvex_image* src, const orvex_image* dst, const Levels& lv) {
    return orvex_normalize_raw(src, dst, lv.black.data(), lv.rows, lv.cols, lv.channels, lv.white.data(),
                               count(lv.white.size()), optional(lv.delta_h), count(lv.delta_h.size()),
                               optional(lv.delta_v), count(lv.delta_v.size()), optional(lv.table),
                               count(lv.table.size()));
}

template <class Src>
std::vector<uint32_t> run(std::vector<Src> samples, uint64_t height, uint64_t width, const Levels& lv,
                          size_t dst_offset = 0) {
    std::vector<float> out(samples.size() + dst_offset, kSentinel);
    orvex_image s = describe(samples, height, width, static_cast<uint64_t>(lv.channels));
    orvex_image d = describe(out, height, width, static_cast<uint64_t>(lv.channels));
    d.data = out.data() + dst_offset;
    EXPECT_EQ(normalize(&s, &d, lv), ORVEX_OK);
    std::vector<uint32_t> bits;
    for (size_t i = 0; i < dst_offset; ++i)
        EXPECT_EQ(out[i], kSentinel);
    for (size_t i = dst_offset; i < out.size(); ++i)
        bits.push_back(bits_of(out[i]));
    return bits;
}

class NormalizeRaw : public IsaTest {};

// Black 256, white 4095: the fast case multiplies by f = 1 / 3839 rounded, so
// raw 4095 gives 0.99999994; the general rule divides and gives 1.0.
TEST_P(NormalizeRaw, FastCaseMultipliesGeneralRuleDivides) {
    const uint16_t raw[5] = {256, 100, 5000, 2176, 4095};
    const float f = 1.0f / 3839.0f;
    const float fast[5] = {0.0f, 0.0f, 1.0f, 1920.0f * f, 0.99999994f};
    const float general[5] = {0.0f, 0.0f, 1.0f, 1920.0f / 3839.0f, 1.0f};
    ASSERT_EQ(bits_of(0.99999994f), 0x3F7FFFFFu);
    for (uint64_t width : kWidths) {
        std::vector<uint16_t> image(2 * width);
        std::vector<uint32_t> want_fast, want_general;
        for (size_t i = 0; i < image.size(); ++i) {
            image[i] = raw[i % 5];
            want_fast.push_back(bits_of(fast[i % 5]));
            want_general.push_back(bits_of(general[i % 5]));
        }
        Levels lv;
        EXPECT_EQ(run(image, 2, width, lv), want_fast) << width;
        lv.delta_h = {0.0f};
        EXPECT_EQ(run(image, 2, width, lv), want_general) << width;
    }
}

// An optional array counts only with a pointer and a positive count.
TEST_P(NormalizeRaw, OptionalArrayNeedsPointerAndCount) {
    std::vector<uint16_t> raw = {4095};
    std::vector<float> out = {kSentinel};
    orvex_image s = describe(raw, 1, 1, 1), d = describe(out, 1, 1, 1);
    const float black = 256.0f, white = 4095.0f, zero = 0.0f;
    const uint16_t table[1] = {0};
    ASSERT_EQ(orvex_normalize_raw(&s, &d, &black, 1, 1, 1, &white, 1, &zero, 0, nullptr, 3, table, -1), ORVEX_OK);
    EXPECT_EQ(out[0], 0.99999994f);
    ASSERT_EQ(orvex_normalize_raw(&s, &d, &black, 1, 1, 1, &white, 1, nullptr, 0, &zero, 1, nullptr, 0), ORVEX_OK);
    EXPECT_EQ(out[0], 1.0f);
}

// Pattern 100 200 300 400, white 1000, raw 500: (r, c) subtracts the black of
// (r mod 2, c mod 2): 400/900, 300/800 on even rows, 200/700, 100/600 on odd.
TEST_P(NormalizeRaw, TwoByTwoPatternRepeatsFromTopLeft) {
    Levels lv = levels({100, 200, 300, 400}, 2, 2, 1, {1000});
    const uint32_t expected[4] = {bits_of(400.0f * (1.0f / 900.0f)), bits_of(300.0f * (1.0f / 800.0f)),
                                  bits_of(200.0f * (1.0f / 700.0f)), bits_of(100.0f * (1.0f / 600.0f))};
    for (uint64_t width : kWidths) {
        std::vector<uint32_t> want;
        for (uint64_t r = 0; r < 3; ++r)
            for (uint64_t c = 0; c < width; ++c)
                want.push_back(expected[(r % 2) * 2 + c % 2]);
        EXPECT_EQ(run(std::vector<uint16_t>(3 * width, 500), 3, width, lv), want) << width;
    }
}

// Ranges 1024, 512, 256 are powers of two, so every product is exact.
TEST_P(NormalizeRaw, ThreeChannelsBlackPerChannelWhiteSharedOrPerChannel) {
    Levels lv = levels({0, 512, 768}, 1, 1, 3, {1024});
    for (uint64_t width : kWidths) {
        std::vector<uint16_t> raw(width * 3);
        std::vector<uint32_t> shared, per_channel;
        for (size_t i = 0; i < raw.size(); ++i) {
            raw[i] = i % 3 == 0 ? 256 : 896;
            shared.push_back(bits_of(std::vector<float>{0.25f, 0.75f, 0.5f}[i % 3]));
            per_channel.push_back(i % 3 == 1 ? bits_of(384.0f * (1.0f / 1536.0f)) : shared.back());
        }
        lv.white = {1024};
        EXPECT_EQ(run(raw, 1, width, lv), shared) << width;
        lv.white = {1024, 2048, 1024};
        EXPECT_EQ(run(raw, 1, width, lv), per_channel) << width;
    }
}

// White at or below black: the fast case multiplies by 0 and keeps the sign
// of v - b (raw below black gives -0.0); the general rule gives +0.
TEST_P(NormalizeRaw, EmptyRangeGivesZero) {
    Levels lv = levels({500}, 1, 1, 1, {400});
    for (uint64_t width : kWidths) {
        std::vector<uint16_t> raw(width);
        std::vector<uint32_t> fast;
        for (size_t i = 0; i < width; ++i) {
            raw[i] = i % 2 ? 100 : 4000;
            fast.push_back(i % 2 ? kMinusZero : 0u);
        }
        lv.delta_h = {};
        EXPECT_EQ(run(raw, 1, width, lv), fast);
        lv.delta_h = {0.0f};
        EXPECT_EQ(run(raw, 1, width, lv), std::vector<uint32_t>(width, 0u));
    }
}

// y >= 1 gives 1, then y < 0 or NaN gives 0; -0.0 is neither and stays.
TEST_P(NormalizeRaw, FloatSourceClamp) {
    const std::vector<float> in = {kNaN, kInf, -kInf, -0.0f, 2.0f, 3.0f, 4.0f, 5.0f, -1.0f};
    const std::vector<uint32_t> out = {
        0u, bits_of(1.0f), 0u, kMinusZero, bits_of(0.5f), bits_of(0.75f), bits_of(1.0f), bits_of(1.0f), 0u};
    for (size_t copies : {1, 2, 5}) {
        std::vector<float> raw;
        std::vector<uint32_t> want;
        for (size_t i = 0; i < copies; ++i) {
            raw.insert(raw.end(), in.begin(), in.end());
            want.insert(want.end(), out.begin(), out.end());
        }
        Levels lv = levels({0}, 1, 1, 1, {4});
        EXPECT_EQ(run(raw, 1, raw.size(), lv), want);
        lv.delta_v = {0.0f};
        EXPECT_EQ(run(raw, 1, raw.size(), lv), want);
    }
}

// One buffer as source and destination gives what two buffers give, for
// small images and for ones large enough to take the streaming stores.
TEST_P(NormalizeRaw, FloatSourceInPlace) {
    for (bool general : {false, true}) {
        Levels lv = levels({10, 20, 30, 40}, 2, 2, 1, {1000});
        if (general) lv.delta_v = {1.0f, 2.0f};
        for (uint64_t width : {1, 5, 17, 37, 2200}) {
            const uint64_t height = width == 2200 ? 2000 : 3;
            std::vector<float> raw(height * width);
            for (size_t i = 0; i < raw.size(); ++i)
                raw[i] = static_cast<float>(i * 37 % 1100);
            const std::vector<uint32_t> separate = run(raw, height, width, lv);
            orvex_image image = describe(raw, height, width, 1);
            ASSERT_EQ(normalize(&image, &image, lv), ORVEX_OK);
            std::vector<uint32_t> in_place;
            for (float x : raw)
                in_place.push_back(bits_of(x));
            EXPECT_EQ(in_place, separate) << general << " " << width;
        }
    }
}

// Outputs over 16 MiB are streamed. Every fast layout must give, at any
// destination alignment, what the same samples give two rows at a time.
TEST_P(NormalizeRaw, LargeOutputMatchesSmallPieces) {
    const Levels layouts[] = {levels({100, 200, 300, 400}, 2, 2, 1, {1000}), levels({256}, 1, 1, 1, {4095}),
                              levels({10, 20, 30}, 1, 1, 3, {900, 1000, 1100})};
    const uint64_t height = 2050, width = 2101;
    for (const Levels& lv : layouts) {
        const uint64_t row = width * static_cast<uint64_t>(lv.channels);
        std::vector<uint16_t> raw(height * row);
        for (size_t i = 0; i < raw.size(); ++i)
            raw[i] = static_cast<uint16_t>(i * 7919 % 1201);
        std::vector<uint32_t> expected;
        for (uint64_t r = 0; r < height; r += 2) {
            const std::vector<uint32_t> piece =
                run(std::vector<uint16_t>(raw.begin() + r * row, raw.begin() + (r + 2) * row), 2, width, lv);
            expected.insert(expected.end(), piece.begin(), piece.end());
        }
        for (size_t offset : {0, 1, 3})
            EXPECT_TRUE(run(raw, height, width, lv, offset) == expected) << lv.channels << " " << offset;
    }
}

// The general rule as a plain loop over every sample: b = (column offset +
// pattern entry) + row offset, then a true division by white - b.
template <class Src>
std::vector<uint32_t> plain_general_rule(const std::vector<Src>& src, uint64_t height, uint64_t width,
                                         const Levels& lv) {
    const size_t ch = static_cast<size_t>(lv.channels);
    std::vector<uint32_t> out;
    for (uint64_t r = 0; r < height; ++r)
        for (uint64_t c = 0; c < width; ++c)
            for (size_t k = 0; k < ch; ++k) {
                float v = static_cast<float>(src[(r * width + c) * ch + k]);
                if (!lv.table.empty()) {
                    // Truncation; NaN and values out of the int32 range give INT32_MIN.
                    const int64_t t = std::isnan(v) || std::fabs(v) >= 2147483648.0f ? INT32_MIN : int64_t(v);
                    const int64_t last = static_cast<int64_t>(lv.table.size()) - 1;
                    v = static_cast<float>(lv.table[static_cast<size_t>(t > last ? last : t < 0 ? 0 : t)]);
                }
                const float h = lv.delta_h.empty() ? 0.0f : lv.delta_h[c % lv.delta_h.size()];
                const float g = lv.delta_v.empty() ? 0.0f : lv.delta_v[r % lv.delta_v.size()];
                const size_t pattern_at = ((r % size_t(lv.rows)) * size_t(lv.cols) + c % size_t(lv.cols)) * ch + k;
                const float b = (h + lv.black[pattern_at]) + g;
                const float d = lv.white[k % lv.white.size()] - b;
                const float y = d > 0.0f ? (v - b) / d : 0.0f;
                out.push_back(bits_of(0.0f <= y ? (y < 1.0f ? y : 1.0f) : 0.0f));
            }
    return out;
}

// Every row length 1..47 leaves a different vector tail. Offsets, pattern
// and levels are chosen so that the divisions round, empty ranges occur and
// a 17-row pattern is taller than the patterns prepared once per call.
TEST_P(NormalizeRaw, GeneralRuleMatchesPlainLoop) {
    std::vector<Levels> cases;
    Levels bayer = levels({256.5f, 260.25f, 252.0f, 258.75f}, 2, 2, 1, {16383.0f});
    bayer.delta_h = {0.5f, -1.25f, 3.0f};
    bayer.delta_v = {1.5f, -0.75f};
    cases.push_back(bayer);
    Levels rgb = levels({10, 20, 30, 15, 25, 35}, 1, 2, 3, {1000.0f, 27.0f});
    rgb.delta_v = {0.25f, 2.0f, -3.5f};
    cases.push_back(rgb);
    Levels linear = levels({100, 90}, 2, 1, 1, {3000.0f});
    linear.table = {0, 7, 1000, 2999, 4000, 123};
    linear.delta_h = {0.0f, 1.0f / 3.0f};
    cases.push_back(linear);
    std::vector<float> tall_black(17);
    for (size_t i = 0; i < tall_black.size(); ++i)
        tall_black[i] = 100.0f + static_cast<float>(i) * 3.5f;
    Levels tall = levels(tall_black, 17, 1, 1, {4000.0f});
    tall.delta_v = {0.125f};
    cases.push_back(tall);
    const uint64_t height = 19;
    for (size_t n = 0; n < cases.size(); ++n)
        for (uint64_t width = 1; width <= 47; ++width) {
            const Levels& lv = cases[n];
            const size_t count = height * width * static_cast<size_t>(lv.channels);
            std::vector<uint16_t> raw(count);
            std::vector<float> raw_float(count);
            for (size_t i = 0; i < count; ++i) {
                raw[i] = static_cast<uint16_t>(i * 2654435761u % (lv.table.empty() ? 17000 : 8));
                raw_float[i] = i % 11 == 3 ? kNaN : static_cast<float>(raw[i]) - (lv.table.empty() ? 40.5f : 0.5f);
            }
            EXPECT_EQ(run(raw, height, width, lv), plain_general_rule(raw, height, width, lv)) << n << " " << width;
            EXPECT_EQ(run(raw_float, height, width, lv), plain_general_rule(raw_float, height, width, lv))
                << n << " " << width;
        }
}

// A 16-bit source reads table entries up to 65535 whatever the table's
// length; an image with at least as many samples as entries it can read
// looks them up in the row kernel, a smaller one per sample first.
TEST_P(NormalizeRaw, LinearizationTableOnLargeAndSmallImages) {
    for (const size_t entries : {size_t{70000}, size_t{3000}, size_t{1}}) {
        Levels lv = levels({100.0f, 90.0f, 80.0f, 70.0f}, 2, 2, 1, {60000.0f});
        lv.table.resize(entries);
        for (size_t e = 0; e < entries; ++e)
            lv.table[e] = static_cast<uint16_t>(e * 7 % 61000);
        lv.delta_h = {0.5f, -0.25f, 2.0f};
        const size_t readable = std::min<size_t>(entries, 65536);
        for (const auto& [height, width] : {std::pair<uint64_t, uint64_t>{2, (readable + 1) / 2 + 7},
                                            {1, readable},
                                            {1, readable > 1 ? readable - 1 : 1},
                                            {3, 5}}) {
            std::vector<uint16_t> raw(height * width);
            for (size_t i = 0; i < raw.size(); ++i)
                raw[i] = static_cast<uint16_t>(i % 5 == 0 ? 65535 - i % 3 : i * 2654435761u % 65536);
            EXPECT_EQ(run(raw, height, width, lv), plain_general_rule(raw, height, width, lv))
                << entries << " entries, " << height << " x " << width;
        }
    }
}

ORVEX_INSTANTIATE_PER_ISA(NormalizeRaw);

// b = (h + p) + g, y = (v - b) / (w - b): black 0, white 1024, raw 512 and
// exact offsets make each result one rounded quotient.
TEST(NormalizeRawGeneral, ColumnAndRowOffsetsCycle) {
    Levels lv = levels({0}, 1, 1, 1, {1024});
    lv.delta_h = {0, 64};
    lv.delta_v = {0, 128, 256};
    const float b[4][3] = {{0, 64, 0}, {128, 192, 128}, {256, 320, 256}, {0, 64, 0}};
    std::vector<uint32_t> want;
    for (const auto& row : b)
        for (float x : row)
            want.push_back(bits_of((512.0f - x) / (1024.0f - x)));
    EXPECT_EQ(run(std::vector<uint16_t>(12, 512), 4, 3, lv), want);
}

// A 2 x 1 pattern with two channels: entry (i, j, k) at (i * cols + j) * channels + k.
TEST(NormalizeRawGeneral, PatternIndexWithChannels) {
    const Levels lv = levels({0, 256, 512, 768}, 2, 1, 2, {1024, 2048});
    const uint32_t one = bits_of(1.0f), even = bits_of(768.0f / 1792.0f), odd = bits_of(256.0f / 1280.0f);
    const std::vector<uint32_t> want = {one, even, one, even, one, odd, one, odd, one, even, one, even};
    EXPECT_EQ(run(std::vector<uint16_t>(12, 1024), 3, 2, lv), want);
}

// Entry trunc(v) limited to 0 .. N - 1; NaN and out-of-range floats truncate
// to INT32_MIN, hence entry 0. The entry, not the raw value, meets the levels.
TEST(NormalizeRawGeneral, LinearizationTable) {
    Levels lv = levels({0}, 1, 1, 1, {1024});
    lv.table = {0, 256, 512, 768};
    const auto q = [](float x) { return bits_of(x); };
    EXPECT_EQ(run(std::vector<uint16_t>{0, 1, 2, 3, 9, 65535}, 1, 6, lv),
              (std::vector<uint32_t>{0, q(0.25f), q(0.5f), q(0.75f), q(0.75f), q(0.75f)}));
    EXPECT_EQ(run(std::vector<float>{2.9f, -3.7f, 3.99f, 1e10f, kNaN, kInf}, 1, 6, lv),
              (std::vector<uint32_t>{q(0.5f), 0, q(0.75f), 0, 0, 0}));
}

// Each case breaks a valid call in one or two ways; the earlier test decides
// and nothing is written.
struct Call {
    std::vector<uint16_t> raw = std::vector<uint16_t>(6, 1000);
    std::vector<float> out = std::vector<float>(6, kSentinel);
    orvex_image src = describe(raw, 2, 3, 1), dst = describe(out, 2, 3, 1);
    const orvex_image *src_ptr = &src, *dst_ptr = &dst;
    float levels[2] = {1.0f, 4095.0f};
    const float *black = &levels[0], *white = &levels[1];
    int32_t rows = 1, cols = 1, channels = 1, white_count = 1;
    orvex_status invoke() const {
        return orvex_normalize_raw(src_ptr, dst_ptr, black, rows, cols, channels, white, white_count, nullptr, 0,
                                   nullptr, 0, nullptr, 0);
    }
};

TEST(NormalizeRawValidation, FirstFailingTestDecidesAndNothingIsWritten) {
    const struct {
        orvex_status expected;
        void (*breaks)(Call&);
    } cases[] = {
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src.data = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.data = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.black = nullptr, c.src.dtype = 0; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.white = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src.reserved = 1, c.src.dtype = ORVEX_DTYPE_UINT8; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.reserved = 1, c.dst.dtype = ORVEX_DTYPE_UINT16; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.height = 1, c.src.dtype = 2; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.width = 2, c.dst.dtype = ORVEX_DTYPE_UINT8; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.src.dtype = ORVEX_DTYPE_UINT8; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.src.dtype = 2; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.dst.dtype = ORVEX_DTYPE_UINT16, c.channels = 2; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.src.dtype = ORVEX_DTYPE_UINT8, c.rows = 0; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src.channels = 2; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.channels = 2; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.rows = 0; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.cols = -1; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.channels = 0, c.src.channels = c.dst.channels = 0; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.white_count = 0; }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Call call;
        cases[i].breaks(call);
        EXPECT_EQ(call.invoke(), cases[i].expected) << "case " << i;
        EXPECT_EQ(call.out, std::vector<float>(6, kSentinel)) << "case " << i;
    }
    EXPECT_EQ(Call().invoke(), ORVEX_OK);
}

}  // namespace
}  // namespace orvex::testing
