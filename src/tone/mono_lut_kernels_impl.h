// Body of the single-channel tone table kernels; included by one translation
// unit per instruction set after it defines ORVEX_ISA.
#include "frame/byte_lookup.h"
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
    if constexpr (sizeof(Dst) == 1)
        lookup_bytes(by_byte, src, dst, n);
    else
        lookup_by_byte(by_byte, src, dst, n);
}

template <class Src, class Dst>
void scalar_interpolated(const void* src_data, void* dst_data, size_t n, const MonoLutTable& t) {
    const Src* src = static_cast<const Src*>(src_data);
    Dst* dst = static_cast<Dst*>(dst_data);
    for (size_t i = 0; i < n; ++i)
        dst[i] = map_level<Dst>(t, interpolate(t, static_cast<float>(src[i])));
}

// lower = lut[j], upper = lut[j + 1] per lane: one 64-bit read per lane where
// the instruction set gathers them.
inline void gather_pairs(const float* lut, simd::vi j, simd::vf& lower, simd::vf& upper) {
#if defined(__AVX512F__)
    const __m512 first = _mm512_castsi512_ps(_mm512_i32gather_epi64(_mm512_castsi512_si256(j), lut, 4));
    const __m512 second = _mm512_castsi512_ps(_mm512_i32gather_epi64(_mm512_extracti64x4_epi64(j, 1), lut, 4));
    const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    const __m512i odd = _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
    lower = _mm512_permutex2var_ps(first, even, second);
    upper = _mm512_permutex2var_ps(first, odd, second);
#elif defined(__AVX2__)
    const auto* pairs = reinterpret_cast<const long long*>(lut);
    const __m256 first = _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_castsi256_si128(j), 4));
    const __m256 second = _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_extracti128_si256(j, 1), 4));
    // Within each 128-bit half: lanes 0, 1 of first then of second; the
    // 64-bit permute puts the halves in lane order.
    lower = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(_mm256_shuffle_ps(first, second, 0x88)), 0xD8));
    upper = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(_mm256_shuffle_ps(first, second, 0xDD)), 0xD8));
#else
    lower = simd::gather(lut, j);
    upper = simd::gather(lut + 1, j);
#endif
}

// interpolate() lane by lane for tables of at most 2^24 + 1 entries. The
// entries are read as the pair at j = min(p, last - 1), which has the same
// integer part as p below the last entry and stays inside the table at it;
// at the last entry (p = last, f = 0) the pair's upper entry is taken alone.
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
        const simd::vf f = simd::sub(p, simd::from_i32(simd::trunc_i32(p)));
        simd::vf lower, upper;
        gather_pairs(t.lut, simd::trunc_i32(simd::min_lt(p, below_last)), lower, upper);
        simd::vf y = simd::add(simd::mul(simd::sub(one, f), lower), simd::mul(f, upper));
        y = simd::select(simd::le(last, p), upper, y);
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
