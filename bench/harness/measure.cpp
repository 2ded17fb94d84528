#include "harness/measure.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace orvex::bench {
namespace {

double process_cpu_ns() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

double page_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt) + static_cast<double>(usage.ru_majflt);
}

}  // namespace

Sample measure(const std::function<void()>& call, uint64_t calls) {
    const double faults_before = page_faults();
    const double cpu_before = process_cpu_ns();
    const auto wall_before = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < calls; ++i)
        call();
    const auto wall_after = std::chrono::steady_clock::now();
    const double cpu_after = process_cpu_ns();
    const double faults_after = page_faults();
    const double n = static_cast<double>(calls);
    return {std::chrono::duration<double, std::nano>(wall_after - wall_before).count() / n,
            (cpu_after - cpu_before) / n, (faults_after - faults_before) / n};
}

std::vector<std::vector<Sample>> run_rounds(const std::vector<Contender>& contenders,
                                            const RoundsOptions& options) {
    if (options.rounds < 1) throw std::invalid_argument("at least one round is needed");
    const size_t n = contenders.size();
    std::vector<std::vector<Sample>> samples(n, std::vector<Sample>(static_cast<size_t>(options.rounds)));
    std::vector<uint64_t> calls_per_sample(n, 1);
    for (size_t c = 0; c < n; ++c) {
        if (contenders[c].prepare) contenders[c].prepare();
        const Sample warm_up = measure(contenders[c].call, 1);
        if (warm_up.wall_ns < options.min_sample_ns)
            calls_per_sample[c] =
                static_cast<uint64_t>(std::ceil(options.min_sample_ns / std::max(warm_up.wall_ns, 1.0)));
    }
    for (size_t r = 0; r < static_cast<size_t>(options.rounds); ++r)
        for (size_t k = 0; k < n; ++k) {
            const size_t c = (r + k) % n;
            if (contenders[c].prepare) contenders[c].prepare();
            samples[c][r] = measure(contenders[c].call, calls_per_sample[c]);
        }
    return samples;
}

double minimum(std::vector<double> values) { return *std::min_element(values.begin(), values.end()); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double median_ratio(const std::vector<double>& numerator, const std::vector<double>& denominator) {
    std::vector<double> ratios(numerator.size());
    for (size_t i = 0; i < ratios.size(); ++i)
        ratios[i] = numerator[i] / denominator[i];
    return median(std::move(ratios));
}

}  // namespace orvex::bench
