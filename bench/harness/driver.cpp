#include "harness/driver.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <optional>

#include "frame/isa.h"

namespace orvex::bench {
namespace {

struct Figures {
    std::vector<double> cpu, wall, faults;
};

Figures figures(const std::vector<Sample>& samples, double units) {
    Figures result;
    for (const Sample& sample : samples) {
        result.cpu.push_back(sample.cpu_ns / units);
        result.wall.push_back(sample.wall_ns / units);
        result.faults.push_back(sample.faults);
    }
    return result;
}

Row named_row(const std::string& name, std::string code, const CaseOptions& options) {
    const size_t slash = name.find('/');
    Row row;
    row.export_name = "orvex_" + name.substr(0, slash);
    row.variant = slash == std::string::npos ? "" : name.substr(slash + 1);
    row.code = std::move(code);
    row.unit = options.per_call ? "call" : "px";
    return row;
}

void set_figures(Row& row, const Figures& own) {
    row.cpu_median_ns = median(own.cpu);
    row.cpu_min_ns = minimum(own.cpu);
    row.wall_median_ns = median(own.wall);
    row.wall_min_ns = minimum(own.wall);
    row.faults_per_call = median(own.faults);
}

}  // namespace

std::vector<Row> run_case(const Case& bench_case, const Size& size, const RoundsOptions& options) {
    const CaseOptions& case_options = bench_case.options;
    const Prepared prepared = bench_case.setup(size);

    orvex_status unexpected = case_options.expected;
    std::vector<Contender> contenders;
    for (Isa isa : kAllIsas)
        if (isa_supported(isa))
            contenders.push_back({isa_name(isa), [isa] { force_isa(isa); },
                                  [&] {
                                      const orvex_status status = prepared.call();
                                      if (status != case_options.expected) unexpected = status;
                                  }});
    const size_t isa_count = contenders.size();

    const size_t copy_bytes = case_options.memcpy_bytes_per_pixel * size.pixels();
    std::vector<unsigned char> copy_from(copy_bytes, 1), copy_to(copy_bytes, 0);
    std::optional<size_t> memcpy_index;
    if (copy_bytes != 0) {
        memcpy_index = contenders.size();
        contenders.push_back({"memcpy", {}, [&] {
                                  std::memcpy(copy_to.data(), copy_from.data(), copy_bytes);
                                  benchmark::DoNotOptimize(copy_to.data());
                                  benchmark::ClobberMemory();
                              }});
    }
    const size_t first_peer = contenders.size();
    for (const Peer& peer : prepared.peers)
        contenders.push_back({peer.name, {}, peer.call});

    const auto samples = run_rounds(contenders, options);
    if (unexpected != case_options.expected) {
        Row failed = named_row(bench_case.name, "", case_options);
        failed.error =
            "returned status " + std::to_string(unexpected) + ", expected " + std::to_string(case_options.expected);
        return {failed};
    }

    const double units = case_options.per_call ? 1.0 : static_cast<double>(size.pixels());
    std::vector<Figures> all;
    for (const auto& contender_samples : samples)
        all.push_back(figures(contender_samples, units));
    std::vector<Row> rows;
    for (size_t c = 0; c < contenders.size(); ++c) {
        if (c == memcpy_index) continue;
        Row row = named_row(bench_case.name, contenders[c].name, case_options);
        set_figures(row, all[c]);
        if (memcpy_index) row.vs_memcpy = median_ratio(all[c].cpu, all[*memcpy_index].cpu);
        if (c < isa_count && first_peer < contenders.size())
            row.vs_peer = median_ratio(all[c].cpu, all[first_peer].cpu);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace orvex::bench
