#include <cmath>
#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace orvex::bench {
namespace {

constexpr int32_t kHueDivisions = 90;
constexpr int32_t kSatDivisions = 30;
constexpr int32_t kValDivisions = 16;
constexpr uint64_t kBytesPerPixel = 3 * sizeof(float);

// Mild adjustments, so that repeated runs in place keep the pixels spread.
std::shared_ptr<std::vector<float>> gentle_table(int32_t entries) {
    auto table = std::make_shared<std::vector<float>>();
    for (int32_t i = 0; i < entries; ++i) {
        const float phase = static_cast<float>(i) * 0.37f;
        table->push_back(10.0f * std::sin(phase));
        table->push_back(1.0f + 0.05f * std::cos(phase));
        table->push_back(1.0f + 0.03f * std::sin(2.0f * phase));
    }
    return table;
}

void add_hue_sat_map(const char* name, int32_t val_divisions) {
    add_case(name, {kPixels, "pixel", kPixels * kBytesPerPixel}, [val_divisions] {
        auto image = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        const int32_t planes = val_divisions >= 2 ? val_divisions : 1;
        auto table = gentle_table(planes * kHueDivisions * kSatDivisions);
        return [image, table, val_divisions] {
            orvex_apply_hue_sat_map(&image->desc, table->data(), kHueDivisions, kSatDivisions, val_divisions);
        };
    });
}

#ifdef ORVEX_BENCH_OPENCV
// The conversion pair a caller would otherwise wrap around its own table.
void add_opencv_hsv_round_trip() {
    add_case("hue_sat_map/opencv_hsv_round_trip", {kPixels, "pixel", kPixels * kBytesPerPixel, false}, [] {
        cv::setNumThreads(1);
        const int rows = static_cast<int>(kHeight);
        const int cols = static_cast<int>(kWidth);
        auto bgr = std::make_shared<cv::Mat>(rows, cols, CV_32FC3);
        auto hsv = std::make_shared<cv::Mat>(rows, cols, CV_32FC3);
        fill_pattern(bgr->ptr<float>(), kPixels * 3, 0.0f, 1.0f);
        return [bgr, hsv] {
            cv::cvtColor(*bgr, *hsv, cv::COLOR_BGR2HSV);
            cv::cvtColor(*hsv, *bgr, cv::COLOR_HSV2BGR);
        };
    });
}
#endif

const bool registered = [] {
    add_hue_sat_map("hue_sat_map/2d_90x30", 0);
    add_hue_sat_map("hue_sat_map/3d_90x30x16", kValDivisions);
#ifdef ORVEX_BENCH_OPENCV
    add_opencv_hsv_round_trip();
#endif
    return true;
}();

}  // namespace
}  // namespace orvex::bench
