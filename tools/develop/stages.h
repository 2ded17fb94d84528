// One function per pipeline stage, each a call of the library's exports on
// buffers the tool owns.
#pragma once

#include <stdexcept>
#include <vector>

#include "images.h"
#include "recipe.h"

namespace orvex::develop {

// A stage that cannot run on this image; what() names the stage.
class StageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Float samples, channels interleaved.
struct FloatImage {
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t channels = 0;
    std::vector<float> samples;
};

void repair_bad_pixels(const BadPixelsStage& stage, Mosaic& mosaic);
FloatImage normalise(const std::optional<NormaliseStage>& stage, const Mosaic& mosaic);
void apply_mosaic_gain_map(const MosaicGainMap& map, FloatImage& mosaic);
FloatImage demosaic(const DemosaicStage& stage, const FloatImage& mosaic);
void correct_vignette(const VignetteStage& stage, FloatImage& image);
void warp(const WarpStage& stage, FloatImage& image);
void transform_colour(const ColourStage& stage, FloatImage& image);
void apply_exposure(const ExposureStage& stage, FloatImage& image);
void apply_hue_sat_map(const HueSatMapStage& stage, FloatImage& image);
void apply_profile_gain_table(const ProfileGainTableStage& stage, FloatImage& image);
OutputImage convert_for_output(const OutputStage& stage, const FloatImage& image, SampleFormat format);

}  // namespace orvex::develop
