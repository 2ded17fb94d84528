#include <memory>
#include <vector>

#include "harness.h"

namespace orvex::bench {
namespace {

// A 101 x 101 x 3 map of gains near 1, placed over the whole image.
std::shared_ptr<std::vector<float>> make_area_map() {
    auto map = std::make_shared<std::vector<float>>(101 * 101 * 3);
    fill_pattern(map->data(), map->size(), 0.95f, 1.05f);
    return map;
}

void add_area_map(const char* name, uint64_t channels) {
    add_case(name, {kPixels, "pixel", kPixels * channels * sizeof(float)}, [channels] {
        auto image = std::make_shared<Image<float>>(kHeight, kWidth, channels);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        auto map = make_area_map();
        const double spacing = 1.0 / 100;
        if (channels == 3)
            return std::function<void()>([image, map, spacing] {
                orvex_apply_gain_map(&image->desc, map->data(), 101, 101, 3, 0, 0, 0, 0, 0, 3, 1, 1, spacing,
                                     spacing, 0.0, 0.0);
            });
        return std::function<void()>([image, map, spacing] {
            orvex_apply_gain_map_cfa(&image->desc, map->data(), 101, 101, 3, 0, 0, 0, 0, 1, 1, spacing, spacing,
                                     0.0, 0.0);
        });
    });
}

const bool registered = [] {
    add_area_map("gain_map/rgb_f32", 3);
    add_area_map("gain_map/mosaic_f32", 1);
    add_case("flat_gain_map/mosaic_f32", {kPixels, "pixel", kPixels * sizeof(float)}, [] {
        auto image = std::make_shared<Image<float>>(kHeight, kWidth, 1);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        auto map = std::make_shared<std::vector<float>>(17 * 25);
        fill_pattern(map->data(), map->size(), 0.98f, 1.02f);
        return [image, map] { orvex_apply_flat_gain_map(&image->desc, map->data(), 17, 25); };
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
