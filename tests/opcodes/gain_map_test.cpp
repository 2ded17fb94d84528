#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace {

using orvex::testing::bits_of;
using orvex::testing::describe;

// The arguments of one call after the image, named, in the order of the
// declaration; the defaults are a one-plane map of one point placed over the
// whole image, applied to the whole of a three-channel image with pitch 1.
struct GainMapCall {
    const float* map = nullptr;
    int32_t points_v = 1, points_h = 1, map_planes = 1;
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    int32_t plane = 0, planes = 3;  // not taken by the mosaic form
    int32_t row_pitch = 1, col_pitch = 1;
    double spacing_v = 1.0, spacing_h = 1.0, origin_v = 0.0, origin_h = 0.0;

    orvex_status on(orvex_image* image) const {
        return orvex_apply_gain_map(image, map, points_v, points_h, map_planes, top, left, bottom, right, plane,
                                    planes, row_pitch, col_pitch, spacing_v, spacing_h, origin_v, origin_h);
    }
    orvex_status on_mosaic(orvex_image* image) const {
        return orvex_apply_gain_map_cfa(image, map, points_v, points_h, map_planes, top, left, bottom, right,
                                        row_pitch, col_pitch, spacing_v, spacing_h, origin_v, origin_h);
    }
};

// One map row over eight columns whose centres sit at map positions x / 4
// (origin at the centre of column 0, spacing half the width), over the area
// and planes of `call`. With gains 2, 4, 3 the column gains are kColumnGain:
// 2 at column 0, a run from column 1 (slope 0.5), a run from column 4
// (slope -0.25).
orvex_status apply_eight(orvex_image& image, const std::vector<float>& map, int32_t map_planes, GainMapCall call) {
    call.map = map.data();
    call.points_h = 3;
    call.map_planes = map_planes;
    call.spacing_h = 0.5;
    call.origin_h = 1.0 / 16;
    return call.on(&image);
}
const std::vector<float> kRamp = {2.0f, 4.0f, 3.0f};
const float kColumnGain[8] = {2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 3.75f, 3.5f, 3.25f};

TEST(GainMap, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> samples(2 * 2 * 3, 0.5f);
    const std::vector<float> map(4, 2.0f);
    const orvex_image good = describe(samples, 2, 2, 3);
    struct Case {
        orvex_image image;
        const float* map;
        int32_t points_v, plane, row_pitch, col_pitch;
        orvex_status expected;
    };
    const auto with = [&](auto change) {
        orvex_image i = good;
        change(i);
        return i;
    };
    const orvex_image no_data = with([](orvex_image& i) { i.data = nullptr; });
    const orvex_image u16_reserved = with([](orvex_image& i) { i.dtype = ORVEX_DTYPE_UINT16, i.reserved = 1; });
    // Map dimensions come before the sample type, the type before reserved and
    // the channel count; refused pitches and planes come last.
    for (const Case& c :
         {Case{no_data, map.data(), 1, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{good, nullptr, 1, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{u16_reserved, map.data(), 0, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{u16_reserved, map.data(), 1, -1, 0, 0, ORVEX_ERR_UNSUPPORTED},
          Case{with([](orvex_image& i) { i.reserved = 1; }), map.data(), 1, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{with([](orvex_image& i) { i.channels = 1; }), map.data(), 1, 0, 1, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{good, map.data(), 1, 0, 0, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{good, map.data(), 1, 0, -2, 1, ORVEX_ERR_INVALID_ARGUMENT},
          Case{good, map.data(), 1, 0, 1, 0, ORVEX_ERR_INVALID_ARGUMENT},
          Case{good, map.data(), 1, -1, 1, 1, ORVEX_ERR_INVALID_ARGUMENT}}) {
        orvex_image image = c.image;
        const GainMapCall call{.map = c.map,
                               .points_v = c.points_v,
                               .points_h = 2,
                               .plane = c.plane,
                               .row_pitch = c.row_pitch,
                               .col_pitch = c.col_pitch};
        EXPECT_EQ(call.on(&image), c.expected);
    }
    EXPECT_EQ((GainMapCall{.map = map.data(), .points_h = 2}.on(nullptr)), ORVEX_ERR_INVALID_ARGUMENT);
    // The mosaic form makes the same tests, with one channel required.
    orvex_image mosaic = good;
    const auto cfa = [&](int32_t map_planes, int32_t row_pitch, int32_t col_pitch) {
        return GainMapCall{.map = map.data(),
                           .points_h = 2,
                           .map_planes = map_planes,
                           .row_pitch = row_pitch,
                           .col_pitch = col_pitch}
            .on_mosaic(&mosaic);
    };
    EXPECT_EQ(cfa(0, 1, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(cfa(1, 1, 1), ORVEX_ERR_INVALID_ARGUMENT);
    mosaic.channels = 1;
    mosaic.dtype = 7;
    EXPECT_EQ(cfa(1, 0, 0), ORVEX_ERR_UNSUPPORTED);
    mosaic.dtype = ORVEX_DTYPE_FLOAT32;
    EXPECT_EQ(cfa(1, 0, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(cfa(1, 1, 0), ORVEX_ERR_INVALID_ARGUMENT);
    for (const float s : samples)
        EXPECT_EQ(bits_of(s), bits_of(0.5f));
}

class GainMapIsa : public orvex::testing::IsaTest {};

TEST_P(GainMapIsa, ColumnRampsClampAndPlaneMapping) {
    // Plane 0 carries the ramp, plane 1 the constant 0.5; with two map planes
    // channels 1 and 2 both read plane 1. Row 1 holds negative and NaN
    // samples in channel 2, which become 0.
    const std::vector<float> map = {2.0f, 0.5f, 4.0f, 0.5f, 3.0f, 0.5f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> samples;
    for (int i = 0; i < 16; ++i)
        samples.insert(samples.end(), {i % 2 ? 0.375f : 0.25f, 1.5f, i < 8 ? 1.0f : i % 2 ? nan : -1.0f});
    orvex_image image = describe(samples, 2, 8, 3);
    ASSERT_EQ(apply_eight(image, map, 2, {}), ORVEX_OK);
    for (int i = 0; i < 16; ++i) {
        const float scaled = kColumnGain[i % 8] * (i % 2 ? 0.375f : 0.25f);
        EXPECT_EQ(bits_of(samples[i * 3]), bits_of(scaled > 1.0f ? 1.0f : scaled)) << i;
        EXPECT_EQ(bits_of(samples[i * 3 + 1]), bits_of(0.75f)) << i;
        EXPECT_EQ(bits_of(samples[i * 3 + 2]), bits_of(i < 8 ? 0.5f : 0.0f)) << i;
    }
}

TEST_P(GainMapIsa, LongRunOnMosaic) {
    // 64 columns over two map points (gains 1 and 3) from the centre of column
    // 0, spacing half the width: column 0 holds the first gain, columns 1 to
    // 31 form one run with gain 1 + x / 16, then the last gain 3 is held. On
    // the mosaic a second map plane only widens the stride.
    const std::vector<float> two_planes = {1.0f, 9.0f, 3.0f, 9.0f};
    const auto expected = [](int x) { return x == 0 ? 0.25f : x < 32 ? 0.25f + x / 64.0f : 0.75f; };
    std::vector<float> mosaic(3 * 64, 0.25f);
    orvex_image image = describe(mosaic, 3, 64, 1);
    const GainMapCall call{
        .map = two_planes.data(), .points_h = 2, .map_planes = 2, .spacing_h = 0.5, .origin_h = 1.0 / 128};
    ASSERT_EQ(call.on_mosaic(&image), ORVEX_OK);
    for (int i = 0; i < 3 * 64; ++i)
        EXPECT_EQ(bits_of(mosaic[i]), bits_of(expected(i % 64))) << i;
}

TEST_P(GainMapIsa, RowsMixBetweenMapRows) {
    // Four rows at map positions y / 2: row 0 reads map row 0, row 1 the mean
    // of rows 0 and 1, rows 2 and 3 map row 1.
    const std::vector<float> map = {0.5f, 0.5f, 1.5f, 1.5f};
    std::vector<float> samples(4 * 3 * 3, 0.5f);
    orvex_image image = describe(samples, 4, 3, 3);
    const GainMapCall call{.map = map.data(), .points_v = 2, .points_h = 2, .spacing_v = 0.5, .origin_v = 0.125};
    ASSERT_EQ(call.on(&image), ORVEX_OK);
    const float row_result[4] = {0.25f, 0.5f, 0.75f, 0.75f};
    for (int i = 0; i < 4 * 3 * 3; ++i)
        EXPECT_EQ(bits_of(samples[i]), bits_of(row_result[i / 9])) << i;
}

TEST_P(GainMapIsa, WholePixelPassesEqualOneChannelAtATime) {
    // Uneven placement, runs that cross the 512-pixel chunks, held edges on
    // both sides: the passes over whole pixels (three channels, and the
    // mosaic) must match the column-by-column path of a single channel.
    const int h = 4, w = 1100, points_v = 3, points_h = 40;
    std::vector<float> map;
    for (int i = 0; i < points_v * points_h * 3; ++i)
        map.push_back(0.6f + 0.037f * static_cast<float>(i % 17));
    std::vector<float> whole;
    for (int i = 0; i < h * w * 3; ++i)
        whole.push_back(static_cast<float>(i % 101) / 97.0f - 0.02f);
    std::vector<float> single = whole;
    std::vector<float> mosaic;
    for (size_t i = 0; i < whole.size(); i += 3)
        mosaic.push_back(whole[i]);
    orvex_image a = describe(whole, h, w, 3);
    orvex_image b = describe(single, h, w, 3);
    orvex_image m = describe(mosaic, h, w, 1);
    const GainMapCall uneven{.map = map.data(),
                             .points_v = points_v,
                             .points_h = points_h,
                             .map_planes = 3,
                             .top = 1,
                             .left = 3,
                             .right = 1090,
                             .row_pitch = 2,
                             .spacing_v = 0.31,
                             .spacing_h = 0.0231,
                             .origin_v = 0.07,
                             .origin_h = 0.07};
    const auto apply = [&](orvex_image& image, int32_t plane, int32_t planes) {
        GainMapCall call = uneven;
        call.plane = plane;
        call.planes = planes;
        return call.on(&image);
    };
    ASSERT_EQ(apply(a, 0, 3), ORVEX_OK);
    for (int p = 0; p < 3; ++p)
        ASSERT_EQ(apply(b, p, 1), ORVEX_OK);
    ASSERT_EQ(uneven.on_mosaic(&m), ORVEX_OK);
    for (size_t i = 0; i < whole.size(); ++i)
        ASSERT_EQ(bits_of(whole[i]), bits_of(single[i])) << i;
    for (size_t i = 0; i < mosaic.size(); ++i)
        ASSERT_EQ(bits_of(mosaic[i]), bits_of(single[i * 3])) << i;
}

ORVEX_INSTANTIATE_PER_ISA(GainMapIsa);

TEST(GainMap, AreaEdgesChannelRangeAndPitches) {
    // Returns, per sample, whether a call scaled it by its column gain.
    const auto scaled = [](const std::vector<float>& map, const GainMapCall& c) {
        std::vector<float> samples(3 * 8 * 3, 0.25f);
        orvex_image image = describe(samples, 3, 8, 3);
        EXPECT_EQ(apply_eight(image, map, 1, c), ORVEX_OK);
        std::vector<bool> done;
        for (size_t i = 0; i < samples.size(); ++i) {
            const float gain = map == kRamp ? kColumnGain[i / 3 % 8] : 2.0f;
            done.push_back(bits_of(samples[i]) == bits_of(gain * 0.25f));
            if (!done.back()) {
                EXPECT_EQ(bits_of(samples[i]), bits_of(0.25f)) << i;
            }
        }
        return done;
    };
    const auto expect = [&](const std::vector<float>& map, const GainMapCall& c, auto&& inside) {
        const std::vector<bool> done = scaled(map, c);
        for (int i = 0; i < 3 * 8 * 3; ++i)
            EXPECT_EQ(done[i], inside(i / 24, i / 3 % 8, i % 3)) << i;
    };
    // Rows 1 and 2 (bottom 0), columns 2 to 4, channels 1 and 2 (planes past
    // the count): the run restarts at column 2 with the same gains.
    expect(kRamp, {.top = 1, .left = 2, .right = 5, .plane = 1, .planes = 5},
           [](int y, int x, int p) { return y >= 1 && x >= 2 && x < 5 && p >= 1; });
    // Pitch 2: columns 0, 2, 4, 6 get the gains they get with pitch 1, since
    // the counter advances at skipped columns too; with row pitch 2 rows 0, 2.
    expect(kRamp, {.row_pitch = 2, .col_pitch = 2}, [](int y, int x, int) { return y % 2 == 0 && x % 2 == 0; });
    // Edges at or beyond the image, negative first edges: the whole image. A
    // pitch larger than the area, or negative, keeps column 0 (gain 2 here).
    const std::vector<float> doubling = {2.0f, 1.0f, 1.0f};
    for (const int32_t pitch : {100, -1})
        expect(doubling, {.top = -4, .left = -1, .bottom = 3, .right = 9, .col_pitch = pitch},
               [](int, int x, int) { return x == 0; });
    // Empty areas and channel ranges change nothing.
    for (const GainMapCall& empty : {GainMapCall{.top = 2, .bottom = 2}, GainMapCall{.left = 5, .right = 3},
                                     GainMapCall{.planes = 0}, GainMapCall{.plane = 3, .planes = 1}})
        expect(kRamp, empty, [](int, int, int) { return false; });
}

}  // namespace
