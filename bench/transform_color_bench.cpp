#include <memory>
#include <vector>

#include "harness.h"

#ifdef ORVEX_BENCH_OPENCV
#include "opencv_peer.h"
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

// What the variants compare with: nothing, cv::transform (a 3 x 3 matrix on
// floats), cv::LUT (one 256-entry table on 8-bit samples) or the chain a
// caller would run on integer images without curves: convertTo float scaled to
// 0..1, cv::transform, convertTo the destination type scaled by its maximum.
enum class PeerKind { none, transform, lut, convert_transform_convert };

#ifdef ORVEX_BENCH_OPENCV
template <class Src, class Dst>
Peer convert_transform_convert_peer(const Size& size, std::shared_ptr<Image<Src>> src,
                                    std::shared_ptr<Image<Dst>> dst) {
    constexpr double src_max = static_cast<double>(static_cast<Src>(~Src{0}));
    constexpr double dst_max = static_cast<double>(static_cast<Dst>(~Dst{0}));
    auto normalised = std::make_shared<cv::Mat>(written_mat(size, CV_32FC3));
    auto mixed = std::make_shared<cv::Mat>(written_mat(size, CV_32FC3));
    return {
        "OpenCV convertTo+transform+convertTo", [src, dst, normalised, mixed] {
            view_of(*src, CV_MAKETYPE(cv::DataType<Src>::depth, 3)).convertTo(*normalised, CV_32F, 1.0 / src_max);
            cv::transform(*normalised, *mixed, cv::Mat(3, 3, CV_32FC1, const_cast<float*>(kMatrix)));
            cv::Mat to = view_of(*dst, CV_MAKETYPE(cv::DataType<Dst>::depth, 3));
            mixed->convertTo(to, to.type(), dst_max);
        }};
}
#endif

// in_len / out_len 0: that curve is not given; with_matrix false: no matrix.
template <class Src, class Dst>
void add_transform(const char* name, size_t in_len, bool with_matrix, size_t out_len, bool preserve_hue,
                   [[maybe_unused]] PeerKind peer) {
    add_case(name, {3 * sizeof(Dst)}, [=](const Size& size) {
        auto src = std::make_shared<Image<Src>>(size, 3);
        auto dst = std::make_shared<Image<Dst>>(size, 3);
        fill_full_range(*src);
        auto input = rising_curve(in_len == 0 ? 1 : in_len);
        auto output = rising_curve(out_len == 0 ? 1 : out_len);
        Prepared prepared{[=] {
            return orvex_transform_color(&src->desc, &dst->desc, in_len ? input->data() : nullptr, in_len,
                                         with_matrix ? kMatrix : nullptr, out_len ? output->data() : nullptr,
                                         out_len, 0, 0, preserve_hue);
        }};
#ifdef ORVEX_BENCH_OPENCV
        if constexpr (sizeof(Src) == 4 && sizeof(Dst) == 4)
            if (peer == PeerKind::transform) prepared.peers.push_back(transform_peer(src, dst, kMatrix));
        if constexpr (sizeof(Src) == 1 && sizeof(Dst) == 1)
            if (peer == PeerKind::lut) {
                auto table = std::make_shared<cv::Mat>(1, 256, CV_8UC1);
                for (int k = 0; k < 256; ++k)
                    table->at<uint8_t>(k) = static_cast<uint8_t>(k * (510 - k) / 255);
                prepared.peers.push_back({"OpenCV LUT", [src, dst, table] {
                                              cv::Mat to = view_of(*dst, CV_8UC3);
                                              cv::LUT(view_of(*src, CV_8UC3), *table, to);
                                          }});
            }
        if constexpr (sizeof(Src) != 4 && sizeof(Dst) != 4)
            if (peer == PeerKind::convert_transform_convert)
                prepared.peers.push_back(convert_transform_convert_peer(size, src, dst));
#endif
        return prepared;
    });
}

const bool registered = [] {
    add_transform<float, float>("transform_color/matrix_f32_to_f32", 0, true, 0, false, PeerKind::transform);
    add_transform<uint16_t, uint8_t>("transform_color/curve_matrix_curve_u16_to_u8", 4096, true, 4096, false,
                                     PeerKind::convert_transform_convert);
    add_transform<uint8_t, uint8_t>("transform_color/direct_curve_u8_to_u8", 256, false, 0, false, PeerKind::lut);
    add_transform<uint8_t, uint8_t>("transform_color/direct_curve_matrix_curve_u8_to_u8", 256, true, 4096, false,
                                    PeerKind::convert_transform_convert);
    add_transform<float, uint16_t>("transform_color/hue_curve_matrix_f32_to_u16", 4096, true, 0, true,
                                   PeerKind::none);
    return true;
}();

}  // namespace
}  // namespace orvex::bench
