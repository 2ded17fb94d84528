// The colour transform kernel family; included by one translation unit per
// instruction set after it defines ORVEX_ISA. One pattern per stage set,
// instantiated per source type, destination type and lookup mode, so a
// kernel has no per-pixel branch on either and forms its per-call factors
// once, in the exact float form its member needs.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "color/rgb_lanes.h"
#include "color/transform_kernels.h"
#include "color/transform_stages.h"
#include "frame/byte_lookup.h"
#include "frame/simd.h"
#include "orvex.h"

namespace orvex::ORVEX_ISA {
namespace {

using rgb::Pixels;
using rgb::vf;

// Output-curve coefficients a[i] = N2 * m[i].
struct ScaledByTop {
    float a[9];
    explicit ScaledByTop(const StageArgs& args) {
        const float top = rgb::curve_top(args.len2);
        for (int i = 0; i < 9; ++i)
            a[i] = top * args.matrix[i];
    }
};

// Output-curve coefficients on raw samples: (inv_in * m[i]) * N2, or
// (m[i] / in_max) * N2 from 8-bit to integer samples. The two forms differ
// in the last bit for some coefficients.
template <class Src, class Dst>
struct NormalisedAndScaledByTop {
    float a[9];
    explicit NormalisedAndScaledByTop(const StageArgs& args) {
        const float top = rgb::curve_top(args.len2);
        constexpr bool divide = sizeof(Src) == 1 && sizeof(Dst) != 4;
        for (int i = 0; i < 9; ++i) {
            const float normalised = divide ? args.matrix[i] / args.in_max : args.inv_in * args.matrix[i];
            a[i] = normalised * top;
        }
    }
};

// How the first curve is read: interpolated in its pairs, from the
// per-sample table, or directly in its pairs at the 8-bit sample.
enum class Lookup { interpolated, tabulated, direct };

// An 8-bit sample reads a table of 256 entries.
template <Lookup L, class Src>
using TableCurve = std::conditional_t<sizeof(Src) == 1, rgb::ByteTable<L == Lookup::direct ? 2 : 1>,
                                      rgb::DirectCurve<L == Lookup::direct ? 2 : 1>>;

template <Lookup L, class Src>
using FirstCurve = std::conditional_t<L == Lookup::interpolated, rgb::InterpolatedCurve, TableCurve<L, Src>>;

// Front and back of each stage set for one member.
template <StageSet S, Lookup L, class Src, class Dst>
struct Stages;

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::input_matrix_output, L, Src, Dst> {
    rgb::PerChannelCurve<FirstCurve<L, Src>> front;
    rgb::MatrixOutputCurve back;
    explicit Stages(const StageArgs& args)
        : front{{args.curve1, args.len1, args.inv_in}}, back(ScaledByTop(args).a, args) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::input_matrix, L, Src, Dst> {
    rgb::PerChannelCurve<FirstCurve<L, Src>> front;
    rgb::MatrixClamp back;
    explicit Stages(const StageArgs& args) : front{{args.curve1, args.len1, args.inv_in}}, back(args) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::matrix_output, L, Src, Dst> {
    rgb::Unchanged front;
    rgb::MatrixOutputCurve back;
    explicit Stages(const StageArgs& args) : back(NormalisedAndScaledByTop<Src, Dst>(args).a, args) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::matrix, L, Src, Dst> {
    rgb::Normalise front;
    rgb::MatrixClamp back;
    explicit Stages(const StageArgs& args) : front{simd::set1(args.inv_in)}, back(args) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::single_curve, L, Src, Dst> {
    rgb::PerChannelCurve<FirstCurve<L, Src>> front;
    rgb::ClampEach back;
    explicit Stages(const StageArgs& args)
        : front{{args.curve1, args.len1, args.inv_in}}, back{simd::set1(args.out_max)} {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::hue, L, Src, Dst> {
    rgb::HuePreservingCurve front;
    rgb::PassThrough back;
    explicit Stages(const StageArgs& args) : front(args.curve1, args.len1) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::hue_matrix, L, Src, Dst> {
    rgb::HuePreservingCurve front;
    rgb::MatrixClamp back;
    explicit Stages(const StageArgs& args) : front(args.curve1, args.len1), back(args) {}
};

template <Lookup L, class Src, class Dst>
struct Stages<StageSet::hue_matrix_output, L, Src, Dst> {
    rgb::HuePreservingCurve front;
    rgb::MatrixOutputCurve back;
    explicit Stages(const StageArgs& args) : front(args.curve1, args.len1), back(ScaledByTop(args).a, args) {}
};

template <class StagePair, class Src, class Dst>
void transform_group(const StagePair& stages, const Src* src, Dst* dst) {
    const Pixels in = rgb::load_group(src);
    rgb::store_group(dst, stages.back(stages.front(in)));
}

// Flattened: the stages of a group are one loop body, their vectors kept in
// registers rather than passed through memory between calls.
template <class StagePair, class Src, class Dst>
[[gnu::flatten]] void transform_all(const StagePair& stages, const Src* src, Dst* dst, size_t pixels) {
    constexpr size_t group = simd::kLanes;
    size_t p = 0;
    for (; p + group <= pixels; p += group)
        transform_group(stages, src + 3 * p, dst + 3 * p);
    if (p == pixels) return;
    // The last pixels go through a zero-padded group; all of them are read
    // before any is written.
    Src in[3 * group] = {};
    Dst out[3 * group];
    const size_t samples = 3 * (pixels - p);
    std::memcpy(in, src + 3 * p, samples * sizeof(Src));
    transform_group(stages, in, out);
    std::memcpy(dst + 3 * p, out, samples * sizeof(Dst));
}

// The stages after the first curve, on values already read from the
// per-sample table.
template <class Back>
struct AfterTable {
    rgb::Unchanged front;
    Back back;
};

// 16-bit samples read the per-sample table in two passes over blocks of
// pixels: every sample's table value into a scratch that stays in the first
// cache level, then the other stages on those values. The table reads of a
// block depend on nothing but the samples, so many of them are in flight at
// once. A block is read whole before any of its pixels is written.
template <class StagePair, class Dst>
void transform_by_table(const StagePair& stages, const float* table, const uint16_t* src, Dst* dst, size_t pixels) {
    constexpr size_t block = 64;
    const AfterTable<decltype(stages.back)> after{{}, stages.back};
    alignas(64) float values[3 * block];
    for (size_t p = 0; p < pixels; p += block) {
        const size_t n = std::min(block, pixels - p);
        rgb::read_table(table, src + 3 * p, values, 3 * n);
        transform_all(after, values, dst + 3 * p, n);
    }
}

// The interpolated first curve at every value of an integer sample type.
template <class Src>
void tabulate_first_curve(const StageArgs& args) {
    const rgb::InterpolatedCurve curve(args.curve1, args.len1, args.inv_in);
    float lane_offsets[simd::kLanes];
    for (int j = 0; j < simd::kLanes; ++j)
        lane_offsets[j] = static_cast<float>(j);
    const vf offsets = simd::load(lane_offsets);
    constexpr size_t size = source_table_size(sizeof(Src) == 1);
    for (size_t s = 0; s < size; s += simd::kLanes)
        simd::store(args.source_table + s, curve(simd::add(simd::set1(static_cast<float>(s)), offsets)));
}

template <StageSet S, bool Direct, class Src, class Dst>
void transform(const void* src_data, void* dst_data, size_t pixels, const StageArgs& args);

// Every 8-bit value, as the samples of 86 pixels (the last two repeat 255).
struct EveryByteValue {
    static constexpr size_t pixels = 86;
    uint8_t samples[3 * pixels];
    EveryByteValue() {
        for (size_t v = 0; v < 3 * pixels; ++v)
            samples[v] = static_cast<uint8_t>(v < 256 ? v : 255);
    }
};

// A single curve on 8-bit samples: each result depends on its own sample
// only, so the 256 sample values go through the kernel once and every sample
// copies the result of its value.
template <bool Direct, class Dst>
void single_curve_by_value(const uint8_t* src, Dst* dst, size_t pixels, const StageArgs& args) {
    const EveryByteValue values;
    Dst results[3 * EveryByteValue::pixels];
    transform<StageSet::single_curve, Direct, uint8_t, Dst>(values.samples, results, EveryByteValue::pixels, args);
    if constexpr (sizeof(Dst) == 1)
        lookup_bytes(results, src, dst, 3 * pixels);
    else
        lookup_by_byte(results, src, dst, 3 * pixels);
}

template <StageSet S, bool Direct, class Src, class Dst>
void transform(const void* src_data, void* dst_data, size_t pixels, const StageArgs& args) {
    const Src* src = static_cast<const Src*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    if constexpr (S == StageSet::single_curve && sizeof(Src) == 1) {
        if (pixels > EveryByteValue::pixels) return single_curve_by_value<Direct>(src, dst, pixels, args);
    }
    if constexpr (reads_curve_first(S) && !Direct && sizeof(Src) != 4) {
        if (args.source_table != nullptr) {
            tabulate_first_curve<Src>(args);
            StageArgs table_args = args;
            table_args.curve1 = args.source_table;
            const Stages<S, Lookup::tabulated, Src, Dst> stages(table_args);
            if constexpr (sizeof(Src) == 2)
                return transform_by_table(stages, args.source_table, src, dst, pixels);
            else
                return transform_all(stages, src, dst, pixels);
        }
    }
    constexpr Lookup lookup = Direct ? Lookup::direct : Lookup::interpolated;
    transform_all(Stages<S, lookup, Src, Dst>(args), src, dst, pixels);
}

template <StageSet S, bool Direct, class Src>
TransformKernel for_destination(uint32_t dst_dtype) {
    switch (dst_dtype) {
        case ORVEX_DTYPE_UINT8:
            return &transform<S, Direct, Src, uint8_t>;
        case ORVEX_DTYPE_UINT16:
            return &transform<S, Direct, Src, uint16_t>;
        case ORVEX_DTYPE_FLOAT32:
            return &transform<S, Direct, Src, float>;
        default:
            return nullptr;
    }
}

// The per-channel stage sets: every pair of types, interpolated; 8-bit
// sources also directly indexed where the stage set reads a curve first.
template <StageSet S>
TransformKernel for_types(const KernelKey& key) {
    if (key.direct) {
        if constexpr (reads_curve_first(S))
            return key.src_dtype == ORVEX_DTYPE_UINT8 ? for_destination<S, true, uint8_t>(key.dst_dtype) : nullptr;
        else
            return nullptr;
    }
    switch (key.src_dtype) {
        case ORVEX_DTYPE_UINT8:
            return for_destination<S, false, uint8_t>(key.dst_dtype);
        case ORVEX_DTYPE_UINT16:
            return for_destination<S, false, uint16_t>(key.dst_dtype);
        case ORVEX_DTYPE_FLOAT32:
            return for_destination<S, false, float>(key.dst_dtype);
        default:
            return nullptr;
    }
}

// The hue-preserving stage sets read float sources only; the curve alone
// writes floats only.
template <StageSet S>
TransformKernel for_float_source(const KernelKey& key) {
    if (key.direct || key.src_dtype != ORVEX_DTYPE_FLOAT32) return nullptr;
    if constexpr (S == StageSet::hue)
        return key.dst_dtype == ORVEX_DTYPE_FLOAT32 ? &transform<S, false, float, float> : nullptr;
    else
        return for_destination<S, false, float>(key.dst_dtype);
}

}  // namespace

TransformKernel select_transform_kernel(const KernelKey& key) {
    switch (key.stages) {
        case StageSet::input_matrix_output:
            return for_types<StageSet::input_matrix_output>(key);
        case StageSet::input_matrix:
            return for_types<StageSet::input_matrix>(key);
        case StageSet::matrix_output:
            return for_types<StageSet::matrix_output>(key);
        case StageSet::matrix:
            return for_types<StageSet::matrix>(key);
        case StageSet::single_curve:
            return for_types<StageSet::single_curve>(key);
        case StageSet::hue:
            return for_float_source<StageSet::hue>(key);
        case StageSet::hue_matrix:
            return for_float_source<StageSet::hue_matrix>(key);
        case StageSet::hue_matrix_output:
            return for_float_source<StageSet::hue_matrix_output>(key);
    }
    return nullptr;
}

}  // namespace orvex::ORVEX_ISA
