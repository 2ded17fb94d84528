// Chooses the stage set and the kernel member of a colour transform call from
// the curves and matrix given, the sample types and the hue flag.
#pragma once

#include <cstdint>

#include "color/transform_kernels.h"
#include "orvex.h"

namespace orvex {

struct TransformInputs {
    uint32_t src_dtype;
    uint32_t dst_dtype;
    const float* input_curve;
    uint64_t input_curve_len;
    const float* matrix;
    const float* output_curve;
    uint64_t output_curve_len;
    bool preserve_hue;
};

// The member to run and the caller's curves it reads: curve1 is the input
// curve (or the one curve of single_curve), curve2 the output curve. A curve
// that the stage set ignores is null here.
struct TransformPlan {
    KernelKey key{};
    const float* curve1 = nullptr;
    uint64_t len1 = 0;
    const float* curve2 = nullptr;
    uint64_t len2 = 0;
};

// ORVEX_OK with `plan` filled, or the status of the first failing test.
// Expects at least one of the curves and the matrix.
orvex_status plan_transform(const TransformInputs& in, TransformPlan& plan);

}  // namespace orvex
