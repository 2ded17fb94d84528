#include "pipeline.h"

#include <chrono>

#include "stages.h"

namespace orvex::develop {

namespace {

class StageClock {
public:
    explicit StageClock(std::vector<StageTime>* times) : times_(times) {}

    template <typename Work>
    void run(const char* stage, Work&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        if (times_) {
            const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
            times_->push_back({stage, spent.count()});
        }
    }

private:
    std::vector<StageTime>* times_;
};

}  // namespace

OutputImage develop_mosaic(const Recipe& recipe, Mosaic mosaic, SampleFormat format,
                           std::vector<StageTime>* times) {
    StageClock clock(times);
    if (recipe.bad_pixels) clock.run("bad_pixels", [&] { repair_bad_pixels(*recipe.bad_pixels, mosaic); });
    FloatImage image;
    clock.run("normalise", [&] {
        image = normalise(recipe.normalise, mosaic);
        mosaic = Mosaic{};
    });
    if (!recipe.mosaic_gain_maps.empty()) {
        clock.run("mosaic_gain_maps", [&] {
            for (const MosaicGainMap& map : recipe.mosaic_gain_maps)
                apply_mosaic_gain_map(map, image);
        });
    }
    if (recipe.demosaic) clock.run("demosaic", [&] { image = demosaic(*recipe.demosaic, image); });
    if (recipe.vignette) clock.run("vignette", [&] { correct_vignette(*recipe.vignette, image); });
    if (recipe.warp) clock.run("warp", [&] { warp(*recipe.warp, image); });
    if (recipe.colour) clock.run("colour", [&] { transform_colour(*recipe.colour, image); });
    if (recipe.exposure) clock.run("exposure", [&] { apply_exposure(*recipe.exposure, image); });
    if (recipe.hue_sat_map) clock.run("hue_sat_map", [&] { apply_hue_sat_map(*recipe.hue_sat_map, image); });
    if (recipe.profile_gain_table)
        clock.run("profile_gain_table", [&] { apply_profile_gain_table(*recipe.profile_gain_table, image); });
    OutputImage output;
    clock.run("output", [&] { output = convert_for_output(recipe.output, image, format); });
    return output;
}

}  // namespace orvex::develop
