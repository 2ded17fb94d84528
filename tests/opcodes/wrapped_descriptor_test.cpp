// The opcode corrections reject descriptors whose size wraps: no segfault, no
// endless loop, no write outside the buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvex.h"
#include "wrapped_descriptor.h"

namespace orvex::testing {
namespace {

TEST(OpcodesWrappedDescriptor, AreaGainMapsRejectBeforeThePitchTests) {
    SmallBuffer image;
    const std::vector<float> map(4, 1.0f);
    const orvex_image rgb = image.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    // A column pitch of -1 used to run through 2^64 pixels.
    EXPECT_EQ(orvex_apply_gain_map(&rgb, map.data(), 2, 2, 1, 0, 0, 0, 0, 0, 3, 1, -1, 1, 1, 0, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_apply_gain_map(&rgb, map.data(), 2, 2, 1, 0, 0, 0, 0, 0, 3, 0, 0, 1, 1, 0, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    const orvex_image mosaic = image.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_apply_gain_map_cfa(&mosaic, map.data(), 2, 2, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(image.untouched());
}

TEST(OpcodesWrappedDescriptor, FlatGainMapRejects) {
    SmallBuffer image;
    const std::vector<float> map(4, 2.0f);
    const orvex_image i = image.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_apply_flat_gain_map(&i, map.data(), 2, 2), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(image.untouched());
}

TEST(OpcodesWrappedDescriptor, VignetteRejectsAndSkipsImagesWithoutSamples) {
    SmallBuffer image;
    const double coefficients[1] = {1.0};
    orvex_image i = image.describe(kWrapsToZero, kWrapsToZero, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_fix_vignette(&i, coefficients, 1, 0.5, 0.5), ORVEX_ERR_INVALID_ARGUMENT);
    // No channels: 2^80 pixels of nothing return at once.
    i = image.describe(uint64_t{1} << 40, uint64_t{1} << 40, 0, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_fix_vignette(&i, coefficients, 1, 0.5, 0.5), ORVEX_OK);
    EXPECT_TRUE(image.untouched());
}

TEST(OpcodesWrappedDescriptor, WarpRejectsAfterTheShapeTest) {
    SmallBuffer src, dst;
    const double coefficients[1] = {1.0};
    const orvex_image s = src.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    orvex_image d = dst.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    for (bool cubic : {false, true})
        EXPECT_EQ(orvex_warp_rectilinear(&s, &d, coefficients, 1, 1, nullptr, 0.5, 0.5, cubic),
                  ORVEX_ERR_INVALID_ARGUMENT);
    d.channels = 3;
    EXPECT_EQ(orvex_warp_rectilinear(&s, &d, coefficients, 1, 1, nullptr, 0.5, 0.5, false),
              ORVEX_ERR_SHAPE_MISMATCH);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

TEST(OpcodesWrappedDescriptor, PolynomialMapRejectsBeforeThePitchTests) {
    SmallBuffer image;
    const float coefficients[2] = {0.0f, 1.0f};
    const orvex_image i = image.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_map_polynomial(&i, 0, 0, 2, 2, 0, 3, 1, 1, coefficients, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_map_polynomial(&i, 0, 0, 2, 2, 0, 3, 0, 1, coefficients, 1), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(image.untouched());
}

TEST(OpcodesWrappedDescriptor, BadPixelRepairRejectsAfterTheShapeTest) {
    SmallBuffer src, dst;
    const orvex_image s = src.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_UINT16);
    orvex_image d = dst.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_UINT16);
    EXPECT_EQ(orvex_fix_bad_pixels_constant(&s, &d, 0x5A5A, 0), ORVEX_ERR_INVALID_ARGUMENT);
    d.width = 5;
    EXPECT_EQ(orvex_fix_bad_pixels_constant(&s, &d, 0x5A5A, 0), ORVEX_ERR_SHAPE_MISMATCH);
    // 2^64 - 1 rows of no columns return at once.
    const orvex_image rows_only = src.describe(UINT64_MAX, 0, 1, ORVEX_DTYPE_UINT16);
    EXPECT_EQ(orvex_fix_bad_pixels_constant(&rows_only, &rows_only, 0x5A5A, 0), ORVEX_OK);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

}  // namespace
}  // namespace orvex::testing
