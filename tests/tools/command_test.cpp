// orvex-develop as a user runs it: exit status, messages, files left behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "image_files.h"
#include "pgm_file.h"
#include "temporary_folder.h"

namespace {

using orvex::testing::TemporaryFolder;

struct CommandRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

CommandRun run(const std::string& arguments) {
    const std::string command = std::string(ORVEX_DEVELOP_COMMAND) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    CommandRun result;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

constexpr const char* kRecipe = R"({"bad_pixels": {"constant": 0}, "demosaic": {"cfa": "RGGB"},
    "normalise": {"black_level": [64], "white_level": [4095]}, "output": {"curve": "srgb"}})";

void write_mosaic(const std::string& path) {
    orvex::develop::Mosaic mosaic{8, 8, std::vector<uint16_t>(64)};
    for (size_t i = 0; i < 64; ++i)
        mosaic.samples[i] = static_cast<uint16_t>(64 + i * 60);
    orvex::develop::write_pgm_mosaic(path, mosaic);
}

TEST(Command, DevelopsOneFileIntoEachFormat) {
    TemporaryFolder folder;
    orvex::testing::write_text_file(folder.path("recipe.json"), kRecipe);
    write_mosaic(folder.path("in.pgm"));
    const std::string common = quoted(folder.path("in.pgm")) + " --recipe " + quoted(folder.path("recipe.json"));
    const CommandRun png = run(common + " -o " + quoted(folder.path("out.png")));
    EXPECT_EQ(png.status, 0) << png.output;
    EXPECT_EQ(png.output, "developed " + folder.path("in.pgm") + " -> " + folder.path("out.png") + "\n");
    const CommandRun tiff =
        run(common + " --format tiff-float -o " + quoted(folder.path("out.tiff")) + " --timings");
    EXPECT_EQ(tiff.status, 0) << tiff.output;
    for (const char* stage : {": read ", " ms, bad_pixels ", " ms, normalise ", " ms, demosaic ", " ms, output ",
                              " ms, write ", " ms, total "})
        EXPECT_NE(tiff.output.find(stage), std::string::npos) << stage << " in " << tiff.output;
    EXPECT_EQ(std::filesystem::file_size(folder.path("out.png")) > 0, true);
    EXPECT_GT(std::filesystem::file_size(folder.path("out.tiff")), 8u * 8 * 3 * 4);
}

TEST(Command, RecipeErrorsNameTheFieldAndWriteNothing) {
    TemporaryFolder folder;
    write_mosaic(folder.path("in.pgm"));
    orvex::testing::write_text_file(folder.path("recipe.json"),
                                    R"({"demosaic": {"cfa": "RGGB"}, "colour": {"matrix": [1,0,0,0,1,0,0,0]}})");
    const CommandRun result = run(quoted(folder.path("in.pgm")) + " --recipe " +
                                  quoted(folder.path("recipe.json")) + " -o " + quoted(folder.path("out.png")));
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output,
              "error: " + folder.path("recipe.json") + ": colour.matrix: expected 9 numbers, got 8\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path("out.png")));
}

TEST(Command, ABadFileInABatchFailsAloneAndLeavesNoOutput) {
    TemporaryFolder folder;
    orvex::testing::write_text_file(folder.path("recipe.json"), kRecipe);
    write_mosaic(folder.path("a.pgm"));
    write_mosaic(folder.path("c.pgm"));
    orvex::testing::write_text_file(folder.path("b.pgm"), "P5 8 8 255\n");
    const CommandRun result = run(quoted(folder.path("a.pgm")) + " " + quoted(folder.path("b.pgm")) + " " +
                                  quoted(folder.path("c.pgm")) + " --recipe " + quoted(folder.path("recipe.json")) +
                                  " --jobs 2 --out-dir " + quoted(folder.path("out")));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("error: " + folder.path("b.pgm") +
                                 ": expected a 16-bit one-channel image, got an 8-bit greymap\n"),
              std::string::npos)
        << result.output;
    EXPECT_TRUE(std::filesystem::exists(folder.path("out/a.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.path("out/b.png")));
    EXPECT_TRUE(std::filesystem::exists(folder.path("out/c.png")));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path("out")))
        ++entries;
    EXPECT_EQ(entries, 2u);  // no temporary file left behind
}

TEST(Command, UsageErrors) {
    TemporaryFolder folder;
    orvex::testing::write_text_file(folder.path("recipe.json"), kRecipe);
    const std::string recipe = " --recipe " + quoted(folder.path("recipe.json"));
    const auto first_line = [](const CommandRun& result) {
        return result.output.substr(0, result.output.find('\n'));
    };
    CommandRun result = run("a.pgm b.pgm" + recipe + " -o x.png");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(first_line(result), "orvex-develop: -o takes one input; use --out-dir DIR for several");
    result = run("a.pgm" + recipe);
    EXPECT_EQ(first_line(result), "orvex-develop: give either -o OUTPUT or --out-dir DIR");
    result = run("a.pgm" + recipe + " -o x.jpg");
    EXPECT_EQ(first_line(result), "orvex-develop: x.jpg: the output name must end in .png, .tif or .tiff");
    result = run("a.pgm" + recipe + " -o x.png --format tiff16");
    EXPECT_EQ(first_line(result), "orvex-develop: x.png: the name does not match --format tiff16");
    result = run("a.pgm -o x.png");
    EXPECT_EQ(first_line(result), "orvex-develop: --recipe RECIPE.json is required");
    result = run("dir1/a.pgm dir2/a.pgm" + recipe + " --out-dir out");
    EXPECT_EQ(first_line(result), "orvex-develop: dir2/a.pgm and dir1/a.pgm would both be written to out/a.png");
    result = run("a.pgm" + recipe + " -o x.png --jobs 0");
    EXPECT_EQ(result.status, 2);
}

TEST(Command, DemoChecksItselfAndItsRecipeReproducesIt) {
    TemporaryFolder folder;
    const CommandRun demo = run("--demo " + quoted(folder.path("demo")));
    ASSERT_EQ(demo.status, 0) << demo.output;
    EXPECT_NE(demo.output.find("check: chart colour error (CIE dE 1976 over 24 patches): mean "),
              std::string::npos);
    EXPECT_NE(demo.output.find("): pass\ncheck: grid lines off straight by at most "), std::string::npos);
    const orvex::develop::Mosaic mosaic = orvex::develop::read_mosaic_file(folder.path("demo/mosaic.png"));
    EXPECT_EQ(mosaic.width, 1200u);
    EXPECT_EQ(mosaic.height, 800u);
    EXPECT_LE(*std::max_element(mosaic.samples.begin(), mosaic.samples.end()), 4095);
    const CommandRun again =
        run(quoted(folder.path("demo/mosaic.png")) + " --recipe " + quoted(folder.path("demo/recipe.json")) +
            " -o " + quoted(folder.path("again.png")));
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(orvex::testing::read_text_file(folder.path("again.png")),
              orvex::testing::read_text_file(folder.path("demo/developed.png")));
}

}  // namespace
