#include <memory>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include "opencv_peer.h"
#endif

namespace orvex::bench {
namespace {

constexpr float kMatrix[9] = {1.6f, -0.4f, -0.2f, -0.3f, 1.5f, -0.2f, 0.0f, -0.5f, 1.5f};

const bool registered = [] {
    add_case("clip_and_transform_color/f32", {3 * sizeof(float)}, [](const Size& size) {
        auto src = std::make_shared<Image<float>>(size, 3);
        auto dst = std::make_shared<Image<float>>(size, 3);
        fill_pattern(src->samples.data(), src->samples.size(), -0.1f, 1.2f);
        Prepared prepared{[src, dst] {
            const float limits[3] = {0.95f, 1.0f, 0.9f};
            return orvex_clip_and_transform_color(&src->desc, &dst->desc, limits, kMatrix);
        }};
#ifdef ORVEX_BENCH_OPENCV
        prepared.peers.push_back(transform_peer(src, dst, kMatrix));
#endif
        return prepared;
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
