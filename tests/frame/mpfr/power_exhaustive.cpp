// Checks power(t, gamma) for every float t in [0, 1] (±0, subnormals and 1
// included) against MPFR, for the exponents given on the command line or
// 1/2.4, 1/2.2, 0.5, 2, 2.2, 2.4 and 3.
//
// MPFR is called only where a cheaper check cannot decide. The C runtime's
// double pow(t, gamma) (glibc: below 1 ULP of a double, 0.52 documented) is
// taken with a margin of 4 ULP, 2^-50 relative: where the result is a normal
// double and both ends of that interval round to the same float, that float
// is x^y correctly rounded, since the exact value lies inside. Everything
// else (results near a rounding boundary, zero, subnormal or out of range)
// goes to MPFR.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "frame/power.h"
#include "image_util.h"
#include "mpfr_power.h"

namespace {

using orvex::testing::bits_of;

struct Tally {
    uint64_t checked = 0;
    uint64_t by_mpfr = 0;
    uint64_t mismatches = 0;
};

void check_range(float gamma, uint32_t first, uint32_t last, Tally& tally) {
    orvex::testing::MpfrPower reference;
    for (uint32_t bits = first; bits <= last; ++bits) {
        for (const float t : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
            if (t < 0.0f || (t == 0.0f && bits != 0)) continue;  // -0 only once
            const float ours = orvex::power(t, gamma);
            const double p = std::pow(static_cast<double>(t), static_cast<double>(gamma));
            float expected;
            const float low = static_cast<float>(p - p * 0x1p-50);
            if (std::isnormal(p) && low == static_cast<float>(p + p * 0x1p-50)) {
                expected = low;
            } else {
                expected = reference(t, gamma);
                ++tally.by_mpfr;
            }
            ++tally.checked;
            if (bits_of(ours) != bits_of(expected)) {
                if (++tally.mismatches <= 10)
                    std::printf("mismatch: power(%a, %a) = %a, expected %a\n", t, gamma, ours, expected);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<float> gammas;
    for (int i = 1; i < argc; ++i)
        gammas.push_back(std::strtof(argv[i], nullptr));
    if (gammas.empty()) gammas = {1.0f / 2.4f, 1.0f / 2.2f, 0.5f, 2.0f, 2.2f, 2.4f, 3.0f};
    constexpr uint32_t kOne = 0x3f800000;
    const unsigned threads = 2;
    uint64_t total_mismatches = 0;
    for (float gamma : gammas) {
        std::vector<Tally> tallies(threads);
        std::vector<std::thread> workers;
        for (unsigned w = 0; w < threads; ++w) {
            const uint32_t first = static_cast<uint32_t>(uint64_t{kOne + 1} * w / threads);
            const uint32_t last = static_cast<uint32_t>(uint64_t{kOne + 1} * (w + 1) / threads - 1);
            workers.emplace_back(check_range, gamma, first, last, std::ref(tallies[w]));
        }
        Tally sum;
        for (unsigned w = 0; w < threads; ++w) {
            workers[w].join();
            sum.checked += tallies[w].checked;
            sum.by_mpfr += tallies[w].by_mpfr;
            sum.mismatches += tallies[w].mismatches;
        }
        std::printf("gamma %a (%.9g): %llu values of t checked, %llu by MPFR, %llu mismatches\n", gamma, gamma,
                    static_cast<unsigned long long>(sum.checked), static_cast<unsigned long long>(sum.by_mpfr),
                    static_cast<unsigned long long>(sum.mismatches));
        std::fflush(stdout);
        total_mismatches += sum.mismatches;
    }
    return total_mismatches == 0 ? 0 : 1;
}
