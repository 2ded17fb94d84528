// orvex_transform_color: input curve, 3 x 3 matrix and output curve (or the
// hue-preserving curve) from one three-channel image into another, with
// sample type conversion on the way.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "color/transform_kernels.h"
#include "color/transform_selection.h"
#include "frame/guard.h"
#include "frame/image.h"
#include "frame/kernel_table.h"
#include "frame/nominal_max.h"
#include "orvex.h"

namespace orvex {
namespace {

// Longest curve accepted. Its top position N = len - 1 is then exact as a
// float, so a position clamped to N never rounds past the padded copy.
constexpr uint64_t kMaxCurveLength = (uint64_t{1} << 24) + 1;

// A given curve needs an entry to repeat at its end and an exact top.
bool curve_length_ok(const float* curve, uint64_t len) {
    return curve == nullptr || (len >= 1 && len <= kMaxCurveLength);
}

// All height x width pixels; false when the samples they imply could not be
// addressed.
bool pixel_count(const orvex_image& image, size_t& pixels) {
    uint64_t n = 0;
    if (__builtin_mul_overflow(image.height, image.width, &n) || n > SIZE_MAX / (3 * sizeof(float))) return false;
    pixels = static_cast<size_t>(n);
    return true;
}

// The padded copy of a curve (its len entries and a repeat of the last) laid
// out as the kernels read it: pair i holds entries i and i + 1, for i up to
// len - 1. The kernels read nothing else of the caller's curves.
std::vector<float> curve_pairs(const float* curve, uint64_t len) {
    if (curve == nullptr) return {};
    std::vector<float> pairs(2 * len);
    for (uint64_t i = 0; i + 1 < len; ++i) {
        pairs[2 * i] = curve[i];
        pairs[2 * i + 1] = curve[i + 1];
    }
    pairs[2 * len - 2] = pairs[2 * len - 1] = curve[len - 1];
    return pairs;
}

// An integer source with an interpolated first curve reads it from a table
// of every sample value once the image has at least as many samples.
bool worth_a_source_table(const TransformPlan& plan, size_t pixels) {
    const bool interpolated_first = reads_curve_first(plan.key.stages) && !plan.key.direct;
    const uint32_t type = plan.key.src_dtype;
    if (!interpolated_first || (type != ORVEX_DTYPE_UINT8 && type != ORVEX_DTYPE_UINT16)) return false;
    return 3 * pixels >= source_table_size(type == ORVEX_DTYPE_UINT8);
}

// An integer image whose bit depth is a positive multiple of 32 has a full
// scale of 0: no value could be scaled to or from it. (Unknown types are left
// to the selection step.)
bool integer_without_range(uint32_t dtype, float full_scale) {
    return (dtype == ORVEX_DTYPE_UINT8 || dtype == ORVEX_DTYPE_UINT16) && full_scale == 0.0f;
}

orvex_status validate(const orvex_image* src, const orvex_image* dst, const float* input_curve,
                      uint64_t input_curve_len, const float* matrix, const float* output_curve,
                      uint64_t output_curve_len) {
    if (src == nullptr || dst == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->data == nullptr || dst->data == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->reserved != 0 || dst->reserved != 0) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!same_height_width(*src, *dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (src->channels != 3 || dst->channels != 3) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!size_is_addressable(*src) || !size_is_addressable(*dst)) return ORVEX_ERR_INVALID_ARGUMENT;
    if (input_curve == nullptr && matrix == nullptr && output_curve == nullptr) return ORVEX_ERR_INVALID_ARGUMENT;
    if (!curve_length_ok(input_curve, input_curve_len) || !curve_length_ok(output_curve, output_curve_len))
        return ORVEX_ERR_INVALID_ARGUMENT;
    return ORVEX_OK;
}

}  // namespace
}  // namespace orvex

extern "C" ORVEX_API orvex_status orvex_transform_color(const orvex_image* src, const orvex_image* dst,
                                                        const float* input_curve, uint64_t input_curve_len,
                                                        const float* matrix, const float* output_curve,
                                                        uint64_t output_curve_len, int32_t src_bits,
                                                        int32_t dst_bits, bool preserve_hue) {
    using namespace orvex;
    orvex_status status = validate(src, dst, input_curve, input_curve_len, matrix, output_curve, output_curve_len);
    if (status != ORVEX_OK) return status;
    size_t pixels = 0;
    if (!pixel_count(*src, pixels)) return ORVEX_ERR_INVALID_ARGUMENT;
    const float in_max = nominal_max(src->dtype, src_bits);
    const float out_max = nominal_max(dst->dtype, dst_bits);
    if (integer_without_range(src->dtype, in_max) || integer_without_range(dst->dtype, out_max))
        return ORVEX_ERR_UNSUPPORTED;

    const TransformInputs inputs{src->dtype, dst->dtype,   input_curve,      input_curve_len,
                                 matrix,     output_curve, output_curve_len, preserve_hue};
    TransformPlan plan;
    status = plan_transform(inputs, plan);
    if (status != ORVEX_OK) return status;
    const TransformKernel kernel = kernel_table::transform.active()(plan.key);

    return call_guarded([&] {
        const std::vector<float> curve1 = curve_pairs(plan.curve1, plan.len1);
        const std::vector<float> curve2 = curve_pairs(plan.curve2, plan.len2);
        StageArgs args;
        args.curve1 = curve1.data();
        args.len1 = static_cast<int32_t>(plan.len1);
        args.matrix = matrix;
        args.curve2 = curve2.data();
        args.len2 = static_cast<int32_t>(plan.len2);
        args.in_max = in_max;
        args.inv_in = 1.0f / in_max;
        args.out_max = out_max;
        std::vector<float> source_table;
        if (worth_a_source_table(plan, pixels)) {
            source_table.resize(source_table_size(plan.key.src_dtype == ORVEX_DTYPE_UINT8));
            args.source_table = source_table.data();
        }
        kernel(src->data, dst->data, pixels, args);
        return ORVEX_OK;
    });
}
