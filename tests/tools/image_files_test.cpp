#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "image_files.h"
#include "pgm_file.h"
#include "temporary_folder.h"

namespace {

using orvex::develop::FileKind;
using orvex::develop::ImageFileError;
using orvex::develop::Mosaic;
using orvex::develop::OutputImage;
using orvex::develop::SampleFormat;

Mosaic ramp_mosaic(uint32_t height, uint32_t width) {
    Mosaic mosaic{height, width, std::vector<uint16_t>(size_t{height} * width)};
    for (size_t i = 0; i < mosaic.samples.size(); ++i)
        mosaic.samples[i] = static_cast<uint16_t>(i * 2654435761u >> 16);  // every byte value, high and low
    return mosaic;
}

std::string read_error(const std::string& path) {
    try {
        orvex::develop::read_mosaic_file(path);
    } catch (const ImageFileError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ImageFiles, EveryInputFormatReadsBackEqual) {
    orvex::testing::TemporaryFolder folder;
    const Mosaic mosaic = ramp_mosaic(5, 7);
    orvex::develop::write_pgm_mosaic(folder.path("m.pgm"), mosaic);
    orvex::develop::write_image_file(folder.path("m.png"), FileKind::png, orvex::develop::mosaic_image(mosaic));
    orvex::develop::write_image_file(folder.path("m.tif"), FileKind::tiff, orvex::develop::mosaic_image(mosaic));
    for (const char* name : {"m.pgm", "m.png", "m.tif"}) {
        const Mosaic read = orvex::develop::read_mosaic_file(folder.path(name));
        EXPECT_EQ(read.height, 5u) << name;
        EXPECT_EQ(read.width, 7u) << name;
        EXPECT_EQ(read.samples, mosaic.samples) << name;
    }
}

TEST(ImageFiles, PgmHeadersWithCommentsAndBigEndianSamples) {
    orvex::testing::TemporaryFolder folder;
    const std::string bytes =
        std::string("P5\n# a comment\n2 1\n# another\n4095\n") + '\x01' + '\x02' + '\x0f' + '\xff';
    orvex::testing::write_text_file(folder.path("c.pgm"), bytes);
    const Mosaic read = orvex::develop::read_mosaic_file(folder.path("c.pgm"));
    EXPECT_EQ(read.samples, (std::vector<uint16_t>{0x0102, 0x0fff}));
}

TEST(ImageFiles, BadInputsAreNamed) {
    orvex::testing::TemporaryFolder folder;
    EXPECT_EQ(read_error(folder.path("absent.png")),
              folder.path("absent.png") + ": cannot open the file: No such file or directory");
    orvex::testing::write_text_file(folder.path("text.png"), "hello, world");
    EXPECT_EQ(read_error(folder.path("text.png")), folder.path("text.png") + ": not a PGM (P5), PNG or TIFF file");
    orvex::testing::write_text_file(folder.path("short.pgm"), std::string("P5 4 4 65535\n") + "\x01\x02");
    EXPECT_EQ(read_error(folder.path("short.pgm")), folder.path("short.pgm") + ": the file is truncated");
    orvex::testing::write_text_file(folder.path("byte.pgm"), std::string("P5 1 1 255\n") + "\x01");
    EXPECT_EQ(read_error(folder.path("byte.pgm")),
              folder.path("byte.pgm") + ": expected a 16-bit one-channel image, got an 8-bit greymap");
    orvex::testing::write_text_file(folder.path("huge.pgm"), "P5 100000 100000 65535\n");
    EXPECT_EQ(read_error(folder.path("huge.pgm")),
              folder.path("huge.pgm") + ": unsupported image size 100000 x 100000");

    // Wrong bit depth or channel count in PNG and TIFF.
    OutputImage rgb8{2, 2, 3, SampleFormat::uint8, std::vector<unsigned char>(12, 7)};
    orvex::develop::write_image_file(folder.path("rgb8.png"), FileKind::png, rgb8);
    EXPECT_EQ(read_error(folder.path("rgb8.png")),
              folder.path("rgb8.png") + ": expected a 16-bit one-channel image, got 8-bit RGB");
    OutputImage grey8{2, 2, 1, SampleFormat::uint8, std::vector<unsigned char>(4, 7)};
    orvex::develop::write_image_file(folder.path("grey8.png"), FileKind::png, grey8);
    EXPECT_EQ(read_error(folder.path("grey8.png")),
              folder.path("grey8.png") + ": expected a 16-bit one-channel image, got 8-bit grey");
    OutputImage float3{2, 2, 3, SampleFormat::float32, std::vector<unsigned char>(48, 0)};
    orvex::develop::write_image_file(folder.path("float.tif"), FileKind::tiff, float3);
    EXPECT_EQ(read_error(folder.path("float.tif")),
              folder.path("float.tif") + ": expected a 16-bit one-channel image, got 32-bit float with 3 channels");

    // A PNG cut short is reported by libpng, with the file's name.
    const std::string whole = orvex::testing::read_text_file(folder.path("grey8.png"));
    orvex::testing::write_text_file(folder.path("cut.png"), whole.substr(0, 40));
    EXPECT_EQ(read_error(folder.path("cut.png")).rfind(folder.path("cut.png") + ": ", 0), 0u);
}

TEST(ImageFiles, OutputsKeepTheirSamples) {
    orvex::testing::TemporaryFolder folder;
    const Mosaic mosaic = ramp_mosaic(3, 4);
    for (const FileKind kind : {FileKind::png, FileKind::tiff}) {
        const std::string path = folder.path(kind == FileKind::png ? "o.png" : "o.tif");
        orvex::develop::write_image_file(path, kind, orvex::develop::mosaic_image(mosaic));
        EXPECT_EQ(orvex::develop::read_mosaic_file(path).samples, mosaic.samples);
    }
}

TEST(ImageFiles, AFailedWriteLeavesNoFile) {
    orvex::testing::TemporaryFolder folder;
    const OutputImage image = orvex::develop::mosaic_image(ramp_mosaic(2, 2));
    const std::string path = folder.path("missing/out.png");
    try {
        orvex::develop::write_image_file(path, FileKind::png, image);
        FAIL() << "wrote into a folder that does not exist";
    } catch (const ImageFileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(path + ": cannot open the file", 0), 0u) << error.what();
    }
    // A folder in the way of the final name: the temporary file is removed.
    std::filesystem::create_directories(folder.path("taken.png/inside"));
    EXPECT_THROW(orvex::develop::write_image_file(folder.path("taken.png"), FileKind::png, image), ImageFileError);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.root()))
        ++entries;
    EXPECT_EQ(entries, 1u);  // taken.png alone
}

}  // namespace
