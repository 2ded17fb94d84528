#include "frame/isa.h"

#include <atomic>

namespace orvex {
namespace {

// -1 until the first query; afterwards an Isa value.
std::atomic<int> g_active{-1};

Isa best_supported() {
    if (isa_supported(Isa::avx512)) return Isa::avx512;
    if (isa_supported(Isa::avx2)) return Isa::avx2;
    return Isa::baseline;
}

}  // namespace

const char* isa_name(Isa isa) {
    switch (isa) {
        case Isa::avx512:
            return "avx512";
        case Isa::avx2:
            return "avx2";
        case Isa::baseline:
            break;
    }
    return "baseline";
}

bool isa_supported(Isa isa) {
    // libgcc's probe also checks that the OS saves the wider registers.
    switch (isa) {
        case Isa::avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                   __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
                   __builtin_cpu_supports("avx2");
        case Isa::avx2:
            return __builtin_cpu_supports("avx2");
        case Isa::baseline:
            break;
    }
    return true;
}

Isa active_isa() {
    int value = g_active.load(std::memory_order_relaxed);
    if (value < 0) {
        value = static_cast<int>(best_supported());
        int expected = -1;
        if (!g_active.compare_exchange_strong(expected, value, std::memory_order_relaxed)) value = expected;
    }
    return static_cast<Isa>(value);
}

bool force_isa(Isa isa) {
    if (!isa_supported(isa)) return false;
    g_active.store(static_cast<int>(isa), std::memory_order_relaxed);
    return true;
}

}  // namespace orvex
