// The shipped library loaded as a real shared library / DLL: every export it
// has resolves by name, rejects null descriptors without crashing, and
// computes through the loaded copy.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "loaded_library.h"
#include "orvex.h"
#include "orvex_version.h"

namespace orvex::testing {
namespace {

std::string g_library_path;

const LoadedLibrary& library() {
    static const LoadedLibrary loaded(g_library_path);
    return loaded;
}

// Calls export `name` with null descriptors and arrays and zero scalars.
#define ORVEX_NULL_CALL(name, ...)                                                         \
    {                                                                                      \
#name, [](void* fn) { return reinterpret_cast<decltype(&name)>(fn)(__VA_ARGS__); } \
    }

struct NullCall {
    const char* name;
    std::function<orvex_status(void*)> call;
};

const std::vector<NullCall>& null_calls() {
    static const std::vector<NullCall> calls = {
        ORVEX_NULL_CALL(orvex_convert_dtype, nullptr, nullptr, 0, 0, -1.0f),
        ORVEX_NULL_CALL(orvex_normalize_raw, nullptr, nullptr, nullptr, 1, 1, 1, nullptr, 1, nullptr, 0, nullptr, 0,
                        nullptr, 0),
        ORVEX_NULL_CALL(orvex_bilinear_demosaic, nullptr, nullptr, nullptr),
        ORVEX_NULL_CALL(orvex_transform_color, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0, 0, 0, false),
        ORVEX_NULL_CALL(orvex_clip_and_transform_color, nullptr, nullptr, nullptr, nullptr),
        ORVEX_NULL_CALL(orvex_apply_hue_sat_map, nullptr, nullptr, 1, 1, 0),
        ORVEX_NULL_CALL(orvex_apply_exposure_ramp, nullptr, nullptr, 1.0, 0.0, 0.0, false),
        ORVEX_NULL_CALL(orvex_apply_profile_gain_table_map, nullptr, nullptr, 1, 1, 1.0f, 1.0f, 0.0f, 0.0f, 1,
                        nullptr, 1.0f, 1.0f),
        ORVEX_NULL_CALL(orvex_mono_lut, nullptr, nullptr, nullptr, 2, 0, 0),
        ORVEX_NULL_CALL(orvex_apply_gain_map, nullptr, nullptr, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1.0, 1.0, 0.0,
                        0.0),
        ORVEX_NULL_CALL(orvex_apply_gain_map_cfa, nullptr, nullptr, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1.0, 1.0, 0.0, 0.0),
        ORVEX_NULL_CALL(orvex_apply_flat_gain_map, nullptr, nullptr, 2, 2),
        ORVEX_NULL_CALL(orvex_fix_vignette, nullptr, nullptr, 1, 0.5, 0.5),
        ORVEX_NULL_CALL(orvex_warp_rectilinear, nullptr, nullptr, nullptr, 1, 1, nullptr, 0.5, 0.5, false),
        ORVEX_NULL_CALL(orvex_map_polynomial, nullptr, 0, 0, 0, 0, 0, 1, 1, 1, nullptr, 0),
        ORVEX_NULL_CALL(orvex_fix_bad_pixels_constant, nullptr, nullptr, 0, 0),
    };
    return calls;
}

TEST(LoadedLibrary, OpensAndReportsItsVersion) {
    ASSERT_TRUE(library().loaded()) << g_library_path;
    auto version = library().function<decltype(&orvex_version)>("orvex_version");
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version(), ORVEX_VERSION_TEXT);
    EXPECT_EQ(version(), version());
}

TEST(LoadedLibrary, EveryExportRejectsNullDescriptors) {
    ASSERT_TRUE(library().loaded());
    for (const NullCall& call : null_calls()) {
        void* fn = library().symbol(call.name);
        ASSERT_NE(fn, nullptr) << call.name;
        EXPECT_EQ(call.call(fn), ORVEX_ERR_INVALID_ARGUMENT) << call.name;
    }
    if (void* vng = library().symbol("orvex_vng_demosaic")) {
        EXPECT_EQ(reinterpret_cast<decltype(&orvex_vng_demosaic)>(vng)(nullptr, nullptr, nullptr),
                  ORVEX_ERR_UNSUPPORTED);
    }
}

TEST(LoadedLibrary, ConvertsThroughTheLoadedCopy) {
    ASSERT_TRUE(library().loaded());
    auto convert = library().function<decltype(&orvex_convert_dtype)>("orvex_convert_dtype");
    ASSERT_NE(convert, nullptr);
    std::vector<float> src(21);
    const float pattern[] = {1.0f, 0.5f, 1.2f, -0.1f, std::nanf("")};
    const uint8_t expected[] = {255, 127, 50, 231, 0};
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = pattern[i % 5];
    std::vector<uint8_t> dst(src.size(), 9);
    const orvex_image s = {src.data(), 3, 7, 1, ORVEX_DTYPE_FLOAT32, 0, 0};
    const orvex_image d = {dst.data(), 3, 7, 1, ORVEX_DTYPE_UINT8, 0, 0};
    ASSERT_EQ(convert(&s, &d, 0, 0, -1.0f), ORVEX_OK);
    for (size_t i = 0; i < dst.size(); ++i)
        EXPECT_EQ(dst[i], expected[i % 5]) << i;
}

}  // namespace
}  // namespace orvex::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <path of the shared library>\n", argv[0]);
        return 2;
    }
    orvex::testing::g_library_path = argv[1];
    return RUN_ALL_TESTS();
}
