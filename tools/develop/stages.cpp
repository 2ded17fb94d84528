#include "stages.h"

#include <orvex.h>

#include <string>

namespace orvex::develop {

namespace {

orvex_image describe(void* data, uint32_t height, uint32_t width, uint32_t channels, orvex_dtype dtype) {
    return orvex_image{data, height, width, channels, static_cast<uint32_t>(dtype), 0, 0};
}

orvex_image describe(FloatImage& image) {
    return describe(image.samples.data(), image.height, image.width, image.channels, ORVEX_DTYPE_FLOAT32);
}

orvex_image describe(const FloatImage& image) { return describe(const_cast<FloatImage&>(image)); }

FloatImage float_image(uint32_t height, uint32_t width, uint32_t channels) {
    FloatImage image{height, width, channels, {}};
    image.samples.resize(size_t{height} * width * channels);
    return image;
}

// The recipe was checked before the call, so a refusal is a fault of the tool
// or of the library; it is reported, never ignored.
void check(orvex_status status, const char* stage) {
    if (status == ORVEX_OK) return;
    const char* names[] = {"ok", "invalid argument", "unsupported", "shape mismatch"};
    const std::string name = status > 0 && status < 4 ? names[status] : "status " + std::to_string(status);
    throw StageError(std::string(stage) + ": the library refused the call (" + name + ")");
}

template <typename T>
const T* data_or_null(const std::vector<T>& values) {
    return values.empty() ? nullptr : values.data();
}

}  // namespace

void repair_bad_pixels(const BadPixelsStage& stage, Mosaic& mosaic) {
    // Repairs read the marked mosaic only, so the result does not depend on the order of the repairs.
    Mosaic source = mosaic;
    const orvex_image src = describe(source.samples.data(), mosaic.height, mosaic.width, 1, ORVEX_DTYPE_UINT16);
    const orvex_image dst = describe(mosaic.samples.data(), mosaic.height, mosaic.width, 1, ORVEX_DTYPE_UINT16);
    check(orvex_fix_bad_pixels_constant(&src, &dst, stage.constant, stage.bayer_phase), "bad_pixels");
}

FloatImage normalise(const std::optional<NormaliseStage>& stage, const Mosaic& mosaic) {
    FloatImage result = float_image(mosaic.height, mosaic.width, 1);
    uint16_t* raw = const_cast<uint16_t*>(mosaic.samples.data());
    const orvex_image src = describe(raw, mosaic.height, mosaic.width, 1, ORVEX_DTYPE_UINT16);
    const orvex_image dst = describe(result);
    if (!stage) {
        check(orvex_convert_dtype(&src, &dst, 16, 0, -1.0f), "normalise");
        return result;
    }
    const auto count = [](const auto& values) { return static_cast<int32_t>(values.size()); };
    check(orvex_normalize_raw(&src, &dst, stage->black_level.data(), stage->black_level_rows,
                              stage->black_level_cols, 1, stage->white_level.data(), count(stage->white_level),
                              data_or_null(stage->black_delta_h), count(stage->black_delta_h),
                              data_or_null(stage->black_delta_v), count(stage->black_delta_v),
                              data_or_null(stage->linearization_table), count(stage->linearization_table)),
          "normalise");
    return result;
}

void apply_mosaic_gain_map(const MosaicGainMap& map, FloatImage& mosaic) {
    const orvex_image image = describe(mosaic);
    check(orvex_apply_gain_map_cfa(&image, map.gains.data(), map.points_v, map.points_h, 1, map.top, map.left,
                                   map.bottom, map.right, map.row_pitch, map.col_pitch, map.spacing_v,
                                   map.spacing_h, map.origin_v, map.origin_h),
          "mosaic_gain_maps");
}

FloatImage demosaic(const DemosaicStage& stage, const FloatImage& mosaic) {
    FloatImage result = float_image(mosaic.height, mosaic.width, 3);
    const orvex_image src = describe(mosaic);
    const orvex_image dst = describe(result);
    check(orvex_bilinear_demosaic(&src, &dst, stage.cfa.data()), "demosaic");
    return result;
}

void correct_vignette(const VignetteStage& stage, FloatImage& image) {
    const orvex_image target = describe(image);
    check(orvex_fix_vignette(&target, stage.coefficients.data(), static_cast<int32_t>(stage.coefficients.size()),
                             stage.center_x, stage.center_y),
          "vignette");
}

void warp(const WarpStage& stage, FloatImage& image) {
    if (stage.cubic && (image.height < 4 || image.width < 4))
        throw StageError("warp.cubic: needs an image of at least 4 x 4 pixels");
    // One set of coefficients serves every channel.
    std::vector<double> coefficients = stage.coefficients;
    std::vector<double> tangential = stage.tangential;
    int32_t planes = stage.planes;
    if (planes == 1 && image.channels > 1) {
        planes = static_cast<int32_t>(image.channels);
        for (int32_t plane = 1; plane < planes; ++plane) {
            coefficients.insert(coefficients.end(), stage.coefficients.begin(), stage.coefficients.end());
            tangential.insert(tangential.end(), stage.tangential.begin(), stage.tangential.end());
        }
    }
    FloatImage result = float_image(image.height, image.width, image.channels);
    const orvex_image src = describe(image);
    const orvex_image dst = describe(result);
    check(orvex_warp_rectilinear(&src, &dst, coefficients.data(), planes, stage.coefficient_count,
                                 data_or_null(tangential), stage.center_x, stage.center_y, stage.cubic),
          "warp");
    image = std::move(result);
}

void transform_colour(const ColourStage& stage, FloatImage& image) {
    const orvex_image target = describe(image);
    check(orvex_transform_color(&target, &target, data_or_null(stage.input_curve), stage.input_curve.size(),
                                stage.matrix ? stage.matrix->data() : nullptr, data_or_null(stage.output_curve),
                                stage.output_curve.size(), 0, 0, stage.preserve_hue),
          "colour");
}

void apply_exposure(const ExposureStage& stage, FloatImage& image) {
    const orvex_image target = describe(image);
    check(orvex_apply_exposure_ramp(&target, &target, stage.white, stage.black, stage.toe_width, stage.unclipped),
          "exposure");
}

void apply_hue_sat_map(const HueSatMapStage& stage, FloatImage& image) {
    const orvex_image target = describe(image);
    check(orvex_apply_hue_sat_map(&target, stage.table.data(), stage.hue_divisions, stage.sat_divisions,
                                  stage.val_divisions),
          "hue_sat_map");
}

void apply_profile_gain_table(const ProfileGainTableStage& stage, FloatImage& image) {
    const orvex_image target = describe(image);
    check(orvex_apply_profile_gain_table_map(&target, stage.table.data(), stage.points_v, stage.points_h,
                                             stage.spacing_v, stage.spacing_h, stage.origin_v, stage.origin_h,
                                             stage.points_n, stage.weights.data(), stage.gamma, stage.input_scale),
          "profile_gain_table");
}

OutputImage convert_for_output(const OutputStage& stage, const FloatImage& image, SampleFormat format) {
    OutputImage result{image.height, image.width, image.channels, format, {}};
    result.bytes.resize(image.samples.size() * bytes_per_sample(format));
    const orvex_dtype dtype = format == SampleFormat::uint8    ? ORVEX_DTYPE_UINT8
                              : format == SampleFormat::uint16 ? ORVEX_DTYPE_UINT16
                                                               : ORVEX_DTYPE_FLOAT32;
    const orvex_image src = describe(image);
    const orvex_image dst = describe(result.bytes.data(), image.height, image.width, image.channels, dtype);
    // Both calls clamp the curve's levels to 0..1 before scaling to the output type.
    if (image.channels == 3)
        check(orvex_transform_color(&src, &dst, nullptr, 0, nullptr, stage.curve.data(), stage.curve.size(), 0, 0,
                                    false),
              "output");
    else
        check(orvex_mono_lut(&src, &dst, stage.curve.data(), stage.curve.size(), 0, 0), "output");
    return result;
}

}  // namespace orvex::develop
