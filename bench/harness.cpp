#include "harness.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "frame/isa.h"

namespace orvex::bench {
namespace {

struct Registered {
    CaseOptions options;
};

std::map<std::string, Registered>& registry() {
    static std::map<std::string, Registered> cases;
    return cases;
}

std::string memcpy_name(uint64_t bytes) { return "memcpy/" + std::to_string(bytes) + "B"; }

void register_memcpy(uint64_t bytes) {
    const std::string name = memcpy_name(bytes);
    if (registry().count(name)) return;
    registry()[name] = {CaseOptions{bytes, "byte", 0, false}};
    benchmark::RegisterBenchmark(name.c_str(),
                                 [bytes](benchmark::State& state) {
                                     std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
                                     for (auto _ : state) {
                                         std::memcpy(to.data(), from.data(), bytes);
                                         benchmark::DoNotOptimize(to.data());
                                         benchmark::ClobberMemory();
                                     }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void register_one(const std::string& name, const CaseOptions& options, CaseSetup setup, int isa) {
    registry()[name] = {options};
    benchmark::RegisterBenchmark(name.c_str(),
                                 [setup, isa](benchmark::State& state) {
                                     if (isa >= 0 && !force_isa(static_cast<Isa>(isa))) {
                                         state.SkipWithError("instruction set not supported");
                                         return;
                                     }
                                     const std::function<void()> run = setup();
                                     for (auto _ : state) {
                                         run();
                                         benchmark::ClobberMemory();
                                     }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

// Prints the usual console lines, then one summary line per case.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-52s %14s %12s\n", "case", "ns per unit", "x memcpy");
        for (const auto& [name, seconds] : seconds_) {
            const auto found = registry().find(name);
            if (found == registry().end()) continue;
            const CaseOptions& options = found->second.options;
            const double ns = seconds * 1e9 / static_cast<double>(options.units);
            std::printf("%-52s %10.3f/%-5s", name.c_str(), ns, options.unit);
            const auto reference = seconds_.find(memcpy_name(options.memcpy_bytes));
            if (options.memcpy_bytes != 0 && reference != seconds_.end())
                std::printf(" %10.2f", seconds / reference->second);
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

void add_case(const std::string& name, const CaseOptions& options, CaseSetup setup) {
    if (options.memcpy_bytes != 0) register_memcpy(options.memcpy_bytes);
    if (!options.per_isa) {
        register_one(name, options, std::move(setup), -1);
        return;
    }
    for (Isa isa : kAllIsas)
        if (isa_supported(isa)) register_one(name + "/" + isa_name(isa), options, setup, static_cast<int>(isa));
}

template <class T>
Image<T>::Image(uint64_t height, uint64_t width, uint64_t channels) : samples(height * width * channels) {
    desc.data = samples.data();
    desc.height = height;
    desc.width = width;
    desc.channels = channels;
    desc.dtype = sizeof(T) == 1 ? ORVEX_DTYPE_UINT8 : sizeof(T) == 2 ? ORVEX_DTYPE_UINT16 : ORVEX_DTYPE_FLOAT32;
}
template struct Image<uint8_t>;
template struct Image<uint16_t>;
template struct Image<float>;

void fill_pattern(float* data, size_t n, float low, float high) {
    const float step = (high - low) / 997.0f;
    for (size_t i = 0; i < n; ++i)
        data[i] = low + step * static_cast<float>((i * 7919) % 998);
}

void fill_pattern(uint16_t* data, size_t n, uint16_t low, uint16_t high) {
    const size_t span = static_cast<size_t>(high - low) + 1;
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint16_t>(low + (i * 7919) % span);
}

void fill_pattern(uint8_t* data, size_t n, uint8_t low, uint8_t high) {
    const size_t span = static_cast<size_t>(high - low) + 1;
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(low + (i * 7919) % span);
}

}  // namespace orvex::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    orvex::bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
