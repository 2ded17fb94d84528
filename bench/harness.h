// Benchmark harness. An operation is registered with one call to add_case:
// it runs once per supported instruction set ("Op/variant/avx2"), and the
// summary printed after the run gives nanoseconds per unit and the ratio to a
// memcpy of the same output bytes, timed in the same run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orvex.h"

namespace orvex::bench {

inline constexpr uint64_t kHeight = 4000;
inline constexpr uint64_t kWidth = 6000;
inline constexpr uint64_t kPixels = kHeight * kWidth;

// Makes the inputs (untimed) and returns the call to time.
using CaseSetup = std::function<std::function<void()>()>;

struct CaseOptions {
    uint64_t units = kPixels;    // what "ns per unit" divides by
    const char* unit = "pixel";  // printed name of a unit
    uint64_t memcpy_bytes = 0;   // 0: no memcpy reference
    bool per_isa = true;         // false for code outside orvex (OpenCV)
};

void add_case(const std::string& name, const CaseOptions& options, CaseSetup setup);

// A buffer with its descriptor; samples are filled with a repeatable ramp.
template <class T>
struct Image {
    std::vector<T> samples;
    orvex_image desc{};
    Image(uint64_t height, uint64_t width, uint64_t channels);
};

void fill_pattern(float* data, size_t n, float low, float high);
void fill_pattern(uint16_t* data, size_t n, uint16_t low, uint16_t high);
void fill_pattern(uint8_t* data, size_t n, uint8_t low, uint8_t high);

}  // namespace orvex::bench
