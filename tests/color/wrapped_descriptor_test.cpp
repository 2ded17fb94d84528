// Both colour transforms reject descriptors whose size wraps instead of
// reporting success for pixels they never processed.
#include <gtest/gtest.h>

#include <cstdint>

#include "orvex.h"
#include "wrapped_descriptor.h"

namespace orvex::testing {
namespace {

constexpr float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST(ColorWrappedDescriptor, ClippingTransformRejects) {
    SmallBuffer src, dst;
    const float limits[3] = {1.0f, 1.0f, 1.0f};
    const orvex_image s = src.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    orvex_image d = dst.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_clip_and_transform_color(&s, &d, limits, kIdentity), ORVEX_ERR_INVALID_ARGUMENT);
    d.channels = 1;
    EXPECT_EQ(orvex_clip_and_transform_color(&s, &d, limits, kIdentity), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

TEST(ColorWrappedDescriptor, TransformRejectsBeforeTheStageTests) {
    SmallBuffer src, dst;
    const orvex_image s = src.describe(kWrapsSquared, kWrapsSquared, 3, ORVEX_DTYPE_UINT16);
    const orvex_image d = dst.describe(kWrapsSquared, kWrapsSquared, 3, ORVEX_DTYPE_UINT8);
    EXPECT_EQ(orvex_transform_color(&s, &d, nullptr, 0, kIdentity, nullptr, 0, 0, 0, false),
              ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image unknown = d;
    unknown.dtype = 2;
    EXPECT_EQ(orvex_transform_color(&s, &unknown, nullptr, 0, kIdentity, nullptr, 0, 0, 0, false),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

}  // namespace
}  // namespace orvex::testing
