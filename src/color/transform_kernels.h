// Colour transform kernels: one pixel loop per source type, destination type,
// stage set and lookup mode, each built for every instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// The stages a call runs, in pixel order.
enum class StageSet : int {
    input_matrix_output,  // input curve, matrix, output curve
    input_matrix,         // input curve, matrix, clamp to 0..1
    matrix_output,        // matrix on normalised samples, output curve
    matrix,               // matrix on normalised samples, clamp to 0..1
    single_curve,         // one curve per channel, clamp to 0..1
    hue,                  // hue-preserving curve, stored unclamped as float
    hue_matrix,           // hue-preserving curve, matrix, clamp to 0..1
    hue_matrix_output,    // hue-preserving curve, matrix, output curve
};

// The stage sets whose first stage reads a curve at each source sample.
constexpr bool reads_curve_first(StageSet s) {
    return s == StageSet::input_matrix_output || s == StageSet::input_matrix || s == StageSet::single_curve;
}

// Picks one member of the family. `direct` indexes the first curve by the
// 8-bit sample instead of interpolating it.
struct KernelKey {
    uint32_t src_dtype;
    uint32_t dst_dtype;
    StageSet stages;
    bool direct;
};

// What a kernel reads besides the pixels. A curve of len entries comes as
// len pairs (entry i, entry i + 1), the last pair repeating entry len - 1,
// so an interpolation at the top position N = len - 1 stays inside it.
struct StageArgs {
    const float* curve1 = nullptr;  // pairs of the input curve, or of the one curve of single_curve
    int32_t len1 = 0;
    const float* matrix = nullptr;  // nine coefficients, row-major
    const float* curve2 = nullptr;  // pairs of the output curve
    int32_t len2 = 0;
    float in_max = 1.0f;
    float inv_in = 1.0f;
    float out_max = 1.0f;
    // Scratch of source_table_size(src_dtype) floats, or null. Given to an
    // integer source with an interpolated first curve, the kernel fills it
    // with the curve's value at every sample value and reads that instead:
    // the same values, one table read per sample.
    float* source_table = nullptr;
};

// Entries of a per-sample table: one per value of an integer sample type.
constexpr size_t source_table_size(bool eight_bit) { return eight_bit ? 256 : 65536; }

// Transforms `pixels` interleaved three-channel pixels. Each pixel's samples are
// read before its results are written, so equal types may share one buffer.
using TransformKernel = void (*)(const void* src, void* dst, size_t pixels, const StageArgs& args);

// nullptr for a key outside the family.
ORVEX_DECLARE_PER_ISA(TransformKernel select_transform_kernel(const KernelKey& key))

}  // namespace orvex
