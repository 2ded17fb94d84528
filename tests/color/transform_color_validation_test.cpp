// Validation and selection of orvex_transform_color: which test decides the
// status when several fail, and that a rejected call writes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "color/transform_call.h"
#include "image_util.h"

namespace {

// While set, the next allocation of at least this many bytes fails. Only the
// allocation test below sets it.
thread_local size_t fail_allocation_from = 0;

}  // namespace

void* operator new(size_t size) {
    if (fail_allocation_from != 0 && size >= fail_allocation_from) {
        fail_allocation_from = 0;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The pair of the replacement above, which allocates with malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace orvex::testing {
namespace {

constexpr uint8_t kUntouched = 0xAB;

class TransformValidation : public ::testing::Test {
protected:
    std::vector<float> src_samples = std::vector<float>(2 * 3 * 3, 0.5f);
    std::vector<uint8_t> dst_samples = std::vector<uint8_t>(2 * 3 * 3, kUntouched);
    orvex_image src = describe(src_samples, 2, 3, 3);
    orvex_image dst = describe(dst_samples, 2, 3, 3);
    std::vector<float> curve = {0.0f, 0.5f, 1.0f};

    // The status of the call; the destination must be untouched unless OK.
    orvex_status call(const orvex_image* s, const orvex_image* d, const float* input, uint64_t input_len,
                      const float* matrix, const float* output, uint64_t output_len, bool preserve_hue = false) {
        const orvex_status status =
            orvex_transform_color(s, d, input, input_len, matrix, output, output_len, 0, 0, preserve_hue);
        if (status != ORVEX_OK) {
            EXPECT_EQ(dst_samples, std::vector<uint8_t>(dst_samples.size(), kUntouched));
        }
        return status;
    }
    orvex_status call_matrix(const orvex_image& s, const orvex_image& d, bool preserve_hue = false) {
        return call(&s, &d, preserve_hue ? curve.data() : nullptr, preserve_hue ? 3 : 0, kIdentity, nullptr, 0,
                    preserve_hue);
    }
};

TEST_F(TransformValidation, DescriptorTestsComeFirstAndAllGiveInvalidArgument) {
    // Each broken descriptor also has an unknown sample type, which alone
    // would give ORVEX_ERR_UNSUPPORTED: the descriptor tests decide first.
    orvex_image bad = src;
    bad.dtype = 2;
    EXPECT_EQ(call(nullptr, &dst, nullptr, 0, kIdentity, nullptr, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(&bad, nullptr, nullptr, 0, kIdentity, nullptr, 0), ORVEX_ERR_INVALID_ARGUMENT);

    orvex_image no_data = bad;
    no_data.data = nullptr;
    EXPECT_EQ(call_matrix(no_data, dst), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image reserved = bad;
    reserved.reserved = 1;
    EXPECT_EQ(call_matrix(reserved, dst), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image taller = bad;
    taller.height = 1;
    EXPECT_EQ(call_matrix(taller, dst), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image wider = bad;
    wider.width = 2;
    EXPECT_EQ(call_matrix(wider, dst), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image four_channels = bad;
    four_channels.channels = 4;
    EXPECT_EQ(call_matrix(four_channels, dst), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image dst_one_channel = dst;
    dst_one_channel.channels = 1;
    EXPECT_EQ(call_matrix(bad, dst_one_channel), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(&bad, &dst, nullptr, 0, nullptr, nullptr, 0), ORVEX_ERR_INVALID_ARGUMENT);
    // Lengths given with null curves are not looked at.
    EXPECT_EQ(call(&bad, &dst, nullptr, 0, nullptr, nullptr, 7), ORVEX_ERR_INVALID_ARGUMENT);
}

TEST_F(TransformValidation, CurveLengthsMustBeUsable) {
    orvex_image bad = src;
    bad.dtype = 2;
    // A given curve of length 0 has no entry to repeat: rejected, before the
    // type tests, even where the stage set would ignore it.
    EXPECT_EQ(call(&bad, &dst, curve.data(), 0, kIdentity, nullptr, 0), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(&src, &dst, curve.data(), 3, nullptr, curve.data(), 0), ORVEX_ERR_INVALID_ARGUMENT);
    // Longer than 2^24 + 1 entries, or beyond 32 bits: the top position would
    // not be exact, or the length not what the caller meant.
    EXPECT_EQ(call(&src, &dst, curve.data(), (uint64_t{1} << 24) + 2, kIdentity, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(&src, &dst, nullptr, 0, kIdentity, curve.data(), (uint64_t{1} << 32) + 3),
              ORVEX_ERR_INVALID_ARGUMENT);
    // A null curve with a length is simply absent.
    EXPECT_EQ(call(&src, &dst, nullptr, 5, kIdentity, nullptr, 9), ORVEX_OK);
}

TEST_F(TransformValidation, LongestCurveReachesItsLastEntry) {
    std::vector<float> longest((size_t{1} << 24) + 1, 0.25f);
    longest.back() = 0.75f;
    std::vector<float> out(3);
    orvex_image f32_dst = describe(out, 1, 1, 3);
    std::vector<float> one_pixel = {1.0f, 2.0f, 0.0f};
    orvex_image pixel = describe(one_pixel, 1, 1, 3);
    EXPECT_EQ(
        orvex_transform_color(&pixel, &f32_dst, longest.data(), longest.size(), nullptr, nullptr, 0, 0, 0, false),
        ORVEX_OK);
    EXPECT_EQ(out, (std::vector<float>{0.75f, 0.75f, 0.25f}));
}

TEST_F(TransformValidation, ImpossibleImageSizeIsRejected) {
    orvex_image huge_src = src, huge_dst = dst;
    huge_src.height = huge_dst.height = uint64_t{1} << 62;
    huge_src.width = huge_dst.width = 4;
    EXPECT_EQ(call_matrix(huge_src, huge_dst), ORVEX_ERR_INVALID_ARGUMENT);
    huge_src.height = huge_dst.height = uint64_t{1} << 40;
    huge_src.width = huge_dst.width = uint64_t{1} << 40;
    EXPECT_EQ(call_matrix(huge_src, huge_dst), ORVEX_ERR_INVALID_ARGUMENT);
}

TEST_F(TransformValidation, TypesWithoutHueFlag) {
    orvex_image unknown_src = src, unknown_dst = dst;
    unknown_src.dtype = 2;
    unknown_dst.dtype = 7;
    EXPECT_EQ(call_matrix(unknown_src, dst), ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(call_matrix(src, unknown_dst), ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(call(&src, &unknown_dst, curve.data(), 3, nullptr, nullptr, 0), ORVEX_ERR_UNSUPPORTED);
    // Types are tested even when there are no pixels.
    unknown_src.height = 0;
    orvex_image empty_dst = dst;
    empty_dst.height = 0;
    EXPECT_EQ(call_matrix(unknown_src, empty_dst), ORVEX_ERR_UNSUPPORTED);
}

TEST_F(TransformValidation, TypesWithHueFlag) {
    std::vector<uint8_t> u8_samples(src_samples.size());
    std::vector<uint16_t> u16_samples(src_samples.size());
    orvex_image unknown_src = src;
    unknown_src.dtype = 2;
    // Integer or unknown sources, and a missing input curve, are invalid
    // arguments here, not unsupported types.
    EXPECT_EQ(call_matrix(describe(u8_samples, 2, 3, 3), dst, true), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call_matrix(describe(u16_samples, 2, 3, 3), dst, true), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call_matrix(unknown_src, dst, true), ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(call(&src, &dst, nullptr, 0, kIdentity, curve.data(), 3, true), ORVEX_ERR_INVALID_ARGUMENT);
    // Without a matrix the destination must be float.
    EXPECT_EQ(call(&src, &dst, curve.data(), 3, nullptr, nullptr, 0, true), ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image unknown_dst = dst;
    unknown_dst.dtype = 2;
    EXPECT_EQ(call(&src, &unknown_dst, curve.data(), 3, nullptr, curve.data(), 3, true),
              ORVEX_ERR_INVALID_ARGUMENT);
    // With a matrix an unknown destination type has no sample size to write.
    EXPECT_EQ(call_matrix(src, unknown_dst, true), ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(call_matrix(src, dst, true), ORVEX_OK);
}

// A bit depth that is a positive multiple of 32 gives an integer image a full
// scale of 0; such a call is unsupported, as in the conversion and the
// monochrome table. Float images ignore their bit depth.
TEST_F(TransformValidation, IntegerImageWithoutFullScaleIsUnsupported) {
    std::vector<uint16_t> u16_samples(src_samples.size(), 1000);
    const orvex_image u16_src = describe(u16_samples, 2, 3, 3);
    std::vector<float> f32_out(dst_samples.size(), 7.0f);
    orvex_image f32_dst = describe(f32_out, 2, 3, 3);
    EXPECT_EQ(orvex_transform_color(&u16_src, &f32_dst, nullptr, 0, kIdentity, nullptr, 0, 32, 0, false),
              ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(orvex_transform_color(&u16_src, &f32_dst, nullptr, 0, kIdentity, nullptr, 0, 64, 0, false),
              ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(f32_out, std::vector<float>(f32_out.size(), 7.0f));
    for (int32_t bits : {32, 96}) {
        EXPECT_EQ(orvex_transform_color(&src, &dst, nullptr, 0, kIdentity, nullptr, 0, 0, bits, false),
                  ORVEX_ERR_UNSUPPORTED);
        EXPECT_EQ(orvex_transform_color(&src, &dst, curve.data(), 3, kIdentity, nullptr, 0, 0, bits, true),
                  ORVEX_ERR_UNSUPPORTED);
    }
    EXPECT_EQ(dst_samples, std::vector<uint8_t>(dst_samples.size(), kUntouched));
    // The descriptor tests come first; the full scale before the types.
    EXPECT_EQ(orvex_transform_color(&u16_src, &f32_dst, nullptr, 0, nullptr, nullptr, 0, 32, 0, false),
              ORVEX_ERR_INVALID_ARGUMENT);
    orvex_image unknown_dst = dst;
    unknown_dst.dtype = 2;
    EXPECT_EQ(orvex_transform_color(&u16_src, &unknown_dst, nullptr, 0, kIdentity, nullptr, 0, 32, 0, false),
              ORVEX_ERR_UNSUPPORTED);
    EXPECT_EQ(orvex_transform_color(&u16_src, &dst, nullptr, 0, kIdentity, nullptr, 0, 32, 0, true),
              ORVEX_ERR_UNSUPPORTED);
    // 33 bits is 2^1 - 1 = 1, and float images ignore 32.
    EXPECT_EQ(orvex_transform_color(&u16_src, &f32_dst, nullptr, 0, kIdentity, nullptr, 0, 33, 0, false), ORVEX_OK);
    EXPECT_EQ(orvex_transform_color(&src, &f32_dst, nullptr, 0, kIdentity, nullptr, 0, 32, 32, false), ORVEX_OK);
}

TEST_F(TransformValidation, EmptyImageWritesNothing) {
    orvex_image empty_src = src, empty_dst = dst;
    empty_src.height = empty_dst.height = 0;
    EXPECT_EQ(call_matrix(empty_src, empty_dst), ORVEX_OK);
    empty_src = src, empty_dst = dst;
    empty_src.width = empty_dst.width = 0;
    EXPECT_EQ(call(&empty_src, &empty_dst, curve.data(), 3, nullptr, nullptr, 0), ORVEX_OK);
    EXPECT_EQ(dst_samples, std::vector<uint8_t>(dst_samples.size(), kUntouched));
}

TEST_F(TransformValidation, FailedCurveCopyIsAnInvalidArgumentAndWritesNothing) {
    std::vector<float> long_curve(100000, 0.5f);
    fail_allocation_from = long_curve.size() * sizeof(float);
    EXPECT_EQ(call(&src, &dst, long_curve.data(), long_curve.size(), kIdentity, nullptr, 0),
              ORVEX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(fail_allocation_from, 0u);
    EXPECT_EQ(call(&src, &dst, long_curve.data(), long_curve.size(), kIdentity, nullptr, 0), ORVEX_OK);
}

}  // namespace
}  // namespace orvex::testing
