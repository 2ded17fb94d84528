#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace orvex::testing {
namespace {

using Pattern = std::vector<uint32_t>;
const Pattern kRggb = {0, 1, 1, 2};

std::vector<float> demosaic(std::vector<float> mosaic, uint64_t height, uint64_t width, const Pattern& codes) {
    std::vector<float> out(height * width * 3, -1.0f);
    orvex_image s = describe(mosaic, height, width, 1);
    orvex_image d = describe(out, height, width, 3);
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, codes.data()), ORVEX_OK);
    return out;
}

std::vector<float> pixel(const std::vector<float>& rgb, uint64_t width, uint64_t r, uint64_t c) {
    const size_t at = (r * width + c) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

class BilinearDemosaic : public IsaTest {};

// m(r, c) = r^2 + 2 c^2 makes every interior average distinct and exact: the
// pixel's own value m, vertical pair m + 1, horizontal pair m + 2, four direct
// neighbours m + 1.5, four diagonal ones m + 3.
enum Term { M, V, H, X, D, Z };
float interior_value(float m, Term t) {
    const float offset[] = {0.0f, 1.0f, 2.0f, 1.5f, 3.0f};
    return t == Z ? 0.0f : m + offset[t];
}

struct InteriorCase {
    Pattern codes;
    // Terms of channels 0, 1, 2 at (even row, even col), (even, odd), (odd, even), (odd, odd).
    Term terms[4][3];
};

const InteriorCase kInteriorCases[] = {
    {{0, 1, 1, 2}, {{M, X, D}, {H, M, V}, {V, M, H}, {D, X, M}}},
    {{1, 0, 2, 1}, {{H, M, V}, {M, X, D}, {D, X, M}, {V, M, H}}},
    {{2, 1, 1, 0}, {{D, X, M}, {V, M, H}, {H, M, V}, {M, X, D}}},
    // Green at a code-0 pixel still averages all four direct neighbours.
    {{0, 0, 1, 2}, {{M, X, D}, {M, X, D}, {V, M, H}, {D, X, M}}},
    // Green rows above code 0 / 2: horizontal neighbours are green, so red
    // comes from above and below and blue, found nowhere, is 0.
    {{1, 1, 0, 2}, {{V, M, Z}, {Z, M, V}, {M, X, D}, {D, X, M}}},
    {{1, 1, 1, 1}, {{Z, M, Z}, {Z, M, Z}, {Z, M, Z}, {Z, M, Z}}},
    {{2, 2, 2, 2}, {{D, X, M}, {D, X, M}, {D, X, M}, {D, X, M}}},
};

TEST_P(BilinearDemosaic, InteriorTakesEachChannelFromItsAverage) {
    for (const InteriorCase& test : kInteriorCases) {
        for (uint64_t width : {3, 4, 5, 6, 10, 17, 18, 19, 20, 34, 35, 40}) {
            const uint64_t height = 5;
            std::vector<float> mosaic(height * width);
            for (uint64_t r = 0; r < height; ++r)
                for (uint64_t c = 0; c < width; ++c)
                    mosaic[r * width + c] = static_cast<float>(r * r + 2 * c * c);
            const std::vector<float> out = demosaic(mosaic, height, width, test.codes);
            for (uint64_t r = 1; r + 1 < height; ++r)
                for (uint64_t c = 1; c + 1 < width; ++c) {
                    const Term* terms = test.terms[(r % 2) * 2 + c % 2];
                    const float m = mosaic[r * width + c];
                    const std::vector<float> expected = {interior_value(m, terms[0]), interior_value(m, terms[1]),
                                                         interior_value(m, terms[2])};
                    EXPECT_EQ(pixel(out, width, r, c), expected)
                        << "codes " << test.codes[0] << test.codes[1] << test.codes[2] << test.codes[3] << " width "
                        << width << " at " << r << "," << c;
                }
        }
    }
}

TEST_P(BilinearDemosaic, RggbTwoByTwo) {
    const std::vector<float> out = demosaic({10, 20, 30, 40}, 2, 2, kRggb);
    EXPECT_EQ(out, (std::vector<float>{10, 25, 40, 10, 20, 40, 10, 30, 40, 10, 25, 40}));
}

// Border pixels average only the neighbours inside the image, and three
// terms are divided by 3: 5 / 3 is 1.66666663, 5 times a rounded third 1.66666675.
TEST_P(BilinearDemosaic, BorderAveragesHaveFewerTerms) {
    // RGGB rows R1 G2 R1 G2 R6 / G2 B3 G1 B5 G8.
    const std::vector<float> out = demosaic({1, 2, 1, 2, 6, 2, 3, 1, 5, 8}, 2, 5, kRggb);
    EXPECT_EQ(pixel(out, 5, 0, 0), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(pixel(out, 5, 0, 1), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(pixel(out, 5, 0, 2), (std::vector<float>{1, 1.66666663f, 4}));
    EXPECT_NE(bits_of(1.66666663f), bits_of(5.0f * (1.0f / 3.0f)));
    EXPECT_EQ(pixel(out, 5, 1, 3), (std::vector<float>{3.5f, 11.0f / 3.0f, 5}));
    EXPECT_EQ(pixel(out, 5, 1, 4), (std::vector<float>{6, 8, 5}));
}

TEST_P(BilinearDemosaic, SinglePixelCopiesItsColour) {
    for (uint32_t code = 0; code < 3; ++code) {
        std::vector<float> expected(3, 0.0f);
        expected[code] = 0.75f;
        EXPECT_EQ(demosaic({0.75f}, 1, 1, {code, 0, 0, 0}), expected);
    }
}

// With no horizontal neighbour, a green pixel takes red and blue from above
// and below; a blue neighbour never appears vertically in RGGB, so blue is 0
// at a green site of a red column.
TEST_P(BilinearDemosaic, OneColumn) {
    const std::vector<float> out = demosaic({1.0f, 2.0f, 4.0f, 8.0f}, 4, 1, kRggb);
    EXPECT_EQ(out, (std::vector<float>{1.0f, 2.0f, 0.0f, (1.0f + 4.0f) / 2.0f, 2.0f, 0.0f, 4.0f,
                                       (2.0f + 8.0f) / 2.0f, 0.0f, 4.0f, 8.0f, 0.0f}));
}

// Outputs of more than 16 MiB take another store path. A mosaic that
// repeats every 4 rows and 8 columns gives, at each pixel, what the pixel
// with the same neighbourhood gives in a small image of the same pattern.
TEST_P(BilinearDemosaic, LargeOutputMatchesSmallImage) {
    const auto value = [](uint64_t r, uint64_t c) { return 1.0f + 0.1f * static_cast<float>((r % 4) * 8 + c % 8); };
    const uint64_t height = 1028, width = 1400, small_height = 12, small_width = 24;
    std::vector<float> small(small_height * small_width);
    for (uint64_t r = 0; r < small_height; ++r)
        for (uint64_t c = 0; c < small_width; ++c)
            small[r * small_width + c] = value(r, c);
    std::vector<float> mosaic(height * width);
    for (uint64_t r = 0; r < height; ++r)
        for (uint64_t c = 0; c < width; ++c)
            mosaic[r * width + c] = value(r, c);
    const auto small_row = [&](uint64_t r) { return r == 0 ? 0 : r + 1 == height ? small_height - 1 : 4 + r % 4; };
    const auto small_col = [&](uint64_t c) { return c == 0 ? 0 : c + 1 == width ? small_width - 1 : 8 + c % 8; };
    for (const Pattern& codes : {kRggb, Pattern{1, 1, 0, 2}}) {
        const std::vector<float> expected = demosaic(small, small_height, small_width, codes);
        for (size_t offset : {0, 1, 2}) {
            std::vector<float> buffer(height * width * 3 + offset, -1.0f);
            orvex_image s = describe(mosaic, height, width, 1);
            orvex_image d = describe(buffer, height, width, 3);
            d.data = buffer.data() + offset;
            ASSERT_EQ(orvex_bilinear_demosaic(&s, &d, codes.data()), ORVEX_OK);
            size_t mismatches = 0;
            for (uint64_t r = 0; r < height; ++r)
                for (uint64_t c = 0; c < width; ++c)
                    for (uint64_t k = 0; k < 3; ++k)
                        mismatches += bits_of(buffer[offset + (r * width + c) * 3 + k]) !=
                                      bits_of(expected[(small_row(r) * small_width + small_col(c)) * 3 + k]);
            EXPECT_EQ(mismatches, 0u) << "offset " << offset;
            EXPECT_EQ(buffer[0], offset ? -1.0f : expected[0]);
        }
    }
}

ORVEX_INSTANTIATE_PER_ISA(BilinearDemosaic);

// Each case breaks a valid 2 x 3 call in one or two ways; the earlier test
// decides and nothing is written.
struct Call {
    std::vector<float> mosaic = std::vector<float>(6, 0.5f);
    std::vector<float> out = std::vector<float>(18, -1.0f);
    orvex_image src = describe(mosaic, 2, 3, 1), dst = describe(out, 2, 3, 3);
    const orvex_image *src_ptr = &src, *dst_ptr = &dst;
    uint32_t codes[4] = {0, 1, 1, 2};
    const uint32_t* codes_ptr = codes;
    orvex_status invoke() const { return orvex_bilinear_demosaic(src_ptr, dst_ptr, codes_ptr); }
};

TEST(BilinearDemosaicValidation, FirstFailingTestDecidesAndNothingIsWritten) {
    const struct {
        orvex_status expected;
        void (*breaks)(Call&);
    } cases[] = {
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.codes_ptr = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src.data = nullptr; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.data = nullptr, c.src.dtype = ORVEX_DTYPE_UINT16; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.src.dtype = ORVEX_DTYPE_UINT16; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.src.dtype = 2, c.src.channels = 3; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.src.channels = 3, c.dst.dtype = ORVEX_DTYPE_UINT8; }},
        {ORVEX_ERR_UNSUPPORTED, [](Call& c) { c.dst.dtype = ORVEX_DTYPE_UINT16, c.dst.channels = 4; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.channels = 4; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.dst.channels = 1, c.dst.height = 3; }},
        {ORVEX_ERR_SHAPE_MISMATCH, [](Call& c) { c.dst.height = 3; }},
        {ORVEX_ERR_SHAPE_MISMATCH, [](Call& c) { c.dst.width = 2, c.codes[0] = 3; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.codes[3] = 3; }},
        {ORVEX_ERR_INVALID_ARGUMENT, [](Call& c) { c.codes[1] = 0xFFFFFFFFu; }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Call call;
        cases[i].breaks(call);
        EXPECT_EQ(call.invoke(), cases[i].expected) << "case " << i;
        EXPECT_EQ(call.out, std::vector<float>(18, -1.0f)) << "case " << i;
    }
}

// reserved is not examined; an empty image writes nothing.
TEST(BilinearDemosaicValidation, ReservedIgnoredEmptyImageAccepted) {
    Call call;
    call.src.height = call.dst.height = 0;
    call.src.reserved = 1;
    EXPECT_EQ(call.invoke(), ORVEX_OK);
    EXPECT_EQ(call.out, std::vector<float>(18, -1.0f));
    call.src.height = call.dst.height = 2;
    call.dst.reserved = 0xFFFF;
    EXPECT_EQ(call.invoke(), ORVEX_OK);
    EXPECT_EQ(call.out[0], 0.5f);
}

TEST(VngDemosaic, AlwaysUnsupported) {
    EXPECT_EQ(orvex_vng_demosaic(nullptr, nullptr, nullptr), ORVEX_ERR_UNSUPPORTED);
    Call call;
    EXPECT_EQ(orvex_vng_demosaic(&call.src, &call.dst, call.codes), ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(call.out, std::vector<float>(18, -1.0f));
}

}  // namespace
}  // namespace orvex::testing
