#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

constexpr uint16_t kMarker = 65535;

// One sample in a thousand holds the marker. dst starts as a copy of src and
// only the marked samples are rewritten, so every run does the same work.
const bool registered = [] {
    add_case("fix_bad_pixels_constant/u16_0.1pct", {sizeof(uint16_t)}, [](const Size& size) {
        auto src = std::make_shared<Image<uint16_t>>(size, 1);
        auto dst = std::make_shared<Image<uint16_t>>(size, 1);
        fill_pattern(src->samples.data(), src->samples.size(), uint16_t{0}, uint16_t{60000});
        for (size_t i = 0; i < src->samples.size(); i += 1000)
            src->samples[(i * 7) % src->samples.size()] = kMarker;
        dst->samples = src->samples;
        dst->desc.data = dst->samples.data();
        return Prepared{[src, dst] { return orvex_fix_bad_pixels_constant(&src->desc, &dst->desc, kMarker, 0); }};
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
