// The fast path of the correctly rounded power function (frame/power.cpp),
// written once for a double and for a vector of doubles (GCC vector
// extensions), so that the scalar and the vector path run the same IEEE
// operations lane by lane. Error bounds are derived in frame/power.cpp.
#pragma once

namespace orvex::power_fast {

// Coefficients (-1)^(n+1) / (n ln 2) of log2(1 + r), n = 1 ... 9.
constexpr double log2_coefficient(int n) { return (n % 2 == 1 ? 0x1.71547652b82fep+0 : -0x1.71547652b82fep+0) / n; }
inline constexpr double kLog2[] = {log2_coefficient(1), log2_coefficient(2), log2_coefficient(3),
                                   log2_coefficient(4), log2_coefficient(5), log2_coefficient(6),
                                   log2_coefficient(7), log2_coefficient(8), log2_coefficient(9)};

// ln(2)^n / n!, n = 1 ... 7, the coefficients of 2^s.
constexpr double exp2_coefficient(int n) {
    double c = 1.0;
    for (int i = 1; i <= n; ++i)
        c = c * 0x1.62e42fefa39efp-1 / i;
    return c;
}
inline constexpr double kExp2[] = {exp2_coefficient(1), exp2_coefficient(2), exp2_coefficient(3),
                                   exp2_coefficient(4), exp2_coefficient(5), exp2_coefficient(6),
                                   exp2_coefficient(7)};

// Relative error bound of the fast result: (|t| + 1) * 2^-45, where t is the
// exponent of two; widened by 2^-52 for the rounding of the interval ends.
inline constexpr double kBoundPerUnit = 0x1p-45;
inline constexpr double kEndRounding = 0x1p-52;

// Rounds t * 8 to an integer (|t| < 2^40).
inline constexpr double kShifter = 0x1.8p52;

// log2(1 + r) for |r| <= 2^-5 + 2^-20: Taylor to degree 9 in Estrin's form,
// which keeps the dependency chain short.
template <class V>
V log2_1p(V r) {
    const V r2 = r * r;
    const V r4 = r2 * r2;
    const V low = (kLog2[0] + r * kLog2[1]) + r2 * (kLog2[2] + r * kLog2[3]);
    const V high = ((kLog2[4] + r * kLog2[5]) + r2 * (kLog2[6] + r * kLog2[7])) + r4 * kLog2[8];
    return r * (low + r4 * high);
}

// 2^s for |s| <= 1/16: Taylor to degree 7 in Estrin's form.
template <class V>
V exp2_small(V s) {
    const V s2 = s * s;
    const V s4 = s2 * s2;
    const V low = (kExp2[0] + s * kExp2[1]) + s2 * (kExp2[2] + s * kExp2[3]);
    const V high = (kExp2[4] + s * kExp2[5]) + s2 * kExp2[6];
    return 1.0 + s * (low + s4 * high);
}

}  // namespace orvex::power_fast
