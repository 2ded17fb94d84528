// The golden corpus: fixed, seeded calls that reach every export and every
// kernel, each reduced to one 64-bit hash of its statuses and output bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orvex.h"

namespace orvex::testing {

#define ORVEX_GOLDEN_EXPORTS(X)                                                                                   \
    X(version)                                                                                                    \
    X(convert_dtype)                                                                                              \
    X(normalize_raw) X(bilinear_demosaic) X(vng_demosaic) X(transform_color) X(clip_and_transform_color)          \
        X(apply_hue_sat_map) X(apply_exposure_ramp) X(apply_profile_gain_table_map) X(mono_lut) X(apply_gain_map) \
            X(apply_gain_map_cfa) X(apply_flat_gain_map) X(fix_vignette) X(warp_rectilinear) X(map_polynomial)    \
                X(fix_bad_pixels_constant)

// The 18 exports, linked in or looked up in a loaded library.
struct Api {
#define ORVEX_GOLDEN_MEMBER(name) decltype(&orvex_##name) name = nullptr;
    ORVEX_GOLDEN_EXPORTS(ORVEX_GOLDEN_MEMBER)
#undef ORVEX_GOLDEN_MEMBER
};

Api linked_api();

struct GoldenCase {
    std::string name;
    std::function<uint64_t(const Api&)> run;
};

const std::vector<GoldenCase>& golden_cases();

}  // namespace orvex::testing
