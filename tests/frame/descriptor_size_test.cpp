// The shared size check: a descriptor is usable only when the buffer it
// promises could exist; conversions reject the others before any sample.
#include <gtest/gtest.h>

#include <cstdint>

#include "frame/image.h"
#include "orvex.h"
#include "wrapped_descriptor.h"

namespace orvex::testing {
namespace {

orvex_image shape(uint64_t height, uint64_t width, uint64_t channels, uint32_t dtype) {
    orvex_image image{};
    image.height = height;
    image.width = width;
    image.channels = channels;
    image.dtype = dtype;
    return image;
}

TEST(DescriptorSize, LargestObjectIsTheLimit) {
    constexpr uint64_t kMax = static_cast<uint64_t>(PTRDIFF_MAX);
    EXPECT_TRUE(size_is_addressable(shape(kMax, 1, 1, ORVEX_DTYPE_UINT8)));
    EXPECT_FALSE(size_is_addressable(shape(kMax + 1, 1, 1, ORVEX_DTYPE_UINT8)));
    // The sample size counts: 2^61 floats are 2^63 bytes.
    EXPECT_FALSE(size_is_addressable(shape(uint64_t{1} << 60, 1, 2, ORVEX_DTYPE_FLOAT32)));
    EXPECT_TRUE(size_is_addressable(shape((uint64_t{1} << 61) - 1, 1, 1, ORVEX_DTYPE_FLOAT32)));
    EXPECT_FALSE(size_is_addressable(shape(uint64_t{1} << 61, 1, 1, ORVEX_DTYPE_FLOAT32)));
    EXPECT_TRUE(size_is_addressable(shape((uint64_t{1} << 62) - 1, 1, 1, ORVEX_DTYPE_UINT16)));
    EXPECT_FALSE(size_is_addressable(shape(uint64_t{1} << 62, 1, 1, ORVEX_DTYPE_UINT16)));
    // Codes no operation accepts count one byte, so their type test decides.
    EXPECT_TRUE(size_is_addressable(shape(kMax, 1, 1, 2)));
}

TEST(DescriptorSize, WrappingProductsAreCaughtAtEveryFactor) {
    EXPECT_FALSE(size_is_addressable(shape(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32)));
    EXPECT_FALSE(size_is_addressable(shape(kWrapsToZero, kWrapsToZero, 3, ORVEX_DTYPE_FLOAT32)));
    EXPECT_FALSE(size_is_addressable(shape(1, kWrapsToZero, kWrapsToZero, ORVEX_DTYPE_UINT8)));
    EXPECT_FALSE(size_is_addressable(shape(kWrapsTimesFour, 4, 1, ORVEX_DTYPE_UINT8)));
    // 2^62 samples fit in 64 bits, but not as 4-byte floats.
    EXPECT_FALSE(size_is_addressable(shape(uint64_t{1} << 31, uint64_t{1} << 31, 1, ORVEX_DTYPE_FLOAT32)));
}

TEST(DescriptorSize, AnEmptyDimensionMakesAnyOtherHarmless) {
    EXPECT_TRUE(size_is_addressable(shape(0, UINT64_MAX, UINT64_MAX, ORVEX_DTYPE_FLOAT32)));
    EXPECT_TRUE(size_is_addressable(shape(UINT64_MAX, 0, UINT64_MAX, ORVEX_DTYPE_FLOAT32)));
    EXPECT_TRUE(size_is_addressable(shape(UINT64_MAX, UINT64_MAX, 0, ORVEX_DTYPE_FLOAT32)));
    // Images of 2^31 samples and more stay usable.
    EXPECT_TRUE(size_is_addressable(shape(uint64_t{1} << 16, uint64_t{1} << 16, 3, ORVEX_DTYPE_UINT16)));
}

TEST(DescriptorSize, ConversionRejectsAWrappedDescriptorBeforeAnySample) {
    SmallBuffer src, dst;
    // float to float, 2^32 + 1 squared: the sample count wraps to 2^33 + 1.
    orvex_image s = src.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    orvex_image d = dst.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 0, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);
    // Wrapped to 0 samples: not an empty image.
    s = src.describe(kWrapsToZero, kWrapsToZero, 1, ORVEX_DTYPE_UINT8);
    d = dst.describe(kWrapsToZero, kWrapsToZero, 1, ORVEX_DTYPE_UINT16);
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 0, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);
    // Only the destination's wider samples overflow.
    s = src.describe(uint64_t{1} << 62, 1, 1, ORVEX_DTYPE_UINT8);
    d = dst.describe(uint64_t{1} << 62, 1, 1, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 0, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_TRUE(src.untouched());
    EXPECT_TRUE(dst.untouched());
}

TEST(DescriptorSize, ConversionTestsSizeAfterShapeAndBeforeTypes) {
    SmallBuffer src, dst;
    orvex_image s = src.describe(kWrapsSquared, kWrapsSquared, 1, ORVEX_DTYPE_FLOAT32);
    orvex_image d = dst.describe(kWrapsSquared, kWrapsSquared, 2, ORVEX_DTYPE_FLOAT32);
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 0, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);  // channels differ
    d.channels = 1;
    d.dtype = ORVEX_DTYPE_UINT8;
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 32, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);  // before the full scale
    s.reserved = 1;
    EXPECT_EQ(orvex_convert_dtype(&s, &d, 0, 0, -1.0f), ORVEX_ERR_INVALID_ARGUMENT);
    // An unknown type on a buffer that fits at one byte per sample keeps its
    // status.
    orvex_image unknown = src.describe(uint64_t{1} << 62, 1, 1, 2);
    orvex_image bytes = dst.describe(uint64_t{1} << 62, 1, 1, ORVEX_DTYPE_UINT8);
    EXPECT_EQ(orvex_convert_dtype(&unknown, &bytes, 0, 0, -1.0f), ORVEX_ERR_UNSUPPORTED);
    EXPECT_TRUE(dst.untouched());
}

}  // namespace
}  // namespace orvex::testing
