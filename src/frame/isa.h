// Instruction-set selection. The best set the CPU supports is found once;
// tests and benchmarks may force a lower one through force_isa (internal,
// never exported). Every kernel family is compiled once per set, each copy in
// its own namespace (baseline, avx2, avx512) so that inline helpers built with
// different flags never merge.
#pragma once

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

// Chooses among the three builds of one kernel family.
template <class T>
T pick_for_isa(T baseline, T avx2, T avx512) {
    switch (active_isa()) {
        case Isa::avx512:
            return avx512;
        case Isa::avx2:
            return avx2;
        case Isa::baseline:
            break;
    }
    return baseline;
}

}  // namespace orvex
