#include <memory>
#include <vector>

#include "harness.h"

namespace orvex::bench {
namespace {

constexpr int32_t kMapPoints = 101;
constexpr double kSpacing = 1.0 / (kMapPoints - 1);

// A 101 x 101 x 3 map of gains near 1, placed over the whole image.
std::shared_ptr<std::vector<float>> make_area_map() {
    auto map = std::make_shared<std::vector<float>>(kMapPoints * kMapPoints * 3);
    fill_pattern(map->data(), map->size(), 0.95f, 1.05f);
    return map;
}

std::shared_ptr<Image<float>> make_image(const Size& size, uint64_t channels) {
    auto image = std::make_shared<Image<float>>(size, channels);
    fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
    return image;
}

const bool registered = [] {
    add_case("apply_gain_map/rgb_f32", {3 * sizeof(float)}, [](const Size& size) {
        auto image = make_image(size, 3);
        auto map = make_area_map();
        return Prepared{[image, map] {
            return orvex_apply_gain_map(&image->desc, map->data(), kMapPoints, kMapPoints, 3, 0, 0, 0, 0, 0, 3, 1,
                                        1, kSpacing, kSpacing, 0.0, 0.0);
        }};
    });
    add_case("apply_gain_map_cfa/mosaic_f32", {sizeof(float)}, [](const Size& size) {
        auto image = make_image(size, 1);
        auto map = make_area_map();
        return Prepared{[image, map] {
            return orvex_apply_gain_map_cfa(&image->desc, map->data(), kMapPoints, kMapPoints, 3, 0, 0, 0, 0, 1, 1,
                                            kSpacing, kSpacing, 0.0, 0.0);
        }};
    });
    add_case("apply_flat_gain_map/mosaic_f32", {sizeof(float)}, [](const Size& size) {
        auto image = make_image(size, 1);
        auto map = std::make_shared<std::vector<float>>(17 * 25);
        fill_pattern(map->data(), map->size(), 0.98f, 1.02f);
        return Prepared{[image, map] { return orvex_apply_flat_gain_map(&image->desc, map->data(), 17, 25); }};
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
