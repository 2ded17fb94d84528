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

// What the general rule is given beyond the black pattern: the fast path
// takes a 2 x 2 pattern with nothing else.
struct GeneralInputs {
    int32_t pattern_side = 2;        // a square black pattern of this side
    bool zero_column_delta = false;  // one zero per-column delta: same bits as the fast path's image, general rule
    bool row_and_column_deltas = false;  // a delta per column and per row
    int32_t table_entries = 0;           // a linearisation table of this size
};

// The peer is the single scale and offset of cv::Mat::convertTo (one black
// level, no per-site work).
void add_normalize(const char* name, GeneralInputs inputs) {
    add_case(name, {sizeof(float)}, [inputs](const Size& size) {
        auto src = std::make_shared<Image<uint16_t>>(size, 1);
        auto dst = std::make_shared<Image<float>>(size, 1);
        fill_pattern(src->samples.data(), src->samples.size(), uint16_t{0}, uint16_t{16383});
        const size_t pattern_values = static_cast<size_t>(inputs.pattern_side) * inputs.pattern_side;
        auto black = std::make_shared<std::vector<float>>(pattern_values);
        for (size_t i = 0; i < pattern_values; ++i)
            black->at(i) = kBlack2x2[i % 4] + static_cast<float>(i / 4);
        auto delta_h = std::make_shared<std::vector<float>>(inputs.row_and_column_deltas ? size.width : 1);
        auto delta_v = std::make_shared<std::vector<float>>(inputs.row_and_column_deltas ? size.height : 0);
        fill_pattern(delta_h->data(), delta_h->size(), inputs.row_and_column_deltas ? -2.0f : 0.0f,
                     inputs.row_and_column_deltas ? 2.0f : 0.0f);
        fill_pattern(delta_v->data(), delta_v->size(), -1.5f, 1.5f);
        auto table = std::make_shared<std::vector<uint16_t>>(static_cast<size_t>(inputs.table_entries));
        fill_pattern(table->data(), table->size(), uint16_t{0}, uint16_t{16383});
        const bool with_h = inputs.zero_column_delta || inputs.row_and_column_deltas;
        Prepared prepared{[=] {
            return orvex_normalize_raw(&src->desc, &dst->desc, black->data(), inputs.pattern_side,
                                       inputs.pattern_side, 1, &kWhite, 1, with_h ? delta_h->data() : nullptr,
                                       with_h ? static_cast<int32_t>(delta_h->size()) : 0, delta_v->data(),
                                       static_cast<int32_t>(delta_v->size()), table->data(), inputs.table_entries);
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
    add_normalize("normalize_raw/u16_2x2_fast", {});
    add_normalize("normalize_raw/u16_2x2_general", {.zero_column_delta = true});
    add_normalize("normalize_raw/u16_4x4_general", {.pattern_side = 4});
    add_normalize("normalize_raw/u16_2x2_row_column_deltas", {.row_and_column_deltas = true});
    add_normalize("normalize_raw/u16_2x2_linearization_table", {.table_entries = 16384});
    add_demosaic();
    return true;
}();

}  // namespace
}  // namespace orvex::bench
