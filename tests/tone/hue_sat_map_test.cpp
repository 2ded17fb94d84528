#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "frame/kernel_table.h"
#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"
#include "tone/hue_sat_map_kernels.h"

namespace orvex::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Pixel = std::array<float, 3>;
using Entry = std::array<float, 3>;  // hue shift in degrees, saturation scale, value scale

const Entry kIdentity = {0.0f, 1.0f, 1.0f};
const Entry kPoison = {kNaN, kNaN, kNaN};

struct Table {
    int32_t hue, sat, val;
    std::vector<float> values;

    Table(int32_t hue_divisions, int32_t sat_divisions, int32_t val_divisions, Entry fill)
        : hue(hue_divisions), sat(sat_divisions), val(val_divisions) {
        for (int32_t i = 0; i < (val >= 2 ? val : 1) * hue * sat; ++i)
            values.insert(values.end(), fill.begin(), fill.end());
    }
    void set(int32_t v, int32_t h, int32_t s, Entry entry) {
        for (size_t c = 0; c < 3; ++c)
            values[3 * static_cast<size_t>((v * hue + h) * sat + s) + c] = entry[c];
    }
};

// The table goes to the map in an allocation of exactly its size (a vector
// may hold spare capacity), so the address sanitizer sees any read past its
// last entry.
orvex_status run_map(std::vector<float>& samples, const Table& table) {
    orvex_image image = describe(samples, 1, samples.size() / 3, 3);
    const auto exact = std::make_unique<float[]>(table.values.size());
    std::copy(table.values.begin(), table.values.end(), exact.get());
    return orvex_apply_hue_sat_map(&image, exact.get(), table.hue, table.sat, table.val);
}

// The kernels' view of `table`, with 32-bit or 64-bit table offsets.
HueSatTable kernel_view(const Table& table, bool wide_index) {
    return {table.values.data(),
            table.hue,
            table.sat,
            table.val,
            table.hue >= 2 ? static_cast<float>(table.hue) * (1.0f / 6.0f) : 0.0f,
            static_cast<float>(table.sat - 1),
            static_cast<float>(table.val - 1),
            wide_index};
}

// A reproducible stream of floats spread over [low, high).
class Uniform {
public:
    explicit Uniform(uint32_t seed) : state_(seed) {}
    float operator()(float low, float high) {
        state_ = state_ * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(state_ >> 8) / 16777216.0f;
    }

private:
    uint32_t state_;
};

// Divisions of a table: hue, saturation, value.
struct Shape {
    int32_t hue, sat, val;
};

// Applies `table` to `input` cycled over pixel counts around the vector
// widths and the 64-pixel blocks; expects `expected`, likewise cycled. The
// kernel is also run with the 64-bit table offsets that tables of 2^31
// floats or more take.
void expect_map(const Table& table, const std::vector<Pixel>& input, const std::vector<Pixel>& expected) {
    const HueSatTable wide = kernel_view(table, true);
    const HueSatKernel wide_kernel = kernel_table::hue_sat.active()(wide);
    for (size_t count : {1, 3, 7, 9, 17, 19, 63, 65, 130}) {
        std::vector<float> samples;
        for (size_t i = 0; i < count; ++i)
            samples.insert(samples.end(), input[i % input.size()].begin(), input[i % input.size()].end());
        std::vector<float> wide_samples = samples;
        ASSERT_EQ(run_map(samples, table), ORVEX_OK);
        wide_kernel(wide_samples.data(), count, wide);
        for (size_t i = 0; i < 3 * count; ++i) {
            const uint32_t want = bits_of(expected[i / 3 % expected.size()][i % 3]);
            ASSERT_EQ(bits_of(samples[i]), want) << "count " << count << " sample " << i << ": " << samples[i];
            ASSERT_EQ(bits_of(wide_samples[i]), want) << "wide offsets, count " << count << " sample " << i;
        }
    }
}

class HueSatMap : public IsaTest {};

TEST_P(HueSatMap, IdentityTableKeepsPixelsInRangeAndCapsValue) {
    // Hues 3.5, 5.5 (wrapping to division 0), 2.5 and 0 sextants, a red and
    // green tie, grey, black.
    const std::vector<Pixel> pixels = {{0.5f, 0.75f, 1.0f}, {1.0f, 0.5f, 0.75f}, {0.5f, 1.0f, 0.75f},
                                       {1.0f, 0.5f, 0.5f},  {1.0f, 1.0f, 0.5f},  {0.25f, 0.25f, 0.25f},
                                       {0.0f, 0.0f, 0.0f}};
    for (int32_t val : {0, 1, 3}) {
        expect_map(Table(6, 2, val, kIdentity), pixels, pixels);
        expect_map(Table(6, 2, val, kIdentity), {{2.0f, 1.0f, 1.0f}}, {{1.0f, 0.5f, 0.5f}});
    }
}

TEST_P(HueSatMap, TwoDimensionalLookupMixesFourEntries) {
    // Hue 3.5 and saturation 0.5: halfway between hue divisions 3 and 4 and
    // saturation divisions 0 and 1. Adjustment: +60 degrees, x1.5, x0.75.
    Table table(6, 2, 0, kPoison);
    table.set(0, 3, 0, {60.0f, 2.0f, 0.5f});
    table.set(0, 4, 0, {120.0f, 1.0f, 0.5f});
    table.set(0, 3, 1, {0.0f, 1.5f, 0.5f});
    table.set(0, 4, 1, {60.0f, 1.5f, 1.5f});
    expect_map(table, {{0.5f, 0.75f, 1.0f}}, {{0.46875f, 0.1875f, 0.75f}});
    // Hue 5.5 mixes divisions 5 and 0.
    Table wrap(6, 2, 1, kPoison);
    for (int32_t s : {0, 1}) {
        wrap.set(0, 5, s, {0.0f, 1.0f, 0.5f});
        wrap.set(0, 0, s, {0.0f, 1.0f, 1.0f});
    }
    expect_map(wrap, {{1.0f, 0.5f, 0.75f}}, {{0.75f, 0.375f, 0.5625f}});
}

TEST_P(HueSatMap, ThreeDimensionalLookupInterpolatesAndExtrapolatesValue) {
    // Value 0.75 lies halfway between value divisions 1 and 2; value 2
    // extrapolates from them: 0.75 * 3 + 1 * (1 - 3) = 0.25.
    Table table(6, 2, 3, kPoison);
    for (int32_t s : {0, 1})
        for (int32_t h : {0, 1, 3, 4}) {
            table.set(1, h, s, kIdentity);
            table.set(2, h, s, {0.0f, 1.0f, h < 3 ? 0.75f : 0.5f});
        }
    table.set(2, 4, 1, {0.0f, 1.0f, 1.5f});
    expect_map(table, {{0.375f, 0.5625f, 0.75f}, {2.0f, 1.0f, 1.0f}},
               {{0.328125f, 0.4921875f, 0.65625f}, {0.5f, 0.25f, 0.25f}});
}

TEST_P(HueSatMap, GreyResults) {
    // Grey reads hue division 0 at saturation 0; the entries beside it
    // carry weight 0.
    Table table(6, 2, 0, {1000.0f, 1000.0f, 1000.0f});
    table.set(0, 0, 0, {90.0f, 5.0f, 0.5f});
    expect_map(table, {{0.5f, 0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}}, {{0.25f, 0.25f, 0.25f}, {0.0f, 0.0f, 0.0f}});
    // Saturation scaled to 0 or below leaves grey at the clamped value.
    const std::vector<Pixel> pixel = {{0.5f, 0.75f, 1.0f}};
    expect_map(Table(1, 1, 0, {0.0f, 0.0f, 4.0f}), pixel, {{1.0f, 1.0f, 1.0f}});
    expect_map(Table(1, 1, 0, {kNaN, -1.0f, 0.5f}), pixel, {{0.5f, 0.5f, 0.5f}});
    expect_map(Table(1, 1, 0, {0.0f, 0.0f, -1.0f}), pixel, {{0.0f, 0.0f, 0.0f}});
    // Whatever sextant the shifted hue falls in, and with a scale of -0. A
    // NaN scale is not below 1, so it saturates fully.
    for (float shift : {60.0f, 120.0f, 180.0f, 240.0f, 300.0f, 1e6f, kInf})
        for (float scale : {0.0f, -0.0f})
            expect_map(Table(1, 1, 0, {shift, scale, 0.5f}), pixel, {{0.5f, 0.5f, 0.5f}});
    expect_map(Table(1, 1, 0, {0.0f, kNaN, 0.5f}), pixel, {{0.0f, 0.25f, 0.5f}});
}

TEST_P(HueSatMap, HueShiftWrapsByRemainderOfSixSextants) {
    // Hue 3.5, saturation 0.5, value 1. 360 degrees is 6.0000005 sextants
    // in float, so only +360 lands back exactly.
    const std::vector<Pixel> pixel = {{0.5f, 0.75f, 1.0f}};
    expect_map(Table(1, 1, 0, {360.0f, 1.0f, 1.0f}), pixel, pixel);
    expect_map(Table(1, 1, 0, {-360.0f, 1.0f, 1.0f}), pixel, {{0.5f, 0x1.800008p-1f, 1.0f}});
    expect_map(Table(1, 1, 0, {-720.0f, 1.0f, 1.0f}), pixel, {{0.5f, 0x1.800010p-1f, 1.0f}});
    expect_map(Table(1, 1, 0, {720.0f, 1.0f, 1.0f}), pixel, {{0.5f, 0x1.7ffff0p-1f, 1.0f}});
    expect_map(Table(1, 1, 0, {1e6f, 1.0f, 1.0f}), pixel, {{0.5f, 1.0f, 0.583984375f}});
    // Not finite: the pixel stays.
    for (float shift : {kNaN, kInf, -kInf})
        expect_map(Table(1, 1, 0, {shift, 1.0f, 0.5f}), pixel, pixel);
    // Kept and adjusted pixels side by side in one vector: hue 0 reads the
    // NaN shifts of division 0, hue 3.5 the halved value of divisions 3, 4.
    Table mixed(6, 2, 0, {kNaN, 1.0f, 0.5f});
    for (int32_t h : {3, 4})
        for (int32_t s : {0, 1})
            mixed.set(0, h, s, {0.0f, 1.0f, 0.5f});
    expect_map(mixed, {{1.0f, 0.5f, 0.5f}, {0.5f, 0.75f, 1.0f}, {0.5f, 0.75f, 1.0f}},
               {{1.0f, 0.5f, 0.5f}, {0.25f, 0.375f, 0.5f}, {0.25f, 0.375f, 0.5f}});
    // -1.7e-8 sextants plus 6 rounds to 6, which is sextant 0.
    expect_map(Table(1, 1, 0, {-1e-6f, 1.0f, 0.5f}), {{1.0f, 0.5f, 0.5f}}, {{0.5f, 0.25f, 0.25f}});
}

TEST_P(HueSatMap, LookupNeverLeavesTable) {
    // One saturation division takes full weight.
    expect_map(Table(1, 1, 0, {0.0f, 0.5f, 0.5f}), {{0.5f, 0.75f, 1.0f}, {1.0f, 0.5f, 0.75f}},
               {{0.375f, 0.4375f, 0.5f}, {0.5f, 0.375f, 0.4375f}});
    // Negative, infinite and NaN samples put coordinates below the first
    // division or past the last; tables of exactly their nominal size let
    // the address sanitizer see any stray read.
    const std::vector<Pixel> pixels = {{-1.0f, -0.5f, -0.75f}, {kInf, kInf, 0.0f},  {kNaN, 0.5f, 0.25f},
                                       {kInf, 0.0f, 0.0f},     {0.5f, kNaN, 1.0f},  {-kInf, 1.0f, 0.5f},
                                       {1e30f, -1e30f, 0.0f},  {0.0f, -0.5f, 0.25f}};
    for (int32_t sat : {1, 2, 5})
        for (int32_t val : {0, 2, 4})
            for (int32_t hue : {1, 6}) {
                std::vector<float> samples;
                for (const Pixel& p : pixels)
                    samples.insert(samples.end(), p.begin(), p.end());
                ASSERT_EQ(run_map(samples, Table(hue, sat, val, kIdentity)), ORVEX_OK);
                // Negative saturation turns grey at value 0; a NaN hue keeps the pixel.
                EXPECT_EQ(std::vector<float>(samples.begin(), samples.begin() + 5),
                          std::vector<float>({0.0f, 0.0f, 0.0f, kInf, kInf}));
            }
}

TEST_P(HueSatMap, ThreeDimensionalLookupReadsBothTableEnds) {
    // Hue 5.5 sextants with 3 hue divisions sits at 2.75: the last division
    // and its wrap partner 0, weights 0.25 and 0.75. Saturation 1 and value
    // 1 fall on the last saturation and value pairs with weight 1 on their
    // upper division, so the table's very last entry takes part.
    Table end(3, 3, 2, kIdentity);
    end.set(1, 2, 2, {120.0f, 0.5f, 0.5f});
    end.set(1, 0, 2, {-40.0f, 0.5f, 0.5f});
    expect_map(end, {{1.0f, 0.0f, 0.5f}}, {{0.5f, 0.25f, 0.375f}});
    // Grey reads the table's first entry and the one a value division up,
    // half and half at value 0.5.
    Table start(3, 3, 2, kIdentity);
    start.set(0, 0, 0, {0.0f, 1.0f, 0.25f});
    start.set(1, 0, 0, {0.0f, 1.0f, 0.75f});
    expect_map(start, {{0.5f, 0.5f, 0.5f}}, {{0.25f, 0.25f, 0.25f}});
}

// Every pixel of a vector group reads its own entries: colours that differ
// from pixel to pixel, against the kernel that takes one pixel per 128-bit
// vector and against the 64-bit offsets.
TEST_P(HueSatMap, EveryLaneReadsItsOwnEntries) {
    Uniform next(12345);
    for (const Shape shape : {Shape{90, 30, 0}, Shape{7, 5, 4}, Shape{6, 1, 3}, Shape{5, 2, 1}, Shape{1, 3, 2}}) {
        Table table(shape.hue, shape.sat, shape.val, kIdentity);
        for (float& value : table.values)
            value = next(-0.5f, 1.5f);
        for (size_t entry = 0; entry < table.values.size(); entry += 3)
            table.values[entry] = next(-200.0f, 200.0f);
        for (size_t count : {16, 133}) {
            std::vector<float> samples;
            for (size_t i = 0; i < 3 * count; ++i)
                samples.push_back(i % 29 == 5 ? samples[i - 3] : next(-0.25f, 1.25f));
            std::vector<float> reference = samples, wide_samples = samples;
            const HueSatTable narrow = kernel_view(table, false);
            baseline::select_hue_sat_kernel(narrow)(reference.data(), count, narrow);
            const HueSatTable wide = kernel_view(table, true);
            kernel_table::hue_sat.active()(wide)(wide_samples.data(), count, wide);
            ASSERT_EQ(run_map(samples, table), ORVEX_OK);
            for (size_t i = 0; i < 3 * count; ++i) {
                ASSERT_EQ(bits_of(samples[i]), bits_of(reference[i]))
                    << "table " << shape.hue << "x" << shape.sat << "x" << shape.val << ", sample " << i;
                ASSERT_EQ(bits_of(wide_samples[i]), bits_of(reference[i])) << "wide offsets, sample " << i;
            }
        }
    }
}

// Blocks whose pixels all stay clear of the table's last entry pairs may read
// past the pair they use; the others read only its floats. Pixels on the
// table's last pairs at block edges, mid-block and in the tail, among pixels
// clear of them, give the results of the kernel that takes one pixel per
// 128-bit vector, from tables of exactly their nominal size.
TEST_P(HueSatMap, BlocksReachingTableEndMatchOnePixelPerVector) {
    Uniform next(777);
    // Hue 5.75 sextants (the last division), saturation 1, value 1: the
    // last saturation and value pairs, and the wrap to hue division 0.
    const Pixel at_end = {1.0f, 0.0f, 0.25f};
    const std::vector<size_t> at_end_indices = {0, 63, 130, 199};
    for (const Shape shape : {Shape{6, 4, 3}, Shape{3, 5, 2}, Shape{4, 1, 3}, Shape{5, 4, 0}}) {
        Table table(shape.hue, shape.sat, shape.val, kIdentity);
        for (size_t i = 0; i < table.values.size(); ++i)
            table.values[i] = i % 3 == 0 ? next(-90.0f, 90.0f) : next(0.5f, 1.5f);
        std::vector<float> samples;
        for (size_t i = 0; i < 200; ++i) {
            // Channels in 0.2..0.45: saturation below 0.56, value below 0.5.
            const bool end = std::find(at_end_indices.begin(), at_end_indices.end(), i) != at_end_indices.end();
            for (size_t c = 0; c < 3; ++c)
                samples.push_back(end ? at_end[c] : next(0.2f, 0.45f));
        }
        std::vector<float> reference = samples;
        const HueSatTable narrow = kernel_view(table, false);
        baseline::select_hue_sat_kernel(narrow)(reference.data(), 200, narrow);
        ASSERT_EQ(run_map(samples, table), ORVEX_OK);
        for (size_t i = 0; i < samples.size(); ++i)
            ASSERT_EQ(bits_of(samples[i]), bits_of(reference[i]))
                << "table " << shape.hue << "x" << shape.sat << "x" << shape.val << ", sample " << i;
    }
}

ORVEX_INSTANTIATE_PER_ISA(HueSatMap);

TEST(HueSatMapValidation, FirstFailingTestDecidesAndNothingIsWritten) {
    const std::vector<float> original = {0.5f, 0.75f, 1.0f, 0.1f, 0.2f, 0.3f};
    std::vector<float> samples = original;
    const Table table(6, 2, 3, {90.0f, 0.5f, 0.5f});
    const float* t = table.values.data();
    const orvex_image good = describe(samples, 1, 2, 3);
    auto image = [&](uint32_t dtype, uint64_t channels, uint64_t reserved, bool data = true, uint64_t height = 1) {
        orvex_image i = good;
        i.dtype = dtype;
        i.channels = channels;
        i.reserved = reserved;
        i.data = data ? i.data : nullptr;
        i.height = height;
        return i;
    };
    constexpr uint32_t f32 = ORVEX_DTYPE_FLOAT32, u8 = ORVEX_DTYPE_UINT8;
    struct Case {
        orvex_image image;
        bool table;
        int32_t hue, sat, val;
        orvex_status status;
    };
    const Case cases[] = {
        {image(u8, 3, 0, false), true, 6, 2, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(u8, 3, 0), false, 6, 2, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(ORVEX_DTYPE_UINT16, 1, 1), true, 0, 0, -1, ORVEX_ERR_UNSUPPORTED},
        {image(2, 3, 0), true, 6, 2, 3, ORVEX_ERR_UNSUPPORTED},
        {image(f32, 4, 0), true, 6, 2, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 1), true, 6, 2, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), true, 0, 2, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), true, 6, 0, 3, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0), true, 6, 2, -1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0, true, 0), true, 6, 2, -1, ORVEX_ERR_INVALID_ARGUMENT},
        {image(f32, 3, 0, true, 0), true, 6, 2, 3, ORVEX_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(orvex_apply_hue_sat_map(&c.image, c.table ? t : nullptr, c.hue, c.sat, c.val), c.status);
        EXPECT_EQ(samples, original);
    }
    EXPECT_EQ(orvex_apply_hue_sat_map(nullptr, t, 6, 2, 3), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_apply_hue_sat_map(&good, t, 6, 2, 3), ORVEX_OK);
    EXPECT_NE(samples, original);
}

}  // namespace
}  // namespace orvex::testing
