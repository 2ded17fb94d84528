#include <algorithm>

#include "harness.h"

namespace orvex::bench {
namespace {

std::vector<Case>& registry() {
    static std::vector<Case> cases;
    return cases;
}

}  // namespace

void add_case(const std::string& name, const CaseOptions& options, CaseSetup setup) {
    registry().push_back({name, options, std::move(setup)});
}

std::vector<Case> registered_cases() {
    std::vector<Case> cases = registry();
    std::sort(cases.begin(), cases.end(), [](const Case& a, const Case& b) { return a.name < b.name; });
    return cases;
}

template <class T>
Image<T>::Image(const Size& size, uint64_t channels) : samples(size.height * size.width * channels) {
    desc.data = samples.data();
    desc.height = size.height;
    desc.width = size.width;
    desc.channels = channels;
    desc.dtype = sizeof(T) == 1 ? ORVEX_DTYPE_UINT8 : sizeof(T) == 2 ? ORVEX_DTYPE_UINT16 : ORVEX_DTYPE_FLOAT32;
}
template struct Image<uint8_t>;
template struct Image<uint16_t>;
template struct Image<float>;

void fill_pattern(float* data, size_t n, float low, float high) {
    const float step = (high - low) / 997.0f;
    for (size_t i = 0; i < n; ++i)
        data[i] = low + step * static_cast<float>((i * 7919) % 998);
}

void fill_pattern(uint16_t* data, size_t n, uint16_t low, uint16_t high) {
    const size_t span = static_cast<size_t>(high - low) + 1;
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint16_t>(low + (i * 7919) % span);
}

void fill_pattern(uint8_t* data, size_t n, uint8_t low, uint8_t high) {
    const size_t span = static_cast<size_t>(high - low) + 1;
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(low + (i * 7919) % span);
}

}  // namespace orvex::bench
