// Double-double arithmetic: a value held as the unevaluated sum hi + lo of
// two doubles with |lo| <= ulp(hi) / 2, built from IEEE basic operations only
// (no fused multiply-add), so it gives the same bits on every platform and at
// compile time. Error bounds, with u = 2^-53 (Joldes, Muller, Popescu, "Tight
// and rigorous error bounds for basic building blocks of double-word
// arithmetic", 2017, and one extra rounding where these forms skip a fused
// multiply-add): add 3u^2, multiply by a double 3u^2, multiply 7u^2, all
// relative.
#pragma once

namespace orvex::dd {

struct DoubleDouble {
    double hi;
    double lo;
};

// a + b exactly, when a == 0 or |a| >= |b|.
constexpr DoubleDouble fast_two_sum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a + b exactly, whatever their magnitudes.
constexpr DoubleDouble two_sum(double a, double b) {
    const double s = a + b;
    const double b_part = s - a;
    return {s, (a - (s - b_part)) + (b - b_part)};
}

// Veltkamp's split of a into two halves of at most 26 significant bits each.
constexpr DoubleDouble split(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

// a * b exactly (Dekker), for products far from overflow and underflow.
constexpr DoubleDouble two_product(double a, double b) {
    const double p = a * b;
    const DoubleDouble sa = split(a);
    const DoubleDouble sb = split(b);
    const double err = ((sa.hi * sb.hi - p) + sa.hi * sb.lo + sa.lo * sb.hi) + sa.lo * sb.lo;
    return {p, err};
}

constexpr DoubleDouble add(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble s = two_sum(a.hi, b.hi);
    const DoubleDouble t = two_sum(a.lo, b.lo);
    const DoubleDouble u = fast_two_sum(s.hi, s.lo + t.hi);
    return fast_two_sum(u.hi, u.lo + t.lo);
}

constexpr DoubleDouble add(DoubleDouble a, double b) {
    const DoubleDouble s = two_sum(a.hi, b);
    return fast_two_sum(s.hi, s.lo + a.lo);
}

constexpr DoubleDouble mul(DoubleDouble a, double b) {
    const DoubleDouble p = two_product(a.hi, b);
    return fast_two_sum(p.hi, p.lo + a.lo * b);
}

constexpr DoubleDouble mul(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = two_product(a.hi, b.hi);
    return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// 1 / n for a positive integer n below 2^26, to within 2u^2 relative.
constexpr DoubleDouble reciprocal(int n) {
    const double hi = 1.0 / n;
    const DoubleDouble p = two_product(hi, n);
    return {hi, ((1.0 - p.hi) - p.lo) / n};
}

}  // namespace orvex::dd
