// Body of the fast normalisation kernels; included by one translation unit
// per instruction set after it defines ORVEX_ISA.
#include <algorithm>

#include "frame/simd.h"
#include "orvex.h"
#include "raw/normalize_kernels.h"
#include "raw/vector_stores.h"

namespace orvex::ORVEX_ISA {
namespace {

// Vectors of one pattern cycle: Period vectors when the period does not
// divide the lane count (3), one vector otherwise (1, 2).
template <int Period>
constexpr int cycle_vectors() {
    return simd::kLanes % Period == 0 ? 1 : Period;
}

template <class Src, int Period, bool Streaming>
void normalize_row(const Src* src, float* dst, size_t n, const float* black, const float* factor) {
    const auto scalar = [&](size_t i) {
        const size_t k = i % Period;
        dst[i] = simd::clamp_unit_keep_minus_zero((static_cast<float>(src[i]) - black[k]) * factor[k]);
    };
    // Aligned stores never split a cache line; streaming requires them.
    const size_t peel = floats_to_alignment(dst);
    size_t i = 0;
    for (; i < n && i < peel; ++i)
        scalar(i);
    constexpr int kVectors = cycle_vectors<Period>();
    constexpr size_t kStep = static_cast<size_t>(kVectors) * simd::kLanes;
    simd::vf vblack[kVectors];
    simd::vf vfactor[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        float b[simd::kLanes];
        float f[simd::kLanes];
        for (int lane = 0; lane < simd::kLanes; ++lane) {
            const size_t k = (i + static_cast<size_t>(v * simd::kLanes + lane)) % Period;
            b[lane] = black[k];
            f[lane] = factor[k];
        }
        vblack[v] = simd::load(b);
        vfactor[v] = simd::load(f);
    }
    // Each step loads its samples before it stores them, so a float source
    // may share the destination's buffer.
    for (; i + kStep <= n; i += kStep) {
        for (int v = 0; v < kVectors; ++v) {
            const size_t at = i + static_cast<size_t>(v) * simd::kLanes;
            const simd::vf x = simd::load_as_float(src + at);
            store_vector<Streaming>(
                dst + at, simd::clamp_unit_keep_minus_zero(simd::mul(simd::sub(x, vblack[v]), vfactor[v])));
        }
    }
    for (; i < n; ++i)
        scalar(i);
}

template <class Src, int Period, bool Streaming>
void normalize_rows(const Src* src, float* dst, size_t rows, size_t row_samples, const NormalizePattern& p) {
    for (size_t r = 0; r < rows; ++r) {
        const size_t at = r * row_samples;
        const size_t phase = (r % 2) * Period;
        normalize_row<Src, Period, Streaming>(src + at, dst + at, row_samples, p.black + phase, p.factor + phase);
    }
    if constexpr (Streaming) end_streaming();
}

template <class Src, int Period>
void normalize_fast(const void* src_data, float* dst, size_t rows, size_t row_samples, const NormalizePattern& p) {
    const Src* src = static_cast<const Src*>(src_data);
    const bool streaming = rows * row_samples * sizeof(float) >= kStreamingBytes &&
                           reinterpret_cast<uintptr_t>(dst) % sizeof(float) == 0;
    if (streaming)
        normalize_rows<Src, Period, true>(src, dst, rows, row_samples, p);
    else
        normalize_rows<Src, Period, false>(src, dst, rows, row_samples, p);
}

template <class Src>
NormalizeFastKernel kernel_for_period(int period) {
    switch (period) {
        case 1:
            return &normalize_fast<Src, 1>;
        case 2:
            return &normalize_fast<Src, 2>;
        case 3:
            return &normalize_fast<Src, 3>;
        default:
            return nullptr;
    }
}

// The general rule, lane by lane, on the values v that load_vector and
// load_scalar give for sample i; the division by a non-positive range is
// computed and then discarded, as its lanes give 0. Each step loads its
// samples before it stores them, so a float source may be dst itself.
template <class LoadVector, class LoadScalar>
void general_row(LoadVector load_vector, LoadScalar load_scalar, float* dst, size_t n, const float* sample_black,
                 float row_black, const float* white) {
    size_t i = 0;
    const simd::vf g = simd::set1(row_black);
    const simd::vf zero = simd::set1(0.0f);
    for (; i + simd::kLanes <= n; i += simd::kLanes) {
        const simd::vf v = load_vector(i);
        const simd::vf b = simd::add(simd::load(sample_black + i), g);
        const simd::vf d = simd::sub(simd::load(white + i), b);
        const simd::vf q = simd::div(simd::sub(v, b), d);
        simd::store(dst + i, simd::clamp_unit_keep_minus_zero(simd::select(simd::lt(zero, d), q, zero)));
    }
    for (; i < n; ++i) {
        const float v = load_scalar(i);
        const float b = sample_black[i] + row_black;
        const float d = white[i] - b;
        dst[i] = simd::clamp_unit_keep_minus_zero(d > 0.0f ? (v - b) / d : 0.0f);
    }
}

template <class Src>
void normalize_general_row(const void* src_data, float* dst, size_t n, const float* sample_black, float row_black,
                           const float* white) {
    const Src* src = static_cast<const Src*>(src_data);
    general_row([src](size_t i) { return simd::load_as_float(src + i); },
                [src](size_t i) { return static_cast<float>(src[i]); }, dst, n, sample_black, row_black, white);
}

}  // namespace

NormalizeGeneralRowKernel select_general_normalize_row(uint32_t src_dtype) {
    if (src_dtype == ORVEX_DTYPE_UINT16) return &normalize_general_row<uint16_t>;
    if (src_dtype == ORVEX_DTYPE_FLOAT32) return &normalize_general_row<float>;
    return nullptr;
}

void normalize_general_table_row(const uint16_t* src, float* dst, size_t n, const float* linear_value,
                                 uint32_t last, const float* sample_black, float row_black, const float* white) {
    const simd::vi last_entry = simd::set1_i32(static_cast<int32_t>(last));
    general_row(
        [=](size_t i) {
            return simd::gather(linear_value, simd::min_u32(simd::trunc_i32(simd::load_u16(src + i)), last_entry));
        },
        [=](size_t i) { return linear_value[std::min<uint32_t>(src[i], last)]; }, dst, n, sample_black, row_black,
        white);
}

NormalizeFastKernel select_fast_normalize_kernel(uint32_t src_dtype, int period) {
    if (src_dtype == ORVEX_DTYPE_UINT16) return kernel_for_period<uint16_t>(period);
    if (src_dtype == ORVEX_DTYPE_FLOAT32) return kernel_for_period<float>(period);
    return nullptr;
}

}  // namespace orvex::ORVEX_ISA
