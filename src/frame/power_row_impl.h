// Raises a row of floats to one power, a vector of doubles at a time (two
// with the baseline, four with AVX2, eight with AVX-512): the fast path of the
// correctly rounded power function (frame/power_fast.h) on vectors of doubles,
// with every lane that its rounding test cannot decide, and every special
// input (zero, subnormal, 1, infinity, NaN, a negative value, a result beyond
// the float range), handed to the scalar power(). A decided lane holds the
// correctly rounded value, so the row equals power() value by value. Included
// by per-instruction-set translation units after they define ORVEX_ISA.
#if !defined(ORVEX_ISA)
#error "define ORVEX_ISA before including frame/power_row_impl.h"
#endif

#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/power.h"
#include "frame/power_fast.h"
#include "frame/power_tables.h"

namespace orvex::ORVEX_ISA {
namespace power_row_detail {

#if defined(__AVX512F__)
constexpr int kWidth = 8;
#elif defined(__AVX2__)
constexpr int kWidth = 4;
#else
constexpr int kWidth = 2;  // one SSE register of doubles
#endif
using Floats = float __attribute__((vector_size(4 * kWidth)));
using Words = uint32_t __attribute__((vector_size(4 * kWidth)));
using Ints = int32_t __attribute__((vector_size(4 * kWidth)));
using Doubles = double __attribute__((vector_size(8 * kWidth)));
using Longs = int64_t __attribute__((vector_size(8 * kWidth)));

// The tables, held in registers for a row: kLogSize and kExpSize doubles
// in vectors of kWidth.
struct LaneTables {
    Doubles inverse_c[power_tables::kLogSize / kWidth];
    Doubles log2_c[power_tables::kLogSize / kWidth];
    Doubles exp2[power_tables::kExpSize / kWidth];

    LaneTables() {
        for (int i = 0; i < power_tables::kLogSize; ++i) {
            inverse_c[i / kWidth][i % kWidth] = power_tables::kLog[i].inverse_c;
            log2_c[i / kWidth][i % kWidth] = power_tables::kLog[i].log2_c.hi;
        }
        for (int j = 0; j < power_tables::kExpSize; ++j)
            exp2[j / kWidth][j % kWidth] = power_tables::kExp2[j].hi;
    }
};

// table[index[lane]] per lane, for a table of `vectors` * kWidth doubles
// (16 or 8), by permutes rather than gathers (the baseline loads lane by
// lane).
template <int vectors>
inline Doubles lookup(const Doubles (&table)[vectors], Longs index) {
#if !defined(__AVX2__)
    Doubles picked;
    for (int lane = 0; lane < kWidth; ++lane)
        picked[lane] = table[index[lane] / kWidth][index[lane] % kWidth];
    return picked;
#elif defined(__AVX512F__)
    if constexpr (vectors == 2)
        return reinterpret_cast<Doubles>(_mm512_permutex2var_pd(reinterpret_cast<__m512d>(table[0]),
                                                                reinterpret_cast<__m512i>(index),
                                                                reinterpret_cast<__m512d>(table[1])));
    else
        return reinterpret_cast<Doubles>(
            _mm512_permutexvar_pd(reinterpret_cast<__m512i>(index), reinterpret_cast<__m512d>(table[0])));
#else
    // Each double moves as two 32-bit halves.
    const Longs position = (index & 3) * 2;
    const __m256i halves = reinterpret_cast<__m256i>(position | ((position + 1) << 32));
    Doubles picked[vectors];
    for (int v = 0; v < vectors; ++v)
        picked[v] = reinterpret_cast<Doubles>(_mm256_permutevar8x32_ps(reinterpret_cast<__m256>(table[v]), halves));
    const Doubles low = (index & 4) != 0 ? picked[1] : picked[0];
    if constexpr (vectors == 2) {
        return low;
    } else {
        const Doubles high = (index & 4) != 0 ? picked[3] : picked[2];
        return (index & 8) != 0 ? high : low;
    }
#endif
}

inline bool any_lane(Ints mask) {
#if defined(__AVX512F__)
    return !_mm256_testz_si256(reinterpret_cast<__m256i>(mask), reinterpret_cast<__m256i>(mask));
#elif !defined(__AVX2__)
    return std::bit_cast<uint64_t>(mask) != 0;
#else
    return !_mm_testz_si128(reinterpret_cast<__m128i>(mask), reinterpret_cast<__m128i>(mask));
#endif
}

// The exponent of two t = y * log2(x) of values[0 ... kWidth - 1].
inline Doubles exponent_lanes(Floats x, float y, const LaneTables& lane_tables) {
    namespace tables = power_tables;
    const Words ix = std::bit_cast<Words>(x);
    const Words offset = ix - tables::kLogOffset;
    const Ints interval = std::bit_cast<Ints>(offset) >> (23 - tables::kLogBits) & (tables::kLogSize - 1);
    const Words top = offset & 0xff800000u;
    const Ints k = std::bit_cast<Ints>(top) >> 23;
    const Words z_bits = ix - top;
    const Longs log_index = __builtin_convertvector(interval, Longs);
    const Doubles inverse_c = lookup(lane_tables.inverse_c, log_index);
    const Doubles log2_c = lookup(lane_tables.log2_c, log_index);
    const Doubles z = __builtin_convertvector(std::bit_cast<Floats>(z_bits), Doubles);
    const Doubles r = z * inverse_c - 1.0;
    const Doubles l = (__builtin_convertvector(k, Doubles) + log2_c) + power_fast::log2_1p(r);
    // Beyond [-151, 129] the result rounds to 0 or overflows whatever t is
    // (the scalar path returns at -150.1 and 128.1); clamping keeps the
    // exponent arithmetic below in range and gives those results. A NaN t
    // (from a special lane only) is replaced too.
    const Doubles product = static_cast<double>(y) * l;
    return product < -151.0 ? -151.0 : (product > 129.0 ? 129.0 : product);
}

// 2^t, the powers of values[0 ... kWidth - 1]; false in undecided[lane]
// where the lane's value is final.
inline Floats power_lanes(Floats x, Doubles t, const LaneTables& lane_tables, Ints& undecided) {
    namespace tables = power_tables;
    // Zero, subnormal, negative, infinite and NaN lanes (1 needs no care: it
    // gives exactly 1 below).
    const Ints special = (std::bit_cast<Words>(x) - 0x00800000u) >= (0x7f800000u - 0x00800000u);
    constexpr double kSize = tables::kExpSize;
    const Doubles shifted = t * kSize + power_fast::kShifter;
    const Doubles rounded = shifted - power_fast::kShifter;
    // The integer sits in the low bits of the shifted value's significand.
    const Longs kd = std::bit_cast<Longs>(shifted) - std::bit_cast<int64_t>(power_fast::kShifter);
    const Longs j = kd & (tables::kExpSize - 1);
    // 2^n with n = (kd - j) / 8, built as (n + 1023) << 52 by shifts only.
    const Longs scale_bits = ((kd - j) << (52 - tables::kExpBits)) + (int64_t{1023} << 52);
    const Doubles s = t - rounded * (1.0 / kSize);
    const Doubles exp2_j = lookup(lane_tables.exp2, j);
    const Doubles fast = (exp2_j * power_fast::exp2_small(s)) * std::bit_cast<Doubles>(scale_bits);

    const Doubles magnitude = t < 0.0 ? -t : t;
    const Doubles spread = fast * ((magnitude + 1.0) * power_fast::kBoundPerUnit + power_fast::kEndRounding);
    const Floats low = __builtin_convertvector(fast - spread, Floats);
    const Floats high = __builtin_convertvector(fast + spread, Floats);
    undecided = (low != high) | special;
    return low;
}

// values[0 ... kWidth - 1] = 2^t, the undecided lanes by the scalar power().
inline void power_vector(float* values, Doubles t, float y, const LaneTables& lane_tables) {
    Floats x;
    std::memcpy(&x, values, sizeof x);
    Ints undecided;
    const Floats result = power_lanes(x, t, lane_tables, undecided);
    std::memcpy(values, &result, sizeof result);
    if (!any_lane(undecided)) return;
    for (int lane = 0; lane < kWidth; ++lane)
        if (undecided[lane]) values[lane] = power(x[lane], y);
}

}  // namespace power_row_detail

// values[i] = power(values[i], y) for i < count.
inline void power_row(float* values, size_t count, float y) {
    using namespace power_row_detail;
    size_t i = 0;
    const bool regular = y == y && y != 0.0f && y - y == 0.0f;  // finite and not zero
    if (regular) {
        const LaneTables lane_tables;
        // The exponents of a chunk first, then their powers: two short chains
        // of dependent operations overlap better than one long one.
        constexpr size_t kChunk = 16 * kWidth;
        for (; i + kChunk <= count; i += kChunk) {
            Doubles t[kChunk / kWidth];
            for (size_t v = 0; v < kChunk / kWidth; ++v) {
                Floats x;
                std::memcpy(&x, values + i + v * kWidth, sizeof x);
                t[v] = exponent_lanes(x, y, lane_tables);
            }
            for (size_t v = 0; v < kChunk / kWidth; ++v)
                power_vector(values + i + v * kWidth, t[v], y, lane_tables);
        }
        for (; i + kWidth <= count; i += kWidth) {
            Floats x;
            std::memcpy(&x, values + i, sizeof x);
            power_vector(values + i, exponent_lanes(x, y, lane_tables), y, lane_tables);
        }
    }
    for (; i < count; ++i)
        values[i] = power(values[i], y);
}

}  // namespace orvex::ORVEX_ISA
