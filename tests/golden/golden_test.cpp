// Golden hashes: every case of the corpus gives its committed hash on every
// instruction set, and through the shipped library loaded as a host loads
// it. A changed hash is a changed result; regenerating the table is a
// deliberate act: ORVEX_GOLDEN_PRINT=1 prints it for golden_hashes.inc.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "golden_cases.h"
#include "isa_param.h"
#include "library/loaded_library.h"

namespace orvex::testing {
namespace {

std::string g_library_path;

const std::map<std::string, uint64_t>& committed_hashes() {
    static const std::map<std::string, uint64_t> hashes = {
#include "golden_hashes.inc"
    };
    return hashes;
}

void expect_committed_hashes(const Api& api) {
    const bool print = std::getenv("ORVEX_GOLDEN_PRINT") != nullptr;
    for (const GoldenCase& golden : golden_cases()) {
        const uint64_t hash = golden.run(api);
        if (print) std::printf("{\"%s\", 0x%016" PRIx64 "},\n", golden.name.c_str(), hash);
        const auto committed = committed_hashes().find(golden.name);
        if (committed == committed_hashes().end()) {
            ADD_FAILURE() << golden.name << ": no committed hash";
            continue;
        }
        EXPECT_EQ(hash, committed->second) << golden.name;
    }
}

class Golden : public IsaTest {};

TEST_P(Golden, EveryCaseGivesItsCommittedHash) { expect_committed_hashes(linked_api()); }

ORVEX_INSTANTIATE_PER_ISA(Golden);

TEST(Golden, EveryCommittedHashHasItsCase) { EXPECT_EQ(committed_hashes().size(), golden_cases().size()); }

TEST(GoldenShippedLibrary, EveryCaseGivesItsCommittedHash) {
    if (g_library_path.empty()) GTEST_SKIP() << "no library path given";
    // Kept loaded until the process ends: the library keeps its cubic weight
    // table for the life of the process, and unloading it would orphan it.
    static const LoadedLibrary& library = *new LoadedLibrary(g_library_path);
    ASSERT_TRUE(library.loaded()) << g_library_path;
    Api api;
#define ORVEX_GOLDEN_LOOK_UP(name)                                        \
    api.name = library.function<decltype(&orvex_##name)>("orvex_" #name); \
    ASSERT_NE(api.name, nullptr) << "orvex_" #name;
    ORVEX_GOLDEN_EXPORTS(ORVEX_GOLDEN_LOOK_UP)
#undef ORVEX_GOLDEN_LOOK_UP
    expect_committed_hashes(api);
}

}  // namespace
}  // namespace orvex::testing

// Optional argument: the path of the shipped shared library.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc >= 2) orvex::testing::g_library_path = argv[1];
    return RUN_ALL_TESTS();
}
