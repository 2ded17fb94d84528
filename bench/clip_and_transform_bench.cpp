#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

constexpr float kMatrix[9] = {1.6f, -0.4f, -0.2f, -0.3f, 1.5f, -0.2f, 0.0f, -0.5f, 1.5f};

void add_clip_and_transform() {
    add_case("clip_and_transform/f32", {kPixels, "pixel", kPixels * 12}, [] {
        auto src = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        auto dst = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        fill_pattern(src->samples.data(), src->samples.size(), -0.1f, 1.2f);
        return [src, dst] {
            const float limits[3] = {0.95f, 1.0f, 0.9f};
            orvex_clip_and_transform_color(&src->desc, &dst->desc, limits, kMatrix);
        };
    });
}

const bool registered = [] {
    add_clip_and_transform();
    return true;
}();

}  // namespace
}  // namespace orvex::bench
