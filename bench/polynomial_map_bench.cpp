#include <memory>
#include <vector>

#include "harness.h"

namespace orvex::bench {
namespace {

void add_polynomial(const char* name, std::vector<float> coefficients) {
    add_case(name, {3 * sizeof(float)}, [coefficients](const Size& size) {
        auto image = std::make_shared<Image<float>>(size, 3);
        fill_pattern(image->samples.data(), image->samples.size(), -0.1f, 1.0f);
        return Prepared{[image, coefficients] {
            return orvex_map_polynomial(&image->desc, 0, 0, 0, 0, 0, 3, 1, 1, coefficients.data(),
                                        static_cast<int32_t>(coefficients.size()) - 1);
        }};
    });
}

const bool registered = [] {
    add_polynomial("map_polynomial/rgb_f32_degree3", {0.0f, 1.02f, -0.03f, 0.01f});
    add_polynomial("map_polynomial/rgb_f32_degree6", {0.0f, 1.02f, -0.03f, 0.01f, 0.004f, -0.002f, 0.001f});
    return true;
}();

}  // namespace
}  // namespace orvex::bench
