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

// A mild barrel model with a little lateral colour: three planes with their
// own radial and tangential terms, as a raw file's warp carries them.
const double kRadial[12] = {1.0,    -0.020, 0.010, -0.0020,  //
                            1.0005, -0.021, 0.011, -0.0021, 1.001, -0.022, 0.012, -0.0022};
const double kTangential[6] = {0.0010, -0.0005, 0.0011, -0.0006, 0.0012, -0.0007};

#ifdef ORVEX_BENCH_OPENCV
// The same barrel (plane 0, radial terms only) as precomputed float maps.
void fill_maps(cv::Mat& map_x, cv::Mat& map_y) {
    const double cx = map_x.cols * 0.5, cy = map_x.rows * 0.5;
    const double radius = std::sqrt(cx * cx + cy * cy);
    for (int y = 0; y < map_x.rows; ++y) {
        float* mx = map_x.ptr<float>(y);
        float* my = map_y.ptr<float>(y);
        for (int x = 0; x < map_x.cols; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double r2 = (dx * dx + dy * dy) / (radius * radius);
            const double f = kRadial[0] + r2 * (kRadial[1] + r2 * (kRadial[2] + r2 * kRadial[3]));
            mx[x] = static_cast<float>(cx + f * dx);
            my[x] = static_cast<float>(cy + f * dy);
        }
    }
}

struct Maps {
    cv::Mat x, y;             // float maps
    cv::Mat fixed, fraction;  // cv::convertMaps' fixed-point form (1/32 pixel)
};

// cv::remap from float maps (the reference), then from the fixed-point maps
// that cv::convertMaps makes of them (OpenCV's fastest form). Both write the
// export's output from its input.
void add_remap_peers(Prepared& prepared, const std::shared_ptr<Image<float>>& src,
                     const std::shared_ptr<Image<float>>& dst, const Size& size, int interpolation) {
    auto maps = std::make_shared<Maps>();
    maps->x = written_mat(size, CV_32FC1);
    maps->y = written_mat(size, CV_32FC1);
    fill_maps(maps->x, maps->y);
    cv::convertMaps(maps->x, maps->y, maps->fixed, maps->fraction, CV_16SC2);
    const auto remap = [src, dst, maps, interpolation](bool fixed) {
        cv::Mat to = view_of(*dst, CV_32FC3);
        cv::remap(view_of(*src, CV_32FC3), to, fixed ? maps->fixed : maps->x, fixed ? maps->fraction : maps->y,
                  interpolation, cv::BORDER_REPLICATE);
    };
    prepared.peers.push_back({"OpenCV remap, float maps", [remap] { remap(false); }});
    prepared.peers.push_back({"OpenCV remap, fixed-point maps", [remap] { remap(true); }});
}
#endif

void add_warp(const char* name, bool cubic) {
    add_case(name, {3 * sizeof(float)}, [cubic](const Size& size) {
        auto src = std::make_shared<Image<float>>(size, 3);
        auto dst = std::make_shared<Image<float>>(size, 3);
        fill_pattern(src->samples.data(), src->samples.size(), 0.0f, 1.0f);
        Prepared prepared{[src, dst, cubic] {
            return orvex_warp_rectilinear(&src->desc, &dst->desc, kRadial, 3, 4, kTangential, 0.5, 0.5, cubic);
        }};
#ifdef ORVEX_BENCH_OPENCV
        add_remap_peers(prepared, src, dst, size, cubic ? cv::INTER_CUBIC : cv::INTER_LINEAR);
#endif
        return prepared;
    });
}

const bool registered = [] {
    add_warp("warp_rectilinear/bilinear_f32x3", false);
    add_warp("warp_rectilinear/cubic_f32x3", true);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
