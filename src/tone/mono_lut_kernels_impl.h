// Body of the single-channel tone table kernels; included by one translation
// unit per instruction set after it defines ORVEX_ISA.
#include "frame/simd.h"
#include "orvex.h"
#include "tone/mono_lut_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

// Up to this many entries every position and index is exact in a float and
// an int32, which the vector path relies on.
constexpr uint64_t kMaxVectorLastIndex = uint64_t{1} << 24;

float clamp_level(float y) {
    if (y > 1.0f) return 1.0f;
    return y >= 0.0f ? y : 0.0f;
}

template <class T>
T store_level(float o) {
    if constexpr (sizeof(T) == 1)
        return simd::low8(simd::trunc_i32(o));
    else if constexpr (sizeof(T) == 2)
        return simd::low16(simd::trunc_i32(o));
    else
        return o;
}

// Interpolated table value at sample x. Positions from 2^31 up occur only
// with tables of more than 2^31 entries; they are indexed in 64 bits so that
// nothing outside the table is read, and the last entry is read alone.
float interpolate(const MonoLutTable& t, float x) {
    float p = x * t.scale;
    if (p <= t.last) {
        if (!(p >= 0.0f)) p = 0.0f;
    } else {
        p = t.last;
    }
    const uint64_t i = p < 0x1p63f ? static_cast<uint64_t>(static_cast<int64_t>(p)) : t.last_index;
    if (i >= t.last_index) return t.lut[t.last_index];
    const float f = p - static_cast<float>(i);
    return (1.0f - f) * t.lut[i] + f * t.lut[i + 1];
}

template <class Dst>
Dst map_level(const MonoLutTable& t, float y) {
    return store_level<Dst>(t.out_max * clamp_level(y));
}

// An 8-bit source has 256 possible samples: their results are formed once,
// then each sample is one read of that small table.
template <class Dst, MonoLutMode Mode>
void byte_source(const void* src_data, void* dst_data, size_t n, const MonoLutTable& t) {
    Dst by_byte[256];
    for (int k = 0; k < 256; ++k)
        by_byte[k] =
            map_level<Dst>(t, Mode == MonoLutMode::direct ? t.lut[k] : interpolate(t, static_cast<float>(k)));
    const uint8_t* src = static_cast<const uint8_t*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const Dst a = by_byte[src[i]];
        const Dst b = by_byte[src[i + 1]];
        const Dst c = by_byte[src[i + 2]];
        const Dst d = by_byte[src[i + 3]];
        dst[i] = a;
        dst[i + 1] = b;
        dst[i + 2] = c;
        dst[i + 3] = d;
    }
    for (; i < n; ++i)
        dst[i] = by_byte[src[i]];
}

template <class Src, class Dst>
void scalar_interpolated(const void* src_data, void* dst_data, size_t n, const MonoLutTable& t) {
    const Src* src = static_cast<const Src*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    for (size_t i = 0; i < n; ++i)
        dst[i] = map_level<Dst>(t, interpolate(t, static_cast<float>(src[i])));
}

// interpolate() lane by lane for tables of at most 2^24 + 1 entries. The
// upper entry is read at min(p, last - 1), which has the same integer part
// as p below the last entry and stays inside the table at it; at the last
// entry the lower one is taken alone.
template <class Src, class Dst>
void vector_interpolated(const void* src_data, void* dst_data, size_t n, const MonoLutTable& t) {
    const Src* src = static_cast<const Src*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    const simd::vf zero = simd::set1(0.0f);
    const simd::vf one = simd::set1(1.0f);
    const simd::vf last = simd::set1(t.last);
    const simd::vf below_last = simd::set1(static_cast<float>(t.last_index - 1));
    const simd::vf scale = simd::set1(t.scale);
    const simd::vf out_max = simd::set1(t.out_max);
    size_t i = 0;
    for (; i + simd::kLanes <= n; i += simd::kLanes) {
        simd::vf p = simd::mul(simd::load_as_float(src + i), scale);
        p = simd::select(simd::le(p, last), simd::select(simd::le(zero, p), p, zero), last);
        const simd::vi index = simd::trunc_i32(p);
        const simd::vf f = simd::sub(p, simd::from_i32(index));
        const simd::vf lower = simd::gather(t.lut, index);
        const simd::vf upper = simd::gather(t.lut + 1, simd::trunc_i32(simd::min_lt(p, below_last)));
        simd::vf y = simd::add(simd::mul(simd::sub(one, f), lower), simd::mul(f, upper));
        y = simd::select(simd::le(last, p), lower, y);
        y = simd::select(simd::lt(one, y), one, simd::select(simd::le(zero, y), y, zero));
        simd::store_from_float(dst + i, simd::mul(out_max, y));
    }
    for (; i < n; ++i)
        dst[i] = map_level<Dst>(t, interpolate(t, static_cast<float>(src[i])));
}

template <class Src, class Dst>
MonoLutKernel kernel_for(MonoLutMode mode, uint64_t lut_size) {
    if constexpr (sizeof(Src) == 1) {
        return mode == MonoLutMode::direct ? &byte_source<Dst, MonoLutMode::direct>
                                           : &byte_source<Dst, MonoLutMode::interpolated>;
    } else {
        return lut_size - 1 <= kMaxVectorLastIndex ? &vector_interpolated<Src, Dst>
                                                   : &scalar_interpolated<Src, Dst>;
    }
}

template <class Src>
MonoLutKernel kernel_for_source(uint32_t dst_dtype, MonoLutMode mode, uint64_t lut_size) {
    switch (dst_dtype) {
        case ORVEX_DTYPE_UINT8:
            return kernel_for<Src, uint8_t>(mode, lut_size);
        case ORVEX_DTYPE_UINT16:
            return kernel_for<Src, uint16_t>(mode, lut_size);
        case ORVEX_DTYPE_FLOAT32:
            return kernel_for<Src, float>(mode, lut_size);
        default:
            return nullptr;
    }
}

}  // namespace

MonoLutKernel select_mono_lut_kernel(uint32_t src_dtype, uint32_t dst_dtype, MonoLutMode mode, uint64_t lut_size) {
    switch (src_dtype) {
        case ORVEX_DTYPE_UINT8:
            return kernel_for_source<uint8_t>(dst_dtype, mode, lut_size);
        case ORVEX_DTYPE_UINT16:
            return kernel_for_source<uint16_t>(dst_dtype, mode, lut_size);
        case ORVEX_DTYPE_FLOAT32:
            return kernel_for_source<float>(dst_dtype, mode, lut_size);
        default:
            return nullptr;
    }
}

}  // namespace orvex::ORVEX_ISA
