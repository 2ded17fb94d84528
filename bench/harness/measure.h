// Timing core of the benchmark driver. A comparison is a list of contenders
// (an export per instruction set, a memcpy of the same bytes, a peer library's
// call). Each contender is first run once untimed, which maps and warms every
// page it touches and pays any one-time set-up; then rounds follow, and in
// each round every contender is timed once in turn, so that a ratio between
// two contenders of the same round sees the same load on a shared machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvex::bench {

// One timed sample, per call.
struct Sample {
    double wall_ns = 0;  // steady clock
    double cpu_ns = 0;   // CPU time of the whole process (every thread)
    double faults = 0;   // page faults (minor and major) taken while timed
};

struct Contender {
    std::string name;
    std::function<void()> prepare;  // untimed, before each sample (may be empty)
    std::function<void()> call;     // timed
};

// Times `calls` back-to-back calls and returns the per-call averages.
Sample measure(const std::function<void()>& call, uint64_t calls);

struct RoundsOptions {
    int rounds = 9;
    // A sample repeats the call until it is expected to last this long, so
    // that very short calls are not lost in the clocks' resolution.
    double min_sample_ns = 1e6;
};

// samples[c][r]: contender c in round r. Round r starts with contender
// r mod n, so no contender always runs first.
std::vector<std::vector<Sample>> run_rounds(const std::vector<Contender>& contenders, const RoundsOptions& options);

double minimum(std::vector<double> values);
double median(std::vector<double> values);
// The median over rounds of numerator[r] / denominator[r].
double median_ratio(const std::vector<double>& numerator, const std::vector<double>& denominator);

}  // namespace orvex::bench
