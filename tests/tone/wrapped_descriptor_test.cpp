// The tone and profile maps reject descriptors whose size wraps, after the
// descriptor's other tests and before their table parameters.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvex.h"
#include "wrapped_descriptor.h"

namespace orvex::testing {
namespace {

TEST(ToneWrappedDescriptor, HueSatMapRejects) {
    SmallBuffer image;
    const std::vector<float> table(3 * 4, 1.0f);
    orvex_image i = image.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_apply_hue_sat_map(&i, table.data(), 2, 2, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_apply_hue_sat_map(&i, table.data(), 0, 2, 0), ORVEX_ERR_INVALID_ARGUMENT);
    i.reserved = 1;
    EXPECT_EQ(orvex_apply_hue_sat_map(&i, table.data(), 2, 2, 0), ORVEX_ERR_INVALID_ARGUMENT);
    i.dtype = ORVEX_DTYPE_UINT16;
    EXPECT_EQ(orvex_apply_hue_sat_map(&i, table.data(), 2, 2, 0), ORVEX_ERR_UNSUPPORTED);
    EXPECT_TRUE(image.untouched());
}

TEST(ToneWrappedDescriptor, ExposureRampRejects) {
    SmallBuffer src, dst;
    const orvex_image s = src.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    const orvex_image d = dst.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_apply_exposure_ramp(&s, &d, 1.0, 0.0, 0.0, false), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

TEST(ToneWrappedDescriptor, ProfileGainTableRejectsBeforeAllocating) {
    SmallBuffer image;
    const std::vector<float> table(4, 1.0f);
    const float weights[5] = {1, 0, 0, 0, 0};
    orvex_image i = image.describe(4, kWrapsTimesFour, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_apply_profile_gain_table_map(&i, table.data(), 2, 2, 1, 1, 0, 0, 1, weights, 1, 1),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_apply_profile_gain_table_map(&i, table.data(), 0, 2, 1, 1, 0, 0, 1, weights, 1, 1),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(image.untouched());
}

TEST(ToneWrappedDescriptor, MonoTableRejectsBeforeTheFullScaleTests) {
    SmallBuffer src, dst;
    const float lut[2] = {0.0f, 1.0f};
    const orvex_image s = src.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_UINT16);
    const orvex_image d = dst.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_mono_lut(&s, &d, lut, 2, 0, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_mono_lut(&s, &d, lut, 2, 32, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

}  // namespace
}  // namespace orvex::testing
