// orvex_bench: prints one Markdown table that times every export (see
// harness/driver.h); `--micro` runs the Google Benchmark micro-benchmarks
// instead (functions below the exports), with Google Benchmark's own flags.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "harness/driver.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/core.hpp>
#endif

namespace {

constexpr const char* kUsage =
    "usage: orvex_bench [--quick] [--size WIDTHxHEIGHT] [--rounds N] [--filter TEXT]\n"
    "       orvex_bench --micro [Google Benchmark flags]\n"
    "  --quick    smoke check: 600x400 images, 3 rounds\n"
    "  --size     image size (default 6000x4000)\n"
    "  --rounds   timed rounds after one warm-up call (default 9)\n"
    "  --filter   only the cases whose name contains TEXT\n";

struct Arguments {
    orvex::bench::Size size;
    orvex::bench::RoundsOptions rounds;
    std::string filter;
};

bool parse_size(const char* text, orvex::bench::Size& size) {
    unsigned long long width = 0, height = 0;
    char rest = 0;
    if (std::sscanf(text, "%llux%llu%c", &width, &height, &rest) != 2 || height == 0 || width == 0) return false;
    size = {height, width};
    return true;
}

bool parse_rounds(const char* text, int& rounds) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > 1000) return false;
    rounds = static_cast<int>(value);
    return true;
}

std::optional<Arguments> parse(int argc, char** argv) {
    Arguments arguments;
    bool quick = false, size_given = false, rounds_given = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (flag == "--quick") {
            quick = true;
        } else if (flag == "--size" && value && parse_size(value, arguments.size)) {
            size_given = true;
            ++i;
        } else if (flag == "--rounds" && value && parse_rounds(value, arguments.rounds.rounds)) {
            rounds_given = true;
            ++i;
        } else if (flag == "--filter" && value) {
            arguments.filter = value;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (quick && !size_given) arguments.size = {400, 600};
    if (quick && !rounds_given) arguments.rounds.rounds = 3;
    return arguments;
}

int run_micro(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--micro") == 0) {
        argv[1] = argv[0];
        return run_micro(argc - 1, argv + 1);
    }
    const std::optional<Arguments> arguments = parse(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
        return 2;
    }
#ifdef ORVEX_BENCH_OPENCV
    cv::setNumThreads(1);  // peers run on one thread, as the exports do
#endif
    std::vector<orvex::bench::Case> cases;
    for (const orvex::bench::Case& bench_case : orvex::bench::registered_cases())
        if (bench_case.name.find(arguments->filter) != std::string::npos) cases.push_back(bench_case);

    if (cases.empty()) {
        std::fprintf(stderr, "orvex_bench: no case name contains '%s'\n", arguments->filter.c_str());
        return 2;
    }
    std::vector<orvex::bench::Row> rows;
    bool failed = false;
    for (size_t i = 0; i < cases.size(); ++i) {
        std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, cases.size(), cases[i].name.c_str());
        for (orvex::bench::Row& row : orvex::bench::run_case(cases[i], arguments->size, arguments->rounds)) {
            failed = failed || !row.error.empty();
            rows.push_back(std::move(row));
        }
    }
    std::printf(
        "%llu x %llu pixels; one warm-up call of each, then %d interleaved rounds. Ratios: median over "
        "rounds of the CPU-time ratio within the round.\n\n",
        static_cast<unsigned long long>(arguments->size.width),
        static_cast<unsigned long long>(arguments->size.height), arguments->rounds.rounds);
    std::fputs(orvex::bench::markdown_table(rows).c_str(), stdout);
    return failed ? 1 : 0;
}
