#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

void add_ramp(const char* name, bool unclipped) {
    add_case(name, {3 * sizeof(float)}, [unclipped](const Size& size) {
        auto src = std::make_shared<Image<float>>(size, 3);
        auto dst = std::make_shared<Image<float>>(size, 3);
        fill_pattern(src->samples.data(), src->samples.size(), -0.1f, 1.4f);
        return Prepared{[src, dst, unclipped] {
            return orvex_apply_exposure_ramp(&src->desc, &dst->desc, 1.2, 0.05, 0.1, unclipped);
        }};
    });
}

const bool registered = [] {
    add_ramp("apply_exposure_ramp/clipped", false);
    add_ramp("apply_exposure_ramp/unclipped", true);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
