// Runs a test once per instruction set: tests derived from IsaTest force the
// kernels of their parameter and skip where the CPU lacks it, so every vector
// path is checked against the same expected bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/isa.h"

namespace orvex::testing {

class IsaTest : public ::testing::TestWithParam<Isa> {
protected:
    void SetUp() override {
        if (!force_isa(GetParam())) GTEST_SKIP() << isa_name(GetParam()) << " not supported by this CPU";
    }
    void TearDown() override { force_isa(Isa::baseline); }
};

inline std::string isa_test_name(const ::testing::TestParamInfo<Isa>& info) { return isa_name(info.param); }

}  // namespace orvex::testing

// Instantiates the IsaTest-derived fixture `fixture` for every instruction set.
#define ORVEX_INSTANTIATE_PER_ISA(fixture)                                            \
    INSTANTIATE_TEST_SUITE_P(PerIsa, fixture, ::testing::ValuesIn(::orvex::kAllIsas), \
                             ::orvex::testing::isa_test_name)
