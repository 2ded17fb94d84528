#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/core.hpp>
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
void add_mono_lut(const char* name, size_t table_size) {
    add_case(name, {kPixels, "pixel", kPixels}, [table_size] {
        auto src = std::make_shared<Image<Src>>(kHeight, kWidth, 1);
        auto dst = std::make_shared<Image<uint8_t>>(kHeight, kWidth, 1);
        fill_pattern(src->samples.data(), src->samples.size(), Src{0}, Src(~Src{0}));
        auto table = rising_table(table_size);
        return [src, dst, table] { orvex_mono_lut(&src->desc, &dst->desc, table->data(), table->size(), 0, 0); };
    });
}

#ifdef ORVEX_BENCH_OPENCV
void add_opencv_lut() {
    add_case("mono_lut/u8_to_u8_direct/opencv_LUT", {kPixels, "pixel", kPixels, false}, [] {
        cv::setNumThreads(1);
        auto src = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_8UC1);
        auto dst = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_8UC1);
        fill_pattern(src->ptr<uint8_t>(), kPixels, 0, 255);
        auto table = std::make_shared<cv::Mat>(1, 256, CV_8UC1);
        for (int k = 0; k < 256; ++k)
            table->at<uint8_t>(k) = static_cast<uint8_t>(255 - k);
        cv::LUT(*src, *table, *dst);  // the first call pays one-time set-up costs
        return [src, dst, table] { cv::LUT(*src, *table, *dst); };
    });
}
#endif

const bool registered = [] {
    add_mono_lut<uint16_t>("mono_lut/u16_to_u8_4096", 4096);
    add_mono_lut<uint8_t>("mono_lut/u8_to_u8_direct", 256);
#ifdef ORVEX_BENCH_OPENCV
    add_opencv_lut();
#endif
    return true;
}();

}  // namespace
}  // namespace orvex::bench
