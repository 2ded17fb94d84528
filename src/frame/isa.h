// Instruction-set selection. The best set the CPU supports is found once;
// tests and benchmarks may force a lower one through force_isa (internal,
// never exported). Kernel families are compiled once per set, each copy in
// its own namespace (baseline, avx2, avx512) so that inline helpers built with
// different flags never merge; frame/kernel_table.h picks among the copies.
#pragma once

#include <iterator>

namespace orvex {

enum class Isa : int { baseline = 0, avx2 = 1, avx512 = 2 };

inline constexpr Isa kAllIsas[] = {Isa::baseline, Isa::avx2, Isa::avx512};

const char* isa_name(Isa isa);

// True when this CPU and its operating system can run code built for `isa`.
bool isa_supported(Isa isa);

// The set kernels are picked for: the best supported one unless forced.
Isa active_isa();

// Forces kernels of `isa` (must be supported); returns false and changes
// nothing otherwise.
bool force_isa(Isa isa);

// The builds of one kernel family, one per set in Isa order (the kernel
// table, frame/kernel_table.h, fills them). The set is found once, so a call
// through active() costs one relaxed atomic load and one indexed load before
// the indirect call itself.
template <class Fn>
struct KernelBuilds {
    Fn by_isa[std::size(kAllIsas)];
    Fn active() const { return by_isa[static_cast<int>(active_isa())]; }
};

}  // namespace orvex
