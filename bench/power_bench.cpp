// Cost of the correctly rounded power function, per call, next to the C
// runtime's powf, and of the profile gain table with gamma 2.2 on every
// instruction set this CPU supports (Google Benchmark: orvex_bench --micro).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "frame/isa.h"
#include "frame/power.h"
#include "orvex.h"

namespace {

constexpr float kGamma = 2.2f;

std::vector<float> brightness_values(size_t count) {
    std::mt19937 generator(14);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> values(count);
    for (float& v : values)
        v = unit(generator);
    return values;
}

template <float (*Power)(float, float)>
void power_per_call(benchmark::State& state) {
    const std::vector<float> values = brightness_values(4096);
    for (auto _ : state) {
        for (float v : values)
            benchmark::DoNotOptimize(Power(v, kGamma));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

float c_runtime_powf(float x, float y) { return std::pow(x, y); }

BENCHMARK_TEMPLATE(power_per_call, orvex::power)->Name("power/correctly_rounded");
BENCHMARK_TEMPLATE(power_per_call, c_runtime_powf)->Name("power/c_runtime_powf");

// 1024 x 1024 pixels, a 17 x 17 map of 32 table points, gamma 2.2; the image
// is restored from a copy outside the timing.
void profile_gain_table(benchmark::State& state) {
    const auto isa = static_cast<orvex::Isa>(state.range(0));
    if (!orvex::force_isa(isa)) {
        state.SkipWithError("instruction set not supported");
        return;
    }
    constexpr int32_t kSide = 1024;
    constexpr int32_t kMap = 17;
    constexpr int32_t kPoints = 32;
    const std::vector<float> source = brightness_values(size_t{3} * kSide * kSide);
    std::vector<float> pixels = source;
    std::vector<float> table(kMap * kMap * kPoints);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = 1.0f + 0.05f * std::sin(static_cast<float>(i) * 0.11f);
    const float weights[5] = {0.25f, 0.5f, 0.125f, 0.0625f, 0.0625f};
    const float spacing = 1.0f / (kMap - 1);
    orvex_image image{pixels.data(), kSide, kSide, 3, ORVEX_DTYPE_FLOAT32, 0, 0};
    for (auto _ : state) {
        state.PauseTiming();
        pixels = source;
        state.ResumeTiming();
        orvex_apply_profile_gain_table_map(&image, table.data(), kMap, kMap, spacing, spacing, 0.0f, 0.0f, kPoints,
                                           weights, kGamma, 1.0f);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    orvex::force_isa(orvex::Isa::baseline);
}

BENCHMARK(profile_gain_table)
    ->Name("profile_gain_table/1024x1024_gamma_2.2/isa")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
