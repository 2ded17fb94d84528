#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

template <class Src, class Dst>
void add_convert(const char* name) {
    add_case(name, {kPixels, "sample", kPixels * sizeof(Dst)}, [] {
        auto src = std::make_shared<Image<Src>>(kHeight, kWidth, 1);
        auto dst = std::make_shared<Image<Dst>>(kHeight, kWidth, 1);
        if constexpr (sizeof(Src) == 4)
            fill_pattern(src->samples.data(), src->samples.size(), -0.1f, 1.1f);
        else
            fill_pattern(src->samples.data(), src->samples.size(), Src{0}, Src(~Src{0}));
        return [src, dst] { orvex_convert_dtype(&src->desc, &dst->desc, 0, 0, -1.0f); };
    });
}

const bool registered = [] {
    add_convert<uint16_t, float>("convert_dtype/u16_to_f32");
    add_convert<float, uint8_t>("convert_dtype/f32_to_u8");
    add_convert<float, uint16_t>("convert_dtype/f32_to_u16");
    return true;
}();

}  // namespace
}  // namespace orvex::bench
