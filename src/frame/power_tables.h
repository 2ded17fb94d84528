// Tables of the correctly rounded power function. Every value is the double
// (or the double-double hi + lo, each part rounded to nearest) nearest to an
// exactly defined real number; tests/frame/mpfr checks each entry against
// MPFR and prints the tables anew when they are asked for.
#pragma once

#include <cstdint>

#include "frame/double_double.h"

namespace orvex::power_tables {

// log2 of a positive float x = 2^k * z splits z in [0x1.68p-1, 0x1.68p+0)
// (the float bits from kLogOffset on) into kLogSize intervals by the top bits
// of its significand; the interval of 1 is [1 - 2^-6, 1 + 2^-5). Interval i
// has a reciprocal of its centre, inverse_c, a multiple of 2^-21 (exactly 1
// for the interval of 1), so that z * inverse_c is exact and
// z * inverse_c - 1 lies within 2^-5 + 2^-20 of 0; and log2_c =
// -log2(inverse_c).
inline constexpr uint32_t kLogOffset = 0x3f340000;
inline constexpr int kLogBits = 4;
inline constexpr int kLogSize = 1 << kLogBits;

struct LogEntry {
    double inverse_c;
    dd::DoubleDouble log2_c;
};
extern const LogEntry kLog[kLogSize];

// 2^(j / kExpSize) for j = 0 ... kExpSize - 1.
inline constexpr int kExpBits = 3;
inline constexpr int kExpSize = 1 << kExpBits;
extern const dd::DoubleDouble kExp2[kExpSize];

// ln 2 and 1 / ln 2.
extern const dd::DoubleDouble kLn2;
extern const dd::DoubleDouble kInverseLn2;

}  // namespace orvex::power_tables
