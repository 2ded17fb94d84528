// Shorthand for orvex_transform_color calls in tests: unnamed parameters are
// absent (null curves and matrix, default bit depths, no hue flag).
#pragma once

#include <cstdint>
#include <vector>

#include "orvex.h"

namespace orvex::testing {

struct TransformParams {
    const std::vector<float>* input = nullptr;
    const float* matrix = nullptr;
    const std::vector<float>* output = nullptr;
    int32_t src_bits = 0;
    int32_t dst_bits = 0;
    bool preserve_hue = false;
};

inline orvex_status transform(const orvex_image& src, const orvex_image& dst, const TransformParams& p) {
    return orvex_transform_color(&src, &dst, p.input ? p.input->data() : nullptr, p.input ? p.input->size() : 0,
                                 p.matrix, p.output ? p.output->data() : nullptr, p.output ? p.output->size() : 0,
                                 p.src_bits, p.dst_bits, p.preserve_hue);
}

inline constexpr float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

}  // namespace orvex::testing
