// orvex-develop: develops raw mosaics into images with the library's pipeline.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "batch.h"
#include "demo.h"
#include "demo_check.h"
#include "output_naming.h"
#include "recipe.h"

namespace {

constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

std::string description() {
    using namespace orvex::develop::demo;
    std::ostringstream text;
    text << "Develops raw mosaics (one-channel 16-bit PGM, PNG or TIFF) into images: bad-pixel repair, "
            "normalisation,\n"
            "mosaic gain maps, demosaicing, vignette correction, lens warp, colour transform, exposure ramp,\n"
            "hue/saturation/value map, profile gain table and output conversion, each as the recipe says\n"
            "(docs/recipe.md). Exit status: 0 all files developed, 1 a file failed, 2 bad command line or recipe.\n"
            "--demo DIR synthesises a raw scene, develops it and checks the result: chart colour error (CIE dE "
            "1976)\n"
            "mean at most "
         << kMeanDeltaELimit << " and largest at most " << kLargestDeltaELimit << ", grid lines straight within "
         << kStraightnessLimit
         << " px.\n"
            "Run as: orvex-develop [options] INPUT... --recipe RECIPE.json (-o OUTPUT | --out-dir DIR)\n"
            "        orvex-develop --demo DIR";
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orvex::develop;
    CLI::App app(description(), "orvex-develop");
    std::vector<std::string> inputs;
    std::optional<std::string> recipe_path;
    std::optional<std::string> output_file;
    std::optional<std::string> out_dir;
    std::optional<std::string> format;
    std::optional<std::string> demo_dir;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    bool timings = false;
    app.add_option("INPUT", inputs, "raw mosaic files")->type_name("FILE");
    app.add_option("--recipe", recipe_path, "development recipe (JSON)")->type_name("RECIPE.json");
    app.add_option("-o,--output", output_file, "output file for a single input (.png, .tif, .tiff)")
        ->type_name("OUTPUT");
    app.add_option("--out-dir", out_dir, "output folder for several inputs (DIR/<input name>.png or .tif)")
        ->type_name("DIR");
    app.add_option("--format", format,
                   "png8, png16, tiff16 or tiff-float (default: from the output name, else png8)");
    app.add_option("-j,--jobs", jobs, "files developed at the same time (default: the number of cores)")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u));
    app.add_flag("--timings", timings, "print each stage's time per file, reading and writing included");
    app.add_option("--demo", demo_dir, "synthesise, develop and check a demo scene in DIR")->type_name("DIR");
    app.set_version_flag("--version", "orvex-develop 1.0.0");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kExitUsage;
    }

    try {
        if (demo_dir) {
            if (!inputs.empty() || recipe_path || output_file || out_dir || format)
                throw UsageError("--demo takes only its folder");
            return run_demo(*demo_dir, std::cout) ? 0 : kExitFileFailed;
        }
        if (!recipe_path) throw UsageError("--recipe RECIPE.json is required");
        const OutputChoice output = choose_output(format, output_file);
        const std::vector<DevelopJob> planned = plan_jobs(inputs, output_file, out_dir, output);
        const Recipe recipe = load_recipe(*recipe_path);
        if (out_dir) {
            std::error_code error;
            std::filesystem::create_directories(*out_dir, error);
            if (error) throw UsageError(*out_dir + ": cannot create the folder: " + error.message());
        }
        Progress progress(planned.size(), planned.size() > 1 && isatty(STDERR_FILENO), std::cout, std::cerr);
        return develop_batch(recipe, planned, output, jobs, timings, progress) == 0 ? 0 : kExitFileFailed;
    } catch (const UsageError& error) {
        std::cerr << "orvex-develop: " << error.what() << "\nRun with --help for more information.\n";
        return kExitUsage;
    } catch (const RecipeError& error) {
        std::cerr << "error: " << error.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "error: " << error.what() << '\n';
        return kExitFileFailed;
    }
}
