#include <cmath>
#include <memory>
#include <vector>

#include "harness.h"

namespace orvex::bench {
namespace {

constexpr int32_t kMapPoints = 17;
constexpr int32_t kTablePoints = 32;

void add_profile_gain_table(const char* name, float gamma) {
    add_case(name, {3 * sizeof(float)}, [gamma](const Size& size) {
        auto image = std::make_shared<Image<float>>(size, 3);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        // Gains close to 1, so that repeated runs in place keep the pixels spread.
        auto table = std::make_shared<std::vector<float>>(kMapPoints * kMapPoints * kTablePoints);
        for (size_t i = 0; i < table->size(); ++i)
            (*table)[i] = 1.0f + 0.05f * std::sin(static_cast<float>(i) * 0.11f);
        return Prepared{[image, table, gamma] {
            const float weights[5] = {0.25f, 0.5f, 0.125f, 0.0625f, 0.0625f};
            const float spacing = 1.0f / static_cast<float>(kMapPoints - 1);
            return orvex_apply_profile_gain_table_map(&image->desc, table->data(), kMapPoints, kMapPoints, spacing,
                                                      spacing, 0.0f, 0.0f, kTablePoints, weights, gamma, 1.0f);
        }};
    });
}

const bool registered = [] {
    add_profile_gain_table("apply_profile_gain_table_map/17x17x32_gamma_1", 1.0f);
    add_profile_gain_table("apply_profile_gain_table_map/17x17x32_gamma_2.2", 2.2f);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
