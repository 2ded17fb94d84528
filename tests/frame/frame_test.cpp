#include <gtest/gtest.h>

#include <cmath>

#include "frame/isa.h"
#include "frame/nominal_max.h"
#include "orvex.h"
#include "orvex_version.h"

extern "C" size_t orvex_test_image_size_from_c(void);
extern "C" size_t orvex_test_bool_size_from_c(void);
extern "C" size_t orvex_test_reserved_offset_from_c(void);

namespace orvex {
namespace {

TEST(Header, LayoutIsTheSameFromCAndCxx) {
    EXPECT_EQ(orvex_test_image_size_from_c(), 48u);
    EXPECT_EQ(orvex_test_bool_size_from_c(), 1u);
    EXPECT_EQ(orvex_test_reserved_offset_from_c(), 40u);
    EXPECT_EQ(sizeof(orvex_image), 48u);
    EXPECT_EQ(sizeof(bool), 1u);
}

TEST(Version, IsConstantTextAtAStableAddress) {
    const char* first = orvex_version();
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, ORVEX_VERSION_TEXT);
    EXPECT_EQ(orvex_version(), first);
}

TEST(NominalMax, FollowsTypeAndBitDepth) {
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 12), 4095.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 0), 65535.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, -5), 65535.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT8, 0), 255.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT8, 12), 4095.0f);  // not compared with the type's width
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 16), 65535.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 31), 2147483648.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 32), 0.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_UINT16, 33), 1.0f);  // bits taken modulo 32
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_FLOAT32, 7), 1.0f);
    EXPECT_EQ(nominal_max(ORVEX_DTYPE_FLOAT32, 32), 1.0f);
    EXPECT_EQ(nominal_max(2, 0), 0.0f);
    EXPECT_EQ(nominal_max(2, 8), 255.0f);
    EXPECT_EQ(nominal_max(99, -1), 0.0f);
}

TEST(Isa, BaselineIsAlwaysAvailableAndForcingIsChecked) {
    const Isa previous = active_isa();
    EXPECT_TRUE(isa_supported(Isa::baseline));
    EXPECT_TRUE(force_isa(Isa::baseline));
    EXPECT_EQ(active_isa(), Isa::baseline);
    EXPECT_EQ((KernelBuilds<int>{{1, 2, 3}}.active()), 1);
    for (Isa isa : kAllIsas) {
        EXPECT_EQ(force_isa(isa), isa_supported(isa));
        if (isa_supported(isa)) {
            EXPECT_EQ(active_isa(), isa);
            EXPECT_EQ((KernelBuilds<int>{{1, 2, 3}}.active()), static_cast<int>(isa) + 1);
        }
    }
    EXPECT_TRUE(force_isa(previous));
}

}  // namespace
}  // namespace orvex
