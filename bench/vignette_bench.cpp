#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

const bool registered = [] {
    add_case("fix_vignette/rgb_f32", {kPixels, "pixel", kPixels * 3 * sizeof(float)}, [] {
        auto image = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        return [image] {
            const double coefficients[5] = {0.3, -0.1, 0.05, 0.01, 0.002};
            orvex_fix_vignette(&image->desc, coefficients, 5, 0.48, 0.52);
        };
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
