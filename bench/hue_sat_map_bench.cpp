#include <cmath>
#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/imgproc.hpp>

#include "opencv_peer.h"
#endif

namespace orvex::bench {
namespace {

constexpr int32_t kHueDivisions = 90;
constexpr int32_t kSatDivisions = 30;
constexpr int32_t kValDivisions = 16;

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

// The peer is the float RGB -> HSV -> RGB round trip a caller would otherwise
// wrap around its own table, in place on the same image through a written
// HSV buffer.
void add_hue_sat_map(const char* name, int32_t val_divisions) {
    add_case(name, {3 * sizeof(float)}, [val_divisions](const Size& size) {
        auto image = std::make_shared<Image<float>>(size, 3);
        fill_pattern(image->samples.data(), image->samples.size(), 0.0f, 1.0f);
        const int32_t planes = val_divisions >= 2 ? val_divisions : 1;
        auto table = gentle_table(planes * kHueDivisions * kSatDivisions);
        Prepared prepared{[image, table, val_divisions] {
            return orvex_apply_hue_sat_map(&image->desc, table->data(), kHueDivisions, kSatDivisions,
                                           val_divisions);
        }};
#ifdef ORVEX_BENCH_OPENCV
        auto hsv = std::make_shared<cv::Mat>(written_mat(size, CV_32FC3));
        prepared.peers.push_back({"OpenCV cvtColor RGB>HSV>RGB", [image, hsv] {
                                      cv::Mat rgb = view_of(*image, CV_32FC3);
                                      cv::cvtColor(rgb, *hsv, cv::COLOR_RGB2HSV);
                                      cv::cvtColor(*hsv, rgb, cv::COLOR_HSV2RGB);
                                  }});
#endif
        return prepared;
    });
}

const bool registered = [] {
    add_hue_sat_map("apply_hue_sat_map/2d_90x30", 0);
    add_hue_sat_map("apply_hue_sat_map/3d_90x30x16", kValDivisions);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
