#include <gtest/gtest.h>

#include <vector>

#include "image_util.h"
#include "isa_param.h"
#include "orvex.h"

namespace {

using orvex::testing::bits_of;
using orvex::testing::describe;

TEST(FlatGainMap, ValidatesInOrderAndWritesNothingOnFailure) {
    std::vector<float> samples(4, 0.5f);
    const std::vector<float> map(4, 2.0f);
    const orvex_image good = describe(samples, 2, 2, 1);
    const auto call = [&](orvex_image image, const float* m, int32_t rows, int32_t cols) {
        return orvex_apply_flat_gain_map(&image, m, rows, cols);
    };
    orvex_image u16_reserved = good;
    u16_reserved.dtype = ORVEX_DTYPE_UINT16;
    u16_reserved.reserved = 1;
    orvex_image no_data = good;
    no_data.data = nullptr;

    EXPECT_EQ(orvex_apply_flat_gain_map(nullptr, map.data(), 2, 2), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(no_data, map.data(), 2, 2), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(good, nullptr, 2, 2), ORVEX_ERR_INVALID_ARGUMENT);
    // Grid sizes are tested with the pointers, before the sample type.
    EXPECT_EQ(call(u16_reserved, map.data(), 1, 2), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(u16_reserved, map.data(), 2, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(u16_reserved, map.data(), 2, 2), ORVEX_ERR_UNSUPPORTED);
    for (const auto& change : {+[](orvex_image& i) { i.reserved = 1; }, +[](orvex_image& i) { i.channels = 3; },
                               +[](orvex_image& i) { i.height = 0; }, +[](orvex_image& i) { i.width = 0; }}) {
        orvex_image bad = good;
        change(bad);
        EXPECT_EQ(call(bad, map.data(), 2, 2), ORVEX_ERR_INVALID_ARGUMENT);
    }
    for (const float s : samples)
        EXPECT_EQ(bits_of(s), bits_of(0.5f));
}

class FlatGainMapIsa : public orvex::testing::IsaTest {};

TEST_P(FlatGainMapIsa, TwoByTwoGridOnHundredRowsExtrapolates) {
    // Grid row 1 sits on image row 50 and grid column 1 on column 50; rows and
    // columns 25, 50 and 75 have fractions 0.5, 1 and 1.5. With gains 1, 3 over
    // 2, 6 the gain is (1 + 2 fx)(1 + fy), unclamped.
    const std::vector<float> map = {1.0f, 3.0f, 2.0f, 6.0f};
    std::vector<float> samples(100 * 100, 0.25f);
    orvex_image image = describe(samples, 100, 100, 1);
    ASSERT_EQ(orvex_apply_flat_gain_map(&image, map.data(), 2, 2), ORVEX_OK);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const float expected = 0.25f * (1.0f + static_cast<float>(c)) * (1.0f + 0.5f * static_cast<float>(r));
            EXPECT_EQ(bits_of(samples[r * 25 * 100 + c * 25]), bits_of(expected)) << r << " " << c;
        }
    }
    // Row 99 has fy = 1.98 (as float 1.97999990): grid row 0 gains times -0.98.
    EXPECT_EQ(bits_of(samples[99 * 100]), bits_of(0.25f * (1.0f * (1.0f - 1.9799999f) + 2.0f * 1.9799999f)));
}

TEST_P(FlatGainMapIsa, CellsAlongARowAndTheLastCellExtrapolates) {
    // Four grid columns over eight image columns: positions j / 2, cells
    // 0, 0, 1, 1, 2, 2, 2, 2 with fractions 0, .5, 0, .5, 0, .5, 1, 1.5.
    const std::vector<float> map = {0.0f, 1.0f, 2.0f, 4.0f, 0.0f, 1.0f, 2.0f, 4.0f};
    std::vector<float> samples(2 * 8, -0.5f);
    orvex_image image = describe(samples, 2, 8, 1);
    ASSERT_EQ(orvex_apply_flat_gain_map(&image, map.data(), 2, 4), ORVEX_OK);
    const float gain[8] = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 5.0f};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bits_of(samples[i]), bits_of(-0.5f * gain[i % 8])) << i;
}

ORVEX_INSTANTIATE_PER_ISA(FlatGainMapIsa);

}  // namespace
