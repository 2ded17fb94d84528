// Runs a test once per instruction set: tests derived from IsaTest force the
// kernels of their parameter and skip where the CPU lacks it, so every vector
// path is checked against the same expected bytes. The set in use before the
// test is restored after it.
//
// ORVEX_REQUIRE_ISA (a comma-separated list of set names, e.g.
// "avx2,avx512") turns the skip of a listed set into a failure, so that a
// machine known to have the set cannot pass without running its kernels.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>

#include "frame/isa.h"

namespace orvex {

// Test names and failure messages show the set's name.
inline void PrintTo(Isa isa, std::ostream* os) { *os << isa_name(isa); }

namespace testing {

// Whether ORVEX_REQUIRE_ISA lists `isa`.
inline bool isa_required(Isa isa) {
    const char* list = std::getenv("ORVEX_REQUIRE_ISA");
    if (list == nullptr) return false;
    std::istringstream names(list);
    std::string name;
    while (std::getline(names, name, ','))
        if (name == isa_name(isa)) return true;
    return false;
}

class IsaTest : public ::testing::TestWithParam<Isa> {
protected:
    void SetUp() override {
        previous_ = active_isa();
        if (force_isa(GetParam())) return;
        if (isa_required(GetParam()))
            FAIL() << isa_name(GetParam()) << " is required by ORVEX_REQUIRE_ISA but not supported by this CPU";
        GTEST_SKIP() << isa_name(GetParam()) << " not supported by this CPU";
    }
    void TearDown() override { force_isa(previous_); }

private:
    Isa previous_ = Isa::baseline;
};

inline std::string isa_test_name(const ::testing::TestParamInfo<Isa>& info) { return isa_name(info.param); }

}  // namespace testing
}  // namespace orvex

// Instantiates the IsaTest-derived fixture `fixture` for every instruction set.
#define ORVEX_INSTANTIATE_PER_ISA(fixture)                                            \
    INSTANTIATE_TEST_SUITE_P(PerIsa, fixture, ::testing::ValuesIn(::orvex::kAllIsas), \
                             ::orvex::testing::isa_test_name)
