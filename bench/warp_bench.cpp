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

// A mild barrel model with a little lateral colour: three planes with their
// own radial and tangential terms, as a raw file's warp carries them.
const double kRadial[12] = {1.0,    -0.020, 0.010, -0.0020,  //
                            1.0005, -0.021, 0.011, -0.0021, 1.001, -0.022, 0.012, -0.0022};
const double kTangential[6] = {0.0010, -0.0005, 0.0011, -0.0006, 0.0012, -0.0007};

void add_warp(const char* name, bool cubic) {
    add_case(name, {kPixels, "pixel", kPixels * 3 * sizeof(float)}, [cubic] {
        auto src = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        auto dst = std::make_shared<Image<float>>(kHeight, kWidth, 3);
        fill_pattern(src->samples.data(), src->samples.size(), 0.0f, 1.0f);
        return [src, dst, cubic] {
            orvex_warp_rectilinear(&src->desc, &dst->desc, kRadial, 3, 4, kTangential, 0.5, 0.5, cubic);
        };
    });
}

#ifdef ORVEX_BENCH_OPENCV
// The same barrel (plane 0, radial terms only) as precomputed float maps.
void fill_maps(cv::Mat& map_x, cv::Mat& map_y) {
    const double cx = kWidth * 0.5, cy = kHeight * 0.5;
    const double radius = std::sqrt(cx * cx + cy * cy);
    for (int y = 0; y < static_cast<int>(kHeight); ++y) {
        float* mx = map_x.ptr<float>(y);
        float* my = map_y.ptr<float>(y);
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const double dx = x - cx, dy = y - cy;
            const double r2 = (dx * dx + dy * dy) / (radius * radius);
            const double f = kRadial[0] + r2 * (kRadial[1] + r2 * (kRadial[2] + r2 * kRadial[3]));
            mx[x] = static_cast<float>(cx + f * dx);
            my[x] = static_cast<float>(cy + f * dy);
        }
    }
}

// Float maps, or the fixed-point maps that cv::convertMaps makes from them
// (OpenCV's fastest form, quantised to 1/32 pixel like the cubic table).
void add_opencv_remap(const char* name, int interpolation, bool fixed_point) {
    add_case(name, {kPixels, "pixel", kPixels * 3 * sizeof(float), false}, [interpolation, fixed_point] {
        cv::setNumThreads(1);
        const int rows = static_cast<int>(kHeight), cols = static_cast<int>(kWidth);
        auto src = std::make_shared<cv::Mat>(rows, cols, CV_32FC3);
        auto dst = std::make_shared<cv::Mat>(rows, cols, CV_32FC3);
        auto map1 = std::make_shared<cv::Mat>(rows, cols, CV_32FC1);
        auto map2 = std::make_shared<cv::Mat>(rows, cols, CV_32FC1);
        fill_pattern(src->ptr<float>(), kPixels * 3, 0.0f, 1.0f);
        fill_maps(*map1, *map2);
        if (fixed_point) {
            cv::Mat xy, fraction;
            cv::convertMaps(*map1, *map2, xy, fraction, CV_16SC2);
            *map1 = xy;
            *map2 = fraction;
        }
        return [src, dst, map1, map2, interpolation] {
            cv::remap(*src, *dst, *map1, *map2, interpolation, cv::BORDER_REPLICATE);
        };
    });
}
#endif

const bool registered = [] {
    add_warp("warp_rectilinear/bilinear_f32x3", false);
    add_warp("warp_rectilinear/cubic_f32x3", true);
#ifdef ORVEX_BENCH_OPENCV
    add_opencv_remap("opencv_remap/linear_f32x3", cv::INTER_LINEAR, false);
    add_opencv_remap("opencv_remap/cubic_f32x3", cv::INTER_CUBIC, false);
    add_opencv_remap("opencv_remap/linear_fixed_maps_f32x3", cv::INTER_LINEAR, true);
    add_opencv_remap("opencv_remap/cubic_fixed_maps_f32x3", cv::INTER_CUBIC, true);
#endif
    return true;
}();

}  // namespace
}  // namespace orvex::bench
