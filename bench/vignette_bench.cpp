#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

const bool registered = [] {
    add_case("fix_vignette/rgb_f32", {3 * sizeof(float)}, [](const Size& size) {
        auto image = std::make_shared<Image<float>>(size, 3);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        return Prepared{[image] {
            const double coefficients[5] = {0.3, -0.1, 0.05, 0.01, 0.002};
            return orvex_fix_vignette(&image->desc, coefficients, 5, 0.48, 0.52);
        }};
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
