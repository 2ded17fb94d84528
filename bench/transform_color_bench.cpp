#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include <opencv2/core.hpp>
#endif

namespace orvex::bench {
namespace {

constexpr float kMatrix[9] = {1.6f, -0.4f, -0.2f, -0.3f, 1.5f, -0.2f, 0.0f, -0.5f, 1.5f};

// A gamma-like rising curve of n entries.
std::shared_ptr<std::vector<float>> rising_curve(size_t n) {
    auto curve = std::make_shared<std::vector<float>>(n);
    for (size_t i = 0; i < n; ++i) {
        const float x = static_cast<float>(i) / static_cast<float>(n - 1);
        (*curve)[i] = x * (2.0f - x);
    }
    return curve;
}

template <class Src>
void fill_full_range(Image<Src>& image) {
    if constexpr (sizeof(Src) == 4)
        fill_pattern(image.samples.data(), image.samples.size(), -0.1f, 1.1f);
    else
        fill_pattern(image.samples.data(), image.samples.size(), Src{0}, Src(~Src{0}));
}

// in_len / out_len 0: that curve is not given; with_matrix false: no matrix.
template <class Src, class Dst>
void add_transform(const char* name, size_t in_len, bool with_matrix, size_t out_len, bool preserve_hue) {
    add_case(name, {kPixels, "pixel", kPixels * 3 * sizeof(Dst)}, [=] {
        auto src = std::make_shared<Image<Src>>(kHeight, kWidth, 3);
        auto dst = std::make_shared<Image<Dst>>(kHeight, kWidth, 3);
        fill_full_range(*src);
        auto input = rising_curve(in_len == 0 ? 1 : in_len);
        auto output = rising_curve(out_len == 0 ? 1 : out_len);
        return [=] {
            orvex_transform_color(&src->desc, &dst->desc, in_len ? input->data() : nullptr, in_len,
                                  with_matrix ? kMatrix : nullptr, out_len ? output->data() : nullptr, out_len, 0,
                                  0, preserve_hue);
        };
    });
}

#ifdef ORVEX_BENCH_OPENCV
void add_opencv_transform() {
    // cv::transform with a 3 x 3 matrix: the reference for both the matrix-only
    // transform and the clipping transform.
    add_case("opencv/transform_3x3_f32", {kPixels, "pixel", kPixels * 12, false}, [] {
        cv::setNumThreads(1);
        auto src = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_32FC3);
        auto dst = std::make_shared<cv::Mat>(static_cast<int>(kHeight), static_cast<int>(kWidth), CV_32FC3);
        fill_pattern(src->ptr<float>(), kPixels * 3, -0.1f, 1.1f);
        auto matrix = std::make_shared<cv::Mat>(3, 3, CV_32FC1, const_cast<float*>(kMatrix));
        cv::transform(*src, *dst, *matrix);  // the first call pays one-time set-up costs
        return [src, dst, matrix] { cv::transform(*src, *dst, *matrix); };
    });
}
#endif

const bool registered = [] {
    add_transform<float, float>("transform_color/matrix_f32_to_f32", 0, true, 0, false);
    add_transform<uint16_t, uint8_t>("transform_color/curve_matrix_curve_u16_to_u8", 4096, true, 4096, false);
    add_transform<uint8_t, uint8_t>("transform_color/direct_curve_u8_to_u8", 256, false, 0, false);
    add_transform<uint8_t, uint8_t>("transform_color/direct_curve_matrix_curve_u8_to_u8", 256, true, 4096, false);
    add_transform<float, uint16_t>("transform_color/hue_curve_matrix_f32_to_u16", 4096, true, 0, true);
#ifdef ORVEX_BENCH_OPENCV
    add_opencv_transform();
#endif
    return true;
}();

}  // namespace
}  // namespace orvex::bench
