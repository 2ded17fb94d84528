#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "frame/isa.h"
#include "harness/driver.h"

namespace orvex::bench {
namespace {

constexpr size_t kFreshBytes = 16 << 20;  // 4096 pages of 4 KiB

// Memory the process has never touched: a new anonymous mapping.
std::shared_ptr<unsigned char> fresh_buffer() {
    void* pages = mmap(nullptr, kFreshBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    return {static_cast<unsigned char*>(pages), [](unsigned char* p) { munmap(p, kFreshBytes); }};
}

size_t supported_isas() {
    size_t count = 0;
    for (Isa isa : kAllIsas)
        count += isa_supported(isa) ? 1 : 0;
    return count;
}

TEST(Measure, CountsThePageFaultsOfAFirstTouch) {
    auto buffer = fresh_buffer();
    const Sample sample = measure([&] { std::memset(buffer.get(), 7, kFreshBytes); }, 1);
    EXPECT_GT(sample.faults, 0);  // one per page, or per huge page where those are on
    EXPECT_GT(sample.wall_ns, 0);
}

TEST(RunRounds, TimesOnlyWarmCallsThatTakeNoPageFault) {
    auto first = fresh_buffer(), second = fresh_buffer();
    const std::vector<Contender> contenders = {{"first", {}, [&] { std::memset(first.get(), 1, kFreshBytes); }},
                                               {"second", {}, [&] { std::memset(second.get(), 2, kFreshBytes); }}};
    const auto samples = run_rounds(contenders, {3, 0});
    ASSERT_EQ(samples.size(), 2u);
    for (const auto& contender : samples) {
        ASSERT_EQ(contender.size(), 3u);
        for (const Sample& sample : contender)
            EXPECT_EQ(sample.faults, 0);
    }
}

TEST(RunRounds, WarmsUpEachContenderThenRotatesWhoGoesFirst) {
    std::string log;
    std::vector<Contender> contenders;
    for (const char* name : {"A", "B", "C"})
        contenders.push_back({name, [&log] { log += '+'; }, [&log, name] { log += name; }});
    run_rounds(contenders, {3, 0});
    EXPECT_EQ(log,
              "+A+B+C"
              "+A+B+C"
              "+B+C+A"
              "+C+A+B");
}

TEST(RunRounds, RepeatsAShortCallWithinOneSample) {
    size_t calls = 0;
    run_rounds({{"short", {}, [&] { ++calls; }}}, {2, 5e7});
    EXPECT_GT(calls, 100u);
}

TEST(RunRounds, RejectsZeroRounds) {
    EXPECT_THROW(run_rounds({{"a", {}, [] {}}}, {0, 0}), std::invalid_argument);
}

TEST(Statistics, MinimumMedianAndPerRoundRatio) {
    EXPECT_EQ(minimum({3, 1, 2}), 1);
    EXPECT_EQ(median({5, 1, 3}), 3);
    EXPECT_EQ(median({4, 1, 3, 2}), 2.5);
    // Per-round ratios 2, 1, 3 have the median 2; the ratio of the medians would be 4 / 3.
    EXPECT_EQ(median_ratio({2, 4, 9}, {1, 4, 3}), 2);
}

// A case whose calls write fresh buffers, as an export and a peer writing
// their outputs would.
Case fresh_output_case(orvex_status status) {
    return {"apply_test/fresh_f32", {4}, [status](const Size&) {
                auto mine = fresh_buffer(), theirs = fresh_buffer();
                return Prepared{[mine, status] {
                                    std::memset(mine.get(), 1, kFreshBytes);
                                    return status;
                                },
                                {{"peer", [theirs] { std::memset(theirs.get(), 2, kFreshBytes); }}}};
            }};
}

TEST(RunCase, ReportsEveryInstructionSetAndThePeerWithoutPageFaults) {
    const auto rows = run_case(fresh_output_case(ORVEX_OK), {64, 64}, {3, 0});
    ASSERT_EQ(rows.size(), supported_isas() + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const bool peer = i + 1 == rows.size();
        EXPECT_EQ(row.export_name, "orvex_apply_test");
        EXPECT_EQ(row.variant, "fresh_f32");
        EXPECT_EQ(row.code, peer ? "peer" : isa_name(kAllIsas[i]));
        EXPECT_EQ(row.unit, "px");
        EXPECT_TRUE(row.error.empty());
        EXPECT_EQ(row.faults_per_call, 0);
        EXPECT_TRUE(row.vs_memcpy.has_value());
        EXPECT_EQ(row.vs_peer.has_value(), !peer);
        EXPECT_LE(row.cpu_min_ns, row.cpu_median_ns);
        EXPECT_LE(row.wall_min_ns, row.wall_median_ns);
    }
}

TEST(RunCase, ReportsAnUnexpectedStatusInsteadOfFigures) {
    const auto rows = run_case(fresh_output_case(ORVEX_ERR_SHAPE_MISMATCH), {64, 64}, {1, 0});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].error, "returned status 3, expected 0");
    EXPECT_NE(markdown_table(rows).find("| error: returned status 3, expected 0 |"), std::string::npos);
}

TEST(MarkdownTable, AlignsColumnsAndLeavesMissingRatiosBlank) {
    Row row;
    row.export_name = "orvex_version";
    row.code = "avx2";
    row.unit = "call";
    row.cpu_median_ns = 12.345;
    row.cpu_min_ns = 0.5;
    row.wall_median_ns = 250;
    row.wall_min_ns = 3;
    row.vs_memcpy = 1.234;
    EXPECT_EQ(markdown_table({row}),
              "| export        | case | code | per  | CPU ns median | CPU ns min | wall ns median | wall ns min "
              "| x memcpy | x OpenCV | faults/call |\n"
              "|---------------|------|------|------|---------------|------------|----------------|-------------"
              "|----------|----------|-------------|\n"
              "| orvex_version |      | avx2 | call | 12.3          | 0.500      | 250            | 3.00        "
              "| 1.23     |          | 0           |\n");
}

}  // namespace
}  // namespace orvex::bench
