// Benchmark cases. A case registers, with one call to add_case, how to build
// the inputs of one export's call; the driver (harness/driver.h) times it on
// every supported instruction set, interleaved with a memcpy of the same
// output bytes and with the calls of other libraries doing comparable work.
// Every buffer is allocated and written by the setup, before any timing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orvex.h"

namespace orvex::bench {

struct Size {
    uint64_t height = 4000;
    uint64_t width = 6000;
    uint64_t pixels() const { return height * width; }
};

// A call to another library that does comparable work on the same size.
struct Peer {
    std::string name;
    std::function<void()> call;
};

struct Prepared {
    std::function<orvex_status()> call;  // the export's call, timed once per instruction set
    std::vector<Peer> peers = {};        // the first is the reference of the peer ratio
};

struct CaseOptions {
    uint64_t memcpy_bytes_per_pixel = 0;  // output bytes per pixel; 0: no memcpy reference
    bool per_call = false;                // figures per call (no image work) rather than per pixel
    orvex_status expected = ORVEX_OK;     // what every call must return
};

// Builds (allocates and writes) everything the calls use.
using CaseSetup = std::function<Prepared(const Size&)>;

// `name` is "<export without orvex_>/<variant>", e.g. "convert_dtype/u16_to_f32".
void add_case(const std::string& name, const CaseOptions& options, CaseSetup setup);

struct Case {
    std::string name;
    CaseOptions options;
    CaseSetup setup;
};

// Every registered case, sorted by name.
std::vector<Case> registered_cases();

// A zero-filled buffer with its descriptor.
template <class T>
struct Image {
    std::vector<T> samples;
    orvex_image desc{};
    Image(const Size& size, uint64_t channels);
};

// Repeatable ramps, spread over [low, high].
void fill_pattern(float* data, size_t n, float low, float high);
void fill_pattern(uint16_t* data, size_t n, uint16_t low, uint16_t high);
void fill_pattern(uint8_t* data, size_t n, uint8_t low, uint8_t high);

}  // namespace orvex::bench
