// Images of 2^31 samples and more are addressed with 64-bit positions and
// stay accepted by the size check. The buffer is a sparse mapping, so only
// the rows an area call touches take memory.
#include <gtest/gtest.h>

#include <cstdint>

#include "orvex.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

#if defined(__linux__)
// 2^16 + 2 rows of 2^15 one-channel floats: 2^31 + 2^16 samples, 8 GiB.
constexpr uint64_t kRows = (uint64_t{1} << 16) + 2;
constexpr uint64_t kColumns = uint64_t{1} << 15;
constexpr size_t kBytes = kRows * kColumns * sizeof(float);

class SparseImage : public ::testing::Test {
protected:
    void SetUp() override {
        void* p = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) GTEST_SKIP() << "no 8 GiB of address space";
        samples = static_cast<float*>(p);
        image.data = samples;
        image.height = kRows;
        image.width = kColumns;
        image.channels = 1;
        image.dtype = ORVEX_DTYPE_FLOAT32;
    }
    void TearDown() override {
        if (samples != nullptr) munmap(samples, kBytes);
    }
    float* last_row() const { return samples + (kRows - 1) * kColumns; }

    float* samples = nullptr;
    orvex_image image{};
};

TEST_F(SparseImage, PolynomialMapReachesTheLastRow) {
    last_row()[1] = 0.25f;
    const float doubling[2] = {0.0f, 2.0f};
    const int32_t last = static_cast<int32_t>(kRows - 1);
    ASSERT_EQ(orvex_map_polynomial(&image, last, 1, last + 1, 2, 0, 1, 1, 1, doubling, 1), ORVEX_OK);
    EXPECT_EQ(last_row()[1], 0.5f);
    // The row that a 32-bit position would have wrapped to is untouched.
    EXPECT_EQ(samples[(kRows - 1) * kColumns - (uint64_t{1} << 31) + 1], 0.0f);
}

TEST_F(SparseImage, MosaicGainMapReachesTheLastRow) {
    last_row()[0] = 0.25f;
    const float gains[4] = {2.0f, 2.0f, 2.0f, 2.0f};
    const int32_t last = static_cast<int32_t>(kRows - 1);
    ASSERT_EQ(orvex_apply_gain_map_cfa(&image, gains, 2, 2, 1, last, 0, last + 1, 1, 1, 1, 1.0, 1.0, 0.0, 0.0),
              ORVEX_OK);
    EXPECT_EQ(last_row()[0], 0.5f);
}
#endif

}  // namespace
