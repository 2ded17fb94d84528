// Normalisation and demosaicing reject descriptors whose size wraps, on the
// fast and the general rule alike, before touching a sample.
#include <gtest/gtest.h>

#include <cstdint>

#include "orvex.h"
#include "wrapped_descriptor.h"

namespace orvex::testing {
namespace {

TEST(RawWrappedDescriptor, NormalisationRejectsOnEveryRule) {
    SmallBuffer src, dst;
    const orvex_image s = src.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_UINT16);
    const orvex_image d = dst.describe(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_FLOAT32);
    const float black = 0.0f, white = 1.0f, delta = 0.0f;
    // Fast case (one black level).
    EXPECT_EQ(orvex_normalize_raw(&s, &d, &black, 1, 1, 1, &white, 1, nullptr, 0, nullptr, 0, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    // General rule (a one-value vertical delta).
    EXPECT_EQ(orvex_normalize_raw(&s, &d, &black, 1, 1, 1, &white, 1, nullptr, 0, &delta, 1, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    // The size is tested after the channel count and before the pattern.
    EXPECT_EQ(orvex_normalize_raw(&s, &d, &black, 0, 1, 1, &white, 1, nullptr, 0, nullptr, 0, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(orvex_normalize_raw(&s, &d, &black, 1, 1, 2, &white, 1, nullptr, 0, nullptr, 0, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image bytes = s;
    bytes.dtype = ORVEX_DTYPE_UINT8;
    EXPECT_EQ(orvex_normalize_raw(&bytes, &d, &black, 1, 1, 1, &white, 1, nullptr, 0, nullptr, 0, nullptr, 0),
              ORVEX_ERR_UNSUPPORTED);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

TEST(RawWrappedDescriptor, DemosaicRejectsAfterTheShapeTest) {
    SmallBuffer src, dst;
    const uint32_t rggb[4] = {0, 1, 1, 2};
    orvex_image s = src.describe(kWrapsToZero, kWrapsToZero, 1, ORVEX_DTYPE_FLOAT32);
    orvex_image d = dst.describe(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, rggb), ORVEX_ERR_INVALID_ARGUMENT);
    // Only the three-channel destination overflows: 2^61 pixels of 12 bytes.
    s = src.describe(uint64_t{1} << 30, uint64_t{1} << 31, 1, ORVEX_DTYPE_FLOAT32);
    d = dst.describe(uint64_t{1} << 30, uint64_t{1} << 31, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, rggb), ORVEX_ERR_INVALID_ARGUMENT);
    d.width = 1;
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, rggb), ORVEX_ERR_SHAPE_MISMATCH);
    // 2^64 - 1 rows of no columns return at once, after the pattern test.
    s = src.describe(UINT64_MAX, 0, 1, ORVEX_DTYPE_FLOAT32);
    d = dst.describe(UINT64_MAX, 0, 3, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, rggb), ORVEX_OK);
    const uint32_t bad_code[4] = {0, 1, 1, 3};
    EXPECT_EQ(orvex_bilinear_demosaic(&s, &d, bad_code), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

}  // namespace
}  // namespace orvex::testing
