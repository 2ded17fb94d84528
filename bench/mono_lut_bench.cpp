#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include "opencv_peer.h"
#endif

namespace orvex::bench {
namespace {

std::shared_ptr<std::vector<float>> rising_table(size_t size) {
    auto table = std::make_shared<std::vector<float>>(size);
    for (size_t k = 0; k < size; ++k)
        (*table)[k] = static_cast<float>(k) / static_cast<float>(size - 1);
    return table;
}

template <class Src>
struct MonoLut {
    std::shared_ptr<Image<Src>> src;
    std::shared_ptr<Image<uint8_t>> dst;
    Prepared prepared;
};

template <class Src>
MonoLut<Src> mono_lut(const Size& size, size_t table_size) {
    auto src = std::make_shared<Image<Src>>(size, 1);
    auto dst = std::make_shared<Image<uint8_t>>(size, 1);
    fill_pattern(src->samples.data(), src->samples.size(), Src{0}, Src(~Src{0}));
    auto table = rising_table(table_size);
    return {src, dst, Prepared{[src, dst, table] {
                return orvex_mono_lut(&src->desc, &dst->desc, table->data(), table->size(), 0, 0);
            }}};
}

const bool registered = [] {
    add_case("mono_lut/u16_to_u8_4096", {sizeof(uint8_t)},
             [](const Size& size) { return mono_lut<uint16_t>(size, 4096).prepared; });
    // A 256-entry table on 8-bit samples is a direct lookup; cv::LUT does the same.
    add_case("mono_lut/u8_to_u8_256", {sizeof(uint8_t)}, [](const Size& size) {
        MonoLut<uint8_t> lut = mono_lut<uint8_t>(size, 256);
#ifdef ORVEX_BENCH_OPENCV
        auto table = std::make_shared<cv::Mat>(1, 256, CV_8UC1);
        for (int k = 0; k < 256; ++k)
            table->at<uint8_t>(k) = static_cast<uint8_t>(k);
        lut.prepared.peers.push_back({"OpenCV LUT", [src = lut.src, dst = lut.dst, table] {
                                          cv::Mat to = view_of(*dst, CV_8UC1);
                                          cv::LUT(view_of(*src, CV_8UC1), *table, to);
                                      }});
#endif
        return lut.prepared;
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
