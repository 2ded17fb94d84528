#include "opcodes/normalising_radius.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(NormalisingRadius, LargestCornerDistanceButAtLeastOne) {
    EXPECT_EQ(orvex::normalising_radius(8, 6, 0.5, 0.5), 5.0);
    // Centre (2, 0): the far corner (8, 6) wins.
    EXPECT_EQ(orvex::normalising_radius(8, 6, 0.25, 0.0), std::sqrt(72.0));
    // Centre outside the image, (-8, 12): corner (8, 0).
    EXPECT_EQ(orvex::normalising_radius(8, 6, -1.0, 2.0), 20.0);
    EXPECT_EQ(orvex::normalising_radius(1, 1, 0.5, 0.5), 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(orvex::normalising_radius(8, 6, nan, 0.5), 1.0);
    EXPECT_EQ(orvex::normalising_radius(8, 6, 0.5, nan), 1.0);
}

}  // namespace
