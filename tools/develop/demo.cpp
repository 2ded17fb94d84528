#include "demo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "demo_check.h"
#include "demo_recipe.h"
#include "demo_scene.h"
#include "demo_sensor.h"
#include "image_files.h"
#include "pipeline.h"
#include "tone_curves.h"

namespace orvex::develop {

namespace {

std::string figure(double value, const char* format = "%.2f") {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The mosaic as an 8-bit grey picture: black to white level, sRGB-encoded.
OutputImage mosaic_preview(const Mosaic& mosaic) {
    OutputImage preview{mosaic.height, mosaic.width, 1, SampleFormat::uint8, {}};
    preview.bytes.resize(mosaic.samples.size());
    const double range = demo::Camera::white_level - demo::Camera::black_level;
    for (size_t i = 0; i < mosaic.samples.size(); ++i) {
        const double level = std::clamp((mosaic.samples[i] - double{demo::Camera::black_level}) / range, 0.0, 1.0);
        preview.bytes[i] = static_cast<unsigned char>(std::lround(srgb_encode(level) * 255.0));
    }
    return preview;
}

// The mosaic preview (left) beside the developed picture (right).
OutputImage side_by_side(const OutputImage& preview, const OutputImage& developed) {
    OutputImage joined{developed.height, developed.width * 2, 3, SampleFormat::uint8, {}};
    joined.bytes.resize(size_t{joined.height} * joined.width * 3);
    for (uint32_t y = 0; y < joined.height; ++y) {
        for (uint32_t x = 0; x < developed.width; ++x) {
            const size_t left = (size_t{y} * joined.width + x) * 3;
            const size_t right = left + size_t{developed.width} * 3;
            const size_t source = size_t{y} * developed.width + x;
            for (int k = 0; k < 3; ++k) {
                joined.bytes[left + k] = preview.bytes[source];
                joined.bytes[right + k] = developed.bytes[source * 3 + k];
            }
        }
    }
    return joined;
}

void write_text(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) throw ImageFileError(path.string() + ": cannot write the file");
}

}  // namespace

bool run_demo(const std::string& dir, std::ostream& out) {
    const std::filesystem::path folder(dir);
    std::filesystem::create_directories(folder);
    const auto path = [&](const char* name) { return (folder / name).string(); };

    const Mosaic mosaic = demo::capture_scene();
    const std::string recipe_text = demo::demo_recipe().dump(2) + "\n";
    write_text(path("recipe.json"), recipe_text);
    const Recipe recipe = parse_recipe(recipe_text);
    write_image_file(path("mosaic.png"), FileKind::png, mosaic_image(mosaic));
    const OutputImage preview = mosaic_preview(mosaic);
    write_image_file(path("mosaic_preview.png"), FileKind::png, preview);

    std::vector<StageTime> times;
    const OutputImage developed = develop_mosaic(recipe, mosaic, SampleFormat::uint8, &times);
    write_image_file(path("developed.png"), FileKind::png, developed);
    write_image_file(path("side_by_side.png"), FileKind::png, side_by_side(preview, developed));

    Recipe without_warp = recipe;
    without_warp.warp.reset();
    const double bent = demo::grid_straightness(develop_mosaic(without_warp, mosaic, SampleFormat::uint8));
    const demo::ColourError colour = demo::chart_colour_error(developed);
    const double straightness = demo::grid_straightness(developed);

    double total = 0.0;
    for (const StageTime& time : times)
        total += time.milliseconds;
    out << "orvex-develop demo: a " << demo::kWidth << " x " << demo::kHeight
        << " RGGB mosaic (12-bit, black level 256, white balance, vignetting, barrel distortion, bad pixels,\n"
        << "noise) developed through " << times.size() << " stages in " << figure(total, "%.0f") << " ms\n"
        << "  " << path("mosaic.png") << "          the mosaic itself (16-bit, values up to 4095)\n"
        << "  " << path("mosaic_preview.png") << "  a viewable copy\n"
        << "  " << path("recipe.json") << "         the recipe that develops it\n"
        << "  " << path("developed.png") << "       the developed picture\n"
        << "  " << path("side_by_side.png") << "    mosaic and developed picture side by side\n";
    const bool colour_ok = colour.mean <= demo::kMeanDeltaELimit && colour.largest <= demo::kLargestDeltaELimit;
    const bool lines_ok = straightness <= demo::kStraightnessLimit;
    out << "check: chart colour error (CIE dE 1976 over 24 patches): mean " << figure(colour.mean) << ", largest "
        << figure(colour.largest) << " (limits " << figure(demo::kMeanDeltaELimit, "%.1f") << " and "
        << figure(demo::kLargestDeltaELimit, "%.1f") << "): " << (colour_ok ? "pass" : "FAIL") << "\n"
        << "check: grid lines off straight by at most " << figure(straightness) << " px (limit "
        << figure(demo::kStraightnessLimit, "%.1f") << "; " << figure(bent, "%.1f")
        << " px without the lens warp): " << (lines_ok ? "pass" : "FAIL") << "\n";
    return colour_ok && lines_ok;
}

}  // namespace orvex::develop
