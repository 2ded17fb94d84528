#include <memory>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace orvex::bench {
namespace {

constexpr float kBlack2x2[4] = {256.0f, 260.0f, 252.0f, 258.0f};
constexpr float kWhite = 16383.0f;
constexpr uint32_t kRggb[4] = {0, 1, 1, 2};

// A 2 x 2 black pattern alone takes the fast path; adding a per-column offset
// of one zero value sends the same image through the general rule.
void add_normalize(const char* name, bool general) {
    add_case(name, {kPixels, "pixel", kPixels * sizeof(float)}, [general] {
        auto src = std::make_shared<Image<uint16_t>>(kHeight, kWidth, 1);
        auto dst = std::make_shared<Image<float>>(kHeight, kWidth, 1);
        fill_pattern(src->samples.data(), src->samples.size(), uint16_t{0}, uint16_t{16383});
        return [src, dst, general] {
            static constexpr float kNoOffset[1] = {0.0f};
            orvex_normalize_raw(&src->desc, &dst->desc, kBlack2x2, 2, 2, 1, &kWhite, 1,
                                general ? kNoOffset : nullptr, general ? 1 : 0, nullptr, 0, nullptr, 0);
        };
    });
}

void add_demosaic() {
    add_case("bilinear_demosaic/f32_rggb", {kPixels, "pixel", kPixels * 3 * sizeof(float)}, [] {
        auto src = std::make_shared<Image<float>>(kHeight, kWidth, 1);
        auto dst = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        fill_pattern(src->samples.data(), src->samples.size(), 0.0f, 1.0f);
        return [src, dst] { orvex_bilinear_demosaic(&src->desc, &dst->desc, kRggb); };
    });
}

#ifdef ORVEX_BENCH_OPENCV
// OpenCV's default Bayer conversion is bilinear; 16-bit samples are the
// closest input it offers to a float mosaic.
void add_opencv_demosaic() {
    add_case("bilinear_demosaic/opencv_u16_rggb", {kPixels, "pixel", kPixels * 3 * sizeof(float), false}, [] {
        cv::setNumThreads(1);
        auto src = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_16UC1);
        auto dst = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_16UC3);
        fill_pattern(src->ptr<uint16_t>(), kPixels, uint16_t{0}, uint16_t{65535});
        // One untimed call maps the output pages and runs OpenCV's own first-use set-up.
        dst->setTo(0);
        cv::cvtColor(*src, *dst, cv::COLOR_BayerRG2BGR);
        return [src, dst] { cv::cvtColor(*src, *dst, cv::COLOR_BayerRG2BGR); };
    });
}
#endif

const bool registered = [] {
    add_normalize("normalize_raw/u16_2x2_fast", false);
    add_normalize("normalize_raw/u16_2x2_general", true);
    add_demosaic();
#ifdef ORVEX_BENCH_OPENCV
    add_opencv_demosaic();
#endif
    return true;
}();

}  // namespace
}  // namespace orvex::bench
