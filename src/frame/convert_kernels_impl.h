// Body of the conversion kernels; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
#include "frame/convert_kernels.h"
#include "frame/simd.h"
#include "orvex.h"

namespace orvex::ORVEX_ISA {
namespace {

template <class T>
T from_float(float v) {
    if constexpr (sizeof(T) == 1)
        return simd::low8(simd::trunc_i32(v));
    else if constexpr (sizeof(T) == 2)
        return simd::low16(simd::trunc_i32(v));
    else
        return v;
}

// Each vector step loads its samples before it stores, so equal-size types may
// share one buffer.
template <class Src, class Dst, bool Limited>
void convert(const void* src_data, void* dst_data, size_t n, float scale, float limit) {
    const Src* src = static_cast<const Src*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    const simd::vf vscale = simd::set1(scale);
    const simd::vf vlimit = simd::set1(limit);
    size_t i = 0;
    for (; i + simd::kLanes <= n; i += simd::kLanes) {
        simd::vf v = simd::mul(simd::load_as_float(src + i), vscale);
        if constexpr (Limited) v = simd::min_lt(v, vlimit);
        simd::store_from_float(dst + i, v);
    }
    for (; i < n; ++i) {
        float v = static_cast<float>(src[i]) * scale;
        if constexpr (Limited) v = v < limit ? v : limit;
        dst[i] = from_float<Dst>(v);
    }
}

template <class Src, class Dst>
ConvertKernel kernel_for(bool limited) {
    return limited ? &convert<Src, Dst, true> : &convert<Src, Dst, false>;
}

template <class Src>
ConvertKernel kernel_for_source(uint32_t dst_dtype, bool limited) {
    switch (dst_dtype) {
        case ORVEX_DTYPE_UINT8:
            return kernel_for<Src, uint8_t>(limited);
        case ORVEX_DTYPE_UINT16:
            return kernel_for<Src, uint16_t>(limited);
        case ORVEX_DTYPE_FLOAT32:
            return kernel_for<Src, float>(limited);
        default:
            return nullptr;
    }
}

}  // namespace

ConvertKernel select_convert_kernel(uint32_t src_dtype, uint32_t dst_dtype, bool limited) {
    switch (src_dtype) {
        case ORVEX_DTYPE_UINT8:
            return kernel_for_source<uint8_t>(dst_dtype, limited);
        case ORVEX_DTYPE_UINT16:
            return kernel_for_source<uint16_t>(dst_dtype, limited);
        case ORVEX_DTYPE_FLOAT32:
            return kernel_for_source<float>(dst_dtype, limited);
        default:
            return nullptr;
    }
}

}  // namespace orvex::ORVEX_ISA
