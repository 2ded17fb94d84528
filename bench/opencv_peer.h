// OpenCV matrices for peer calls. Only built with OpenCV (ORVEX_BENCH_OPENCV).
#pragma once

#include <opencv2/core.hpp>

#include <memory>

#include "harness.h"

namespace orvex::bench {

// A view of an orvex image's samples, so that a peer reads the same written
// input (and writes the same written output) as the export.
template <class T>
cv::Mat view_of(Image<T>& image, int type) {
    return cv::Mat(static_cast<int>(image.desc.height), static_cast<int>(image.desc.width), type,
                   image.samples.data());
}

// A zero-filled matrix of the image size.
inline cv::Mat written_mat(const Size& size, int type) {
    return cv::Mat(static_cast<int>(size.height), static_cast<int>(size.width), type, cv::Scalar::all(0));
}

// cv::transform with a 3 x 3 matrix between three-channel float images.
inline Peer transform_peer(std::shared_ptr<Image<float>> src, std::shared_ptr<Image<float>> dst,
                           const float* matrix) {
    return {"OpenCV transform 3x3", [src, dst, matrix] {
                cv::Mat to = view_of(*dst, CV_32FC3);
                cv::transform(view_of(*src, CV_32FC3), to, cv::Mat(3, 3, CV_32FC1, const_cast<float*>(matrix)));
            }};
}

}  // namespace orvex::bench
