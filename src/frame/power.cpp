// Correctly rounded x^y in three steps (Ziv's strategy):
//
// 1. Fast path, in doubles: x^y = 2^t with t = y * log2 x; a rounding test
//    returns the float if the whole error interval around the double result
//    rounds to it.
// 2. Accurate path, in double-double arithmetic, with a relative error far
//    below the distance of any inexact result to a rounding boundary that we
//    know of; the same test with the smaller bound.
// 3. A result still within that bound of a midpoint between two floats is
//    checked exactly: x^y is such a midpoint only for the few (x, y) that
//    exact_power_is() recognises, and then the tie goes to even.
//
// Error bounds (u = 2^-53; "rel" relative to the true value):
//
// Fast log2: x = 2^k z, i the interval of z, r = z * inverse_c - 1 exactly
// (z has 24 significant bits, inverse_c at most 22, and the product lies in
// [0.96, 1.04], so the subtraction is exact), |r| <= 2^-5 + 2^-20. The
// polynomial is the Taylor series of log2(1 + r) to degree 9: truncation
// |r|^9 / 10 <= 2^-48.3 rel, its coefficients and evaluation another 3u, so
// 2^-48 rel. l = (k + log2_c.hi) + p:
//  - k = 0, interval of 1: log2_c = 0 and l = p, 2^-48 rel;
//  - k = 0, other intervals: |l| >= -log2(1 - 2^-6) > 2^-5.46, the absolute
//    error is at most 2^-54 (table) + 2^-52.5 (polynomial, |p| < 0.046) +
//    u |l|, so 2^-46.5 rel;
//  - k != 0: |l| > 0.5 and the error is at most 3u (|k| + 0.5) + 2^-52.5,
//    2^-50 rel.
// t = y * l adds u: |t - y log2 x| <= |t| 2^-46.4. The exp2 step splits
// t = n + j/8 + s exactly (|s| <= 1/16), takes 2^(j/8) to u and 2^s by a
// degree-7 Taylor polynomial to 2^-51.5 + 3u, product and scaling to u:
// 2^-50 rel. In all: |x^y / R - 1| <= ln 2 |t| 2^-46.4 + 2^-49.9, below the
// bound (|t| + 1) 2^-45 that the test uses.
//
// Accurate log2: the same r, log(1 + r) by its Taylor series to degree 21
// (truncation 2^-109.5 rel), terms 11 to 21 in doubles (each below 2^-50 of
// the sum, so their rounding stays below 2^-103), terms 1 to 10 by Horner in
// double-double (2^-103); times 1 / ln 2 (7u^2 + 2^-106): 2^-102 rel. The sum
// k + log2_c + p has table error 2^-107 absolute and two additions of 3u^2
// rel each; where cancellation can occur |L| > 2^-5.46 as above, so L is
// within 2^-100 rel. t = y * L: y * L.hi is exact (two_product), the rest
// adds 2^-104.5 rel: 2^-99.9 rel. Accurate exp2: s = t - (n + j/8) exactly
// in double-double, v = s ln 2 (7u^2 + table 2^-106, |v| <= 2^-4.5), exp(v)
// to degree 14 (truncation 2^-108), terms 9 to 14 in doubles (rounding below
// 2^-104), terms 0 to 8 by Horner in double-double (2^-103), times 2^(j/8)
// (7u^2 + 2^-106): 2^-102 rel. In all: |x^y / R - 1| <= ln 2 |t| 2^-99.9 +
// 2^-102, below (|t| + 1) 2^-97.
//
// The test itself: the double midpoints next to the result are exact; for R
// = hi + lo, d = (hi - m) + lo, with hi - m exact (Sterbenz) and one rounding
// in the addition. If |d| > eps R, the true value lies on d's side of m.
//
// Only x > 0 reaches these steps, with 2^-150.1 < x^y < 2^128.1 (everything
// outside rounds to 0 or overflows, and t is known to far better than 0.1).
#include "frame/power.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "frame/double_double.h"
#include "frame/power_fast.h"
#include "frame/power_tables.h"

namespace orvex {
namespace {

using dd::DoubleDouble;
namespace tables = power_tables;

// 2^e for e in the range of normal doubles.
double power_of_two(int e) { return std::bit_cast<double>(static_cast<uint64_t>(e + 1023) << 52); }

// x > 0 finite as 2^k * z with z in [0x1.68p-1, 0x1.68p+0), and the table
// interval of z.
struct LogArgument {
    int k;
    double z;
    int interval;
};

LogArgument reduce(float x) {
    uint32_t ix = std::bit_cast<uint32_t>(x);
    int adjust = 0;
    if (ix < 0x00800000) {  // subnormal: scale into the normal range
        ix = std::bit_cast<uint32_t>(x * 0x1p23f);
        adjust = -23;
    }
    const uint32_t offset = ix - tables::kLogOffset;
    const int interval = static_cast<int>((offset >> (23 - tables::kLogBits)) % tables::kLogSize);
    const uint32_t top = offset & 0xff800000u;
    const int k = static_cast<int32_t>(top) >> 23;
    return {k + adjust, std::bit_cast<float>(ix - top), interval};
}

double fast_log2(const LogArgument& a, double r) {
    return (a.k + tables::kLog[a.interval].log2_c.hi) + power_fast::log2_1p(r);
}

// t split as n + j / 8 + s: 2^t = 2^n * 2^(j/8) * 2^s, |s| <= 1/16.
struct Exp2Argument {
    int n;
    int j;
    double s;
};

Exp2Argument split_exponent(double t) {
    constexpr double kSize = tables::kExpSize;
    const double rounded = (t * kSize + power_fast::kShifter) - power_fast::kShifter;
    const int kd = static_cast<int>(rounded);
    return {kd >> tables::kExpBits, kd & (tables::kExpSize - 1), t - rounded * (1.0 / kSize)};
}

double fast_exp2(double t) {
    const Exp2Argument a = split_exponent(t);
    return (tables::kExp2[a.j].hi * power_fast::exp2_small(a.s)) * power_of_two(a.n);
}

// (-1)^(n+1) / n for n = 1 ... 10: the terms of log(1 + r) kept in
// double-double.
constexpr DoubleDouble log_term(int n) {
    const DoubleDouble c = dd::reciprocal(n);
    return n % 2 == 1 ? c : DoubleDouble{-c.hi, -c.lo};
}
constexpr DoubleDouble kLogTerms[] = {log_term(1), log_term(2), log_term(3), log_term(4), log_term(5),
                                      log_term(6), log_term(7), log_term(8), log_term(9), log_term(10)};

DoubleDouble accurate_log2(const LogArgument& a, double r) {
    // log(1 + r): terms 21 down to 11 in doubles, 10 down to 1 in
    // double-double.
    double tail = 1.0 / 21;
    for (int n = 20; n >= 11; --n)
        tail = (n % 2 == 1 ? 1.0 / n : -1.0 / n) + r * tail;
    DoubleDouble p{tail, 0.0};
    for (int n = 9; n >= 0; --n)
        p = dd::add(dd::mul(p, r), kLogTerms[n]);
    p = dd::mul(dd::mul(p, r), tables::kInverseLn2);
    const DoubleDouble& c = tables::kLog[a.interval].log2_c;
    return dd::add(dd::add(dd::two_sum(a.k, c.hi), c.lo), p);
}

constexpr double factorial(int n) { return n <= 1 ? 1.0 : n * factorial(n - 1); }
// 1 / n! for n = 0 ... 8, in double-double.
constexpr DoubleDouble kExpTerms[] = {dd::reciprocal(1),   dd::reciprocal(1),    dd::reciprocal(2),
                                      dd::reciprocal(6),   dd::reciprocal(24),   dd::reciprocal(120),
                                      dd::reciprocal(720), dd::reciprocal(5040), dd::reciprocal(40320)};

DoubleDouble accurate_exp2(DoubleDouble t) {
    const Exp2Argument a = split_exponent(t.hi);
    const DoubleDouble v = dd::mul(dd::two_sum(a.s, t.lo), tables::kLn2);
    // exp(v): terms 14 down to 9 in doubles, 8 down to 0 in double-double.
    double tail = 1.0 / factorial(14);
    for (int n = 13; n >= 9; --n)
        tail = 1.0 / factorial(n) + v.hi * tail;
    DoubleDouble e{tail, 0.0};
    for (int n = 8; n >= 0; --n)
        e = dd::add(dd::mul(e, v), kExpTerms[n]);
    const DoubleDouble scaled = dd::mul(e, tables::kExp2[a.j]);
    const double scale = power_of_two(a.n);
    return {scaled.hi * scale, scaled.lo * scale};
}

// The midpoints between the float nearest to a double and its neighbours.
struct Midpoints {
    float nearest;
    double below;  // 0 when nearest is 0
    double above;  // +inf when nearest is +inf
};

Midpoints midpoints_around(double r) {
    const float f = static_cast<float>(r);
    const uint32_t bits = std::bit_cast<uint32_t>(f);
    if (bits == 0x7f800000u) return {f, 0x1.ffffffp127, INFINITY};
    const int exponent = static_cast<int>(bits >> 23);
    const double half_ulp = power_of_two((exponent == 0 ? 1 : exponent) - 127 - 24);
    const bool power_of_two_below = exponent > 1 && (bits & 0x7fffffu) == 0;
    const double below = f == 0.0f ? 0.0 : f - (power_of_two_below ? half_ulp / 2 : half_ulp);
    return {f, below, f + half_ulp};
}

struct Rounding {
    bool decided;
    float value;      // when decided
    double midpoint;  // when not decided: the midpoint the value may equal
};

// Rounds the positive hi + lo, known to within eps relative, to float.
Rounding round_to_float(double hi, double lo, double eps) {
    const Midpoints m = midpoints_around(hi);
    const double tolerance = eps * hi;
    const double above = (hi - m.above) + lo;
    const double below = (hi - m.below) + lo;
    if (std::abs(above) <= tolerance) return {false, 0.0f, m.above};
    if (std::abs(below) <= tolerance) return {false, 0.0f, m.below};
    if (above > 0) return {true, std::bit_cast<float>(std::bit_cast<uint32_t>(m.nearest) + 1), 0.0};
    if (below < 0) return {true, std::bit_cast<float>(std::bit_cast<uint32_t>(m.nearest) - 1), 0.0};
    return {true, m.nearest, 0.0};
}

// x = odd * 2^exponent.
template <class Int>
void decompose(double x, Int& odd, int& exponent) {
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    uint64_t significand = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    exponent = static_cast<int>(bits >> 52) - 1075;
    while ((significand & 1) == 0) {
        significand >>= 1;
        ++exponent;
    }
    odd = static_cast<Int>(significand);
}

// Whether x^y equals m exactly, for x > 0 normal or subnormal, m > 0 a
// midpoint between floats (at most 25 significant bits). With x = X 2^a and
// m = M 2^b (X, M odd): if X = 1, x^y = 2^(a y) is a power of two exactly
// when a y is an integer. Otherwise x^y is a dyadic number only if y > 0 has
// the form n / 2^s with X a perfect 2^s-th power; then x^y = (X^(1/2^s))^n
// 2^(a n / 2^s), and X^(1/2^s) >= 3 with M < 2^25 needs s <= 3 and n <= 15.
bool exact_power_is(float x, float y, double m) {
    uint64_t odd_m;
    int b;
    decompose(m, odd_m, b);
    uint64_t odd_x;
    int a;
    decompose(static_cast<double>(x), odd_x, a);
    if (odd_x == 1) {
        const double exponent = a * static_cast<double>(y);  // exact: 8 by 24 bits
        return odd_m == 1 && exponent == b;
    }
    if (!(y > 0.0f && y <= 15.0f)) return false;
    double n = y;
    for (int s = 0; n != static_cast<double>(static_cast<int>(n)); ++s) {
        const double root = std::sqrt(static_cast<double>(odd_x));
        if (s == 3 || a % 2 != 0 || root * root != static_cast<double>(odd_x)) return false;
        odd_x = static_cast<uint64_t>(root);
        a /= 2;
        n *= 2;
    }
    if (n > 15) return false;
    uint64_t p = 1;
    for (int i = 0; i < static_cast<int>(n) && p < (uint64_t{1} << 25); ++i)
        p *= odd_x;
    return p == odd_m && a * static_cast<int>(n) == b;
}

// |x|^y for finite x != 0, y != 0 and x != 1, rounded to float.
float power_of_magnitude(float x, float y) {
    const LogArgument a = reduce(x);
    const double r = a.z * tables::kLog[a.interval].inverse_c - 1.0;
    const double t = y * fast_log2(a, r);
    if (t > 128.1) return INFINITY;
    if (t < -150.1) return 0.0f;

    // Both ends of the error interval round alike; the bound is widened by
    // 2^-52 to cover the rounding of the ends themselves.
    const double fast = fast_exp2(t);
    const double spread = fast * ((std::abs(t) + 1.0) * power_fast::kBoundPerUnit + power_fast::kEndRounding);
    const float low = static_cast<float>(fast - spread);
    if (low == static_cast<float>(fast + spread)) return low;

    const DoubleDouble log2_x = accurate_log2(a, r);
    const DoubleDouble product = dd::two_product(y, log2_x.hi);
    const DoubleDouble exact_t = dd::fast_two_sum(product.hi, product.lo + y * log2_x.lo);
    const DoubleDouble result = accurate_exp2(exact_t);
    const Rounding accurate = round_to_float(result.hi, result.lo, (std::abs(t) + 1.0) * 0x1p-97);
    if (accurate.decided) return accurate.value;
    if (exact_power_is(x, y, accurate.midpoint)) return static_cast<float>(accurate.midpoint);
    // Not met for any input we know of: an inexact x^y this close to a
    // midpoint. The double-double value decides its side.
    const Rounding side = round_to_float(result.hi, result.lo, 0.0);
    return side.decided ? side.value : static_cast<float>(side.midpoint);
}

bool is_integer(float y) { return std::abs(y) >= 0x1p23f || static_cast<float>(static_cast<int32_t>(y)) == y; }

bool is_odd_integer(float y) { return std::abs(y) < 0x1p24f && is_integer(y) && static_cast<int32_t>(y) % 2 != 0; }

}  // namespace

float power(float x, float y) {
    const float magnitude = std::abs(x);
    if (y == 0.0f || x == 1.0f) return 1.0f;
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (std::isinf(y)) {
        if (magnitude == 1.0f) return 1.0f;
        return (magnitude < 1.0f) == (y < 0.0f) ? INFINITY : 0.0f;
    }
    const bool negative = std::signbit(x) && is_odd_integer(y);
    if (magnitude == 0.0f || std::isinf(x)) {
        const bool large = (magnitude == 0.0f) == (y < 0.0f);
        const float result = large ? INFINITY : 0.0f;
        return negative ? -result : result;
    }
    if (x < 0.0f && !is_integer(y)) return NAN;
    const float result = power_of_magnitude(magnitude, y);
    return negative ? -result : result;
}

}  // namespace orvex
