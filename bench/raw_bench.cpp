#include <memory>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/imgproc.hpp>

#include "opencv_peer.h"
#endif

namespace orvex::bench {
namespace {

constexpr float kBlack2x2[4] = {256.0f, 260.0f, 252.0f, 258.0f};
constexpr float kWhite = 16383.0f;
constexpr uint32_t kRggb[4] = {0, 1, 1, 2};

// A 2 x 2 black pattern alone takes the fast path; adding a per-column offset
// of one zero value sends the same image through the general rule. The peer
// is the single scale and offset of cv::Mat::convertTo (one black level).
void add_normalize(const char* name, bool general) {
    add_case(name, {sizeof(float)}, [general](const Size& size) {
        auto src = std::make_shared<Image<uint16_t>>(size, 1);
        auto dst = std::make_shared<Image<float>>(size, 1);
        fill_pattern(src->samples.data(), src->samples.size(), uint16_t{0}, uint16_t{16383});
        Prepared prepared{[src, dst, general] {
            static constexpr float kNoOffset[1] = {0.0f};
            return orvex_normalize_raw(&src->desc, &dst->desc, kBlack2x2, 2, 2, 1, &kWhite, 1,
                                       general ? kNoOffset : nullptr, general ? 1 : 0, nullptr, 0, nullptr, 0);
        }};
#ifdef ORVEX_BENCH_OPENCV
        prepared.peers.push_back({"OpenCV convertTo scale+offset", [src, dst] {
                                      const double scale = 1.0 / (kWhite - kBlack2x2[0]);
                                      cv::Mat to = view_of(*dst, CV_32FC1);
                                      view_of(*src, CV_16UC1).convertTo(to, CV_32F, scale, -kBlack2x2[0] * scale);
                                  }});
#endif
        return prepared;
    });
}

// OpenCV's default Bayer conversion is bilinear; 16-bit samples are the
// closest input it offers to a float mosaic.
void add_demosaic() {
    add_case("bilinear_demosaic/f32_rggb", {3 * sizeof(float)}, [](const Size& size) {
        auto src = std::make_shared<Image<float>>(size, 1);
        auto dst = std::make_shared<Image<float>>(size, 3);
        fill_pattern(src->samples.data(), src->samples.size(), 0.0f, 1.0f);
        Prepared prepared{[src, dst] { return orvex_bilinear_demosaic(&src->desc, &dst->desc, kRggb); }};
#ifdef ORVEX_BENCH_OPENCV
        auto mosaic = std::make_shared<cv::Mat>(written_mat(size, CV_16UC1));
        auto rgb = std::make_shared<cv::Mat>(written_mat(size, CV_16UC3));
        fill_pattern(mosaic->ptr<uint16_t>(), size.pixels(), uint16_t{0}, uint16_t{65535});
        prepared.peers.push_back(
            {"OpenCV cvtColor Bayer u16", [mosaic, rgb] { cv::cvtColor(*mosaic, *rgb, cv::COLOR_BayerRG2BGR); }});
#endif
        return prepared;
    });
}

const bool registered = [] {
    add_normalize("normalize_raw/u16_2x2_fast", false);
    add_normalize("normalize_raw/u16_2x2_general", true);
    add_demosaic();
    return true;
}();

}  // namespace
}  // namespace orvex::bench
