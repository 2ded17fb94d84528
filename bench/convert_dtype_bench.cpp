#include <memory>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include "opencv_peer.h"
#endif

namespace orvex::bench {
namespace {

// The peer is cv::Mat::convertTo with the scale that maps one full range onto
// the other (saturating, as the export clamps).
template <class Src, class Dst>
void add_convert(const char* name, [[maybe_unused]] double peer_scale) {
    add_case(name, {sizeof(Dst)}, [=](const Size& size) {
        auto src = std::make_shared<Image<Src>>(size, 1);
        auto dst = std::make_shared<Image<Dst>>(size, 1);
        if constexpr (sizeof(Src) == 4)
            fill_pattern(src->samples.data(), src->samples.size(), -0.1f, 1.1f);
        else
            fill_pattern(src->samples.data(), src->samples.size(), Src{0}, Src(~Src{0}));
        Prepared prepared{[src, dst] { return orvex_convert_dtype(&src->desc, &dst->desc, 0, 0, -1.0f); }, {}};
#ifdef ORVEX_BENCH_OPENCV
        prepared.peers.push_back({"OpenCV convertTo", [src, dst, peer_scale] {
                                      cv::Mat to = view_of(*dst, cv::DataType<Dst>::type);
                                      view_of(*src, cv::DataType<Src>::type).convertTo(to, to.type(), peer_scale);
                                  }});
#endif
        return prepared;
    });
}

const bool registered = [] {
    add_convert<uint16_t, float>("convert_dtype/u16_to_f32", 1.0 / 65535.0);
    add_convert<float, uint8_t>("convert_dtype/f32_to_u8", 255.0);
    add_convert<float, uint16_t>("convert_dtype/f32_to_u16", 65535.0);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
