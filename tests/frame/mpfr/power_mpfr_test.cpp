// The correctly rounded power function against MPFR: its tables, the special
// values of C's powf, the exact and halfway cases, and ten million random
// pairs over the brightness range [0, 1] and exponents in [-8, 16].
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "frame/power.h"
#include "frame/power_tables.h"
#include "image_util.h"
#include "mpfr_power.h"

namespace orvex::testing {
namespace {

namespace tables = power_tables;

// The double-double nearest to an MPFR value: hi and lo each rounded to
// nearest.
dd::DoubleDouble nearest_double_double(const mpfr_t value) {
    mpfr_t rest;
    mpfr_init2(rest, 400);
    const double hi = mpfr_get_d(value, MPFR_RNDN);
    mpfr_sub_d(rest, value, hi, MPFR_RNDN);
    const double lo = mpfr_get_d(rest, MPFR_RNDN);
    mpfr_clear(rest);
    return {hi + 0.0, lo + 0.0};  // +0.0 turns -0 into 0
}

// The tables as they must be. inverse_c is the multiple of 2^-21 nearest to
// the reciprocal of the interval's centre, or 1 for the interval holding 1.
struct ExpectedTables {
    tables::LogEntry log[tables::kLogSize];
    dd::DoubleDouble exp2[tables::kExpSize];
    dd::DoubleDouble ln2;
    dd::DoubleDouble inverse_ln2;

    ExpectedTables() {
        mpfr_t v;
        mpfr_init2(v, 400);
        constexpr uint32_t kStep = uint32_t{1} << (23 - tables::kLogBits);
        for (int i = 0; i < tables::kLogSize; ++i) {
            const double low = std::bit_cast<float>(tables::kLogOffset + i * kStep);
            const double high = std::bit_cast<float>(tables::kLogOffset + (i + 1) * kStep);
            const double inverse_c =
                low <= 1.0 && 1.0 < high ? 1.0 : std::nearbyint(0x1p21 / ((low + high) / 2)) / 0x1p21;
            mpfr_set_d(v, inverse_c, MPFR_RNDN);
            mpfr_log2(v, v, MPFR_RNDN);
            mpfr_neg(v, v, MPFR_RNDN);
            log[i] = {inverse_c, nearest_double_double(v)};
        }
        for (int j = 0; j < tables::kExpSize; ++j) {
            mpfr_set_d(v, static_cast<double>(j) / tables::kExpSize, MPFR_RNDN);
            mpfr_exp2(v, v, MPFR_RNDN);
            exp2[j] = nearest_double_double(v);
        }
        mpfr_const_log2(v, MPFR_RNDN);
        ln2 = nearest_double_double(v);
        mpfr_ui_div(v, 1, v, MPFR_RNDN);
        inverse_ln2 = nearest_double_double(v);
        mpfr_clear(v);
    }

    void print() const {
        std::printf("const LogEntry kLog[kLogSize] = {\n");
        for (const tables::LogEntry& e : log)
            std::printf("    {%a, {%a, %a}},\n", e.inverse_c, e.log2_c.hi, e.log2_c.lo);
        std::printf("};\n\nconst dd::DoubleDouble kExp2[kExpSize] = {\n");
        for (const dd::DoubleDouble& e : exp2)
            std::printf("    {%a, %a},\n", e.hi, e.lo);
        std::printf("};\n\nconst dd::DoubleDouble kLn2 = {%a, %a};\n", ln2.hi, ln2.lo);
        std::printf("const dd::DoubleDouble kInverseLn2 = {%a, %a};\n", inverse_ln2.hi, inverse_ln2.lo);
    }
};

void expect_same(const dd::DoubleDouble& actual, const dd::DoubleDouble& expected, const char* what, int index) {
    EXPECT_EQ(actual.hi, expected.hi) << what << " " << index;
    EXPECT_EQ(actual.lo, expected.lo) << what << " " << index;
}

// ORVEX_PRINT_POWER_TABLES=1 prints the tables for src/frame/power_tables.cpp.
TEST(PowerTables, EveryEntryIsTheNearestDoubleDouble) {
    const ExpectedTables expected;
    if (std::getenv("ORVEX_PRINT_POWER_TABLES") != nullptr) expected.print();
    for (int i = 0; i < tables::kLogSize; ++i) {
        EXPECT_EQ(tables::kLog[i].inverse_c, expected.log[i].inverse_c) << "inverse_c " << i;
        expect_same(tables::kLog[i].log2_c, expected.log[i].log2_c, "log2_c", i);
    }
    for (int j = 0; j < tables::kExpSize; ++j)
        expect_same(tables::kExp2[j], expected.exp2[j], "exp2", j);
    expect_same(tables::kLn2, expected.ln2, "ln2", 0);
    expect_same(tables::kInverseLn2, expected.inverse_ln2, "1/ln2", 0);
}

// Compares power(x, y) with MPFR bit for bit (all NaNs alike); reports the
// first few differences and returns their count.
class Comparison {
public:
    void check(float x, float y) {
        ++count_;
        const float actual = power(x, y);
        const float expected = reference_(x, y);
        const bool same = std::isnan(expected) ? std::isnan(actual) : bits_of(actual) == bits_of(expected);
        if (same) return;
        if (++mismatches_ <= 10)
            ADD_FAILURE() << std::hexfloat << "power(" << x << ", " << y << ") = " << actual << ", MPFR gives "
                          << expected;
    }
    uint64_t mismatches() const { return mismatches_; }
    uint64_t count() const { return count_; }

private:
    MpfrPower reference_;
    uint64_t mismatches_ = 0;
    uint64_t count_ = 0;
};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Power, SpecialValuesFollowCsPowf) {
    const float xs[] = {0.0f,  -0.0f, 1.0f,  -1.0f,     kInf,       -kInf,           kNaN,  0.5f,
                        -0.5f, 2.0f,  -2.0f, 0x1p-149f, -0x1p-149f, 0x1.fffffep127f, -3.0f, 0.75f};
    const float ys[] = {0.0f, -0.0f, 1.0f, -1.0f,   2.0f,     -2.0f,          3.0f, -3.0f,    0.5f,      -0.5f,
                        kInf, -kInf, kNaN, 0x1p24f, 0x1p-30f, 0x1.000002p24f, 1.5f, 0x1p127f, -0x1p127f, 1e-45f};
    Comparison comparison;
    for (float x : xs)
        for (float y : ys)
            comparison.check(x, y);
    EXPECT_EQ(comparison.mismatches(), 0u);

    EXPECT_EQ(power(kNaN, 0.0f), 1.0f);
    EXPECT_EQ(power(kNaN, -0.0f), 1.0f);
    EXPECT_EQ(power(1.0f, kNaN), 1.0f);
    EXPECT_EQ(power(-1.0f, -kInf), 1.0f);
    EXPECT_EQ(bits_of(power(0.0f, -1.0f)), bits_of(kInf));
    EXPECT_EQ(bits_of(power(-0.0f, -3.0f)), bits_of(-kInf));
    EXPECT_EQ(bits_of(power(-0.0f, -2.0f)), bits_of(kInf));
    EXPECT_EQ(bits_of(power(-0.0f, 3.0f)), bits_of(-0.0f));
    EXPECT_EQ(bits_of(power(-0.0f, 0.5f)), bits_of(0.0f));
    EXPECT_EQ(bits_of(power(0.0f, 2.2f)), bits_of(0.0f));
    EXPECT_TRUE(std::isnan(power(-2.0f, 0.5f)));
    EXPECT_TRUE(std::isnan(power(kNaN, 1.0f)));
    EXPECT_TRUE(std::isnan(power(0.5f, kNaN)));
}

// x^y exactly a float or exactly halfway between two: x = X^(2^s) * 2^a and
// y = n / 2^s give X^n * 2^(a n / 2^s); odd X^n of 25 bits is a midpoint.
TEST(Power, ExactAndHalfwayResults) {
    Comparison comparison;
    for (uint32_t odd = 1; odd < 6000; odd += 2) {
        for (int s = 0; s <= 3; ++s) {
            uint64_t base = odd;
            for (int i = 0; i < s; ++i)
                base *= base;
            if (base >= (uint64_t{1} << 24)) break;
            for (int n = 1; n <= 40; ++n) {
                const float y = static_cast<float>(n) / static_cast<float>(1 << s);
                for (int a : {-160, -149, -130, -100, -60, -31, -24, -8, -2, 0, 3, 9})
                    comparison.check(std::ldexp(static_cast<float>(base), a - 24), y);
            }
        }
    }
    // Powers of two to any exponent that makes the result a power of two,
    // among them 2^-150 (halfway to 0, rounds to 0) and 2^-149.
    for (int a = -149; a <= 0; ++a)
        for (int n = -300; n <= 300; ++n)
            for (float fraction : {1.0f, 0.5f, 0.25f, 0.125f, 1.0f / 3, 1.5f})
                comparison.check(std::ldexp(1.0f, a), static_cast<float>(n) * fraction);
    EXPECT_EQ(comparison.mismatches(), 0u);
    EXPECT_EQ(power(0x1p-100f, 1.5f), 0.0f);           // 2^-150: the tie goes to 0
    EXPECT_EQ(power(0x1.001p-1f, 2.0f), 0x1.002p-2f);  // 0x1.002001p-2 is halfway: to even
    EXPECT_GT(comparison.count(), 1000000u);
}

// Ten million random pairs in four shards of 2.5 million (so that CTest can
// run them side by side). t over [0, 1]: every third sample a uniform bit
// pattern (so subnormals and ±0 come up), the others uniform values; the
// exponent uniform in [-8, 16], every fourth one a bit pattern in that range
// (so tiny exponents come up).
class RandomPairs : public ::testing::TestWithParam<int> {};

TEST_P(RandomPairs, MatchMpfr) {
    std::mt19937_64 generator(20261208 + GetParam());
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_real_distribution<float> exponent(-8.0f, 16.0f);
    std::uniform_int_distribution<uint32_t> unit_bits(0, 0x3f800000u);
    std::uniform_int_distribution<uint32_t> any_bits;
    Comparison comparison;
    for (int i = 0; i < 2'500'000; ++i) {
        float x = i % 3 == 0 ? std::bit_cast<float>(unit_bits(generator)) : unit(generator);
        if (x == 0.0f && (generator() & 1) != 0) x = -0.0f;
        float y = exponent(generator);
        if (i % 4 == 0) {
            const float candidate = std::bit_cast<float>(any_bits(generator));
            if (candidate >= -8.0f && candidate <= 16.0f) y = candidate;
        }
        comparison.check(x, y);
    }
    EXPECT_EQ(comparison.mismatches(), 0u);
}

INSTANTIATE_TEST_SUITE_P(TenMillion, RandomPairs, ::testing::Range(0, 4));

}  // namespace
}  // namespace orvex::testing
