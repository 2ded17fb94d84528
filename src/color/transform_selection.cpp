#include "color/transform_selection.h"

#include "frame/image.h"
#include "orvex.h"

namespace orvex {
namespace {

void use_curves(const TransformInputs& in, bool input, bool output, TransformPlan& plan) {
    if (input) {
        plan.curve1 = in.input_curve;
        plan.len1 = in.input_curve_len;
    }
    if (output) {
        plan.curve2 = in.output_curve;
        plan.len2 = in.output_curve_len;
    }
}

// Without the hue flag: any pair of the three sample types; the stage set
// follows from which of input curve, matrix and output curve are given.
orvex_status plan_per_channel(const TransformInputs& in, TransformPlan& plan) {
    if (!is_known_dtype(in.src_dtype) || !is_known_dtype(in.dst_dtype)) return ORVEX_ERR_UNSUPPORTED;
    const bool has_input = in.input_curve != nullptr;
    const bool has_output = in.output_curve != nullptr;
    StageSet stages;
    if (in.matrix != nullptr) {
        if (has_input)
            stages = has_output ? StageSet::input_matrix_output : StageSet::input_matrix;
        else
            stages = has_output ? StageSet::matrix_output : StageSet::matrix;
        use_curves(in, has_input, has_output, plan);
    } else {
        // One curve: the input curve if given (the output curve is then
        // ignored), else the output curve.
        stages = StageSet::single_curve;
        plan.curve1 = has_input ? in.input_curve : in.output_curve;
        plan.len1 = has_input ? in.input_curve_len : in.output_curve_len;
    }
    // An 8-bit source reads a 256-entry first curve at the sample value.
    const bool direct = in.src_dtype == ORVEX_DTYPE_UINT8 && plan.curve1 != nullptr && plan.len1 == 256;
    plan.key = {in.src_dtype, in.dst_dtype, stages, direct};
    return ORVEX_OK;
}

// With the hue flag: float sources and an input curve are required; without
// a matrix the result is float, with one any of the three types.
orvex_status plan_hue_preserving(const TransformInputs& in, TransformPlan& plan) {
    if (in.src_dtype != ORVEX_DTYPE_FLOAT32 || in.input_curve == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    StageSet stages = StageSet::hue;
    if (in.matrix == nullptr) {
        if (in.dst_dtype != ORVEX_DTYPE_FLOAT32) return ORVEX_ERR_INVALID_ARGUMENT;
        use_curves(in, true, false, plan);
    } else {
        // A destination of unknown type has no known sample size to write.
        if (!is_known_dtype(in.dst_dtype)) return ORVEX_ERR_UNSUPPORTED;
        const bool has_output = in.output_curve != nullptr;
        stages = has_output ? StageSet::hue_matrix_output : StageSet::hue_matrix;
        use_curves(in, true, has_output, plan);
    }
    plan.key = {in.src_dtype, in.dst_dtype, stages, false};
    return ORVEX_OK;
}

}  // namespace

orvex_status plan_transform(const TransformInputs& in, TransformPlan& plan) {
    return in.preserve_hue ? plan_hue_preserving(in, plan) : plan_per_channel(in, plan);
}

}  // namespace orvex
