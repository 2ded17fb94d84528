#include "tiff_file.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>

namespace orvex::develop {

namespace {

// libtiff reports through process-wide handlers; each thread keeps its last message.
thread_local std::string last_tiff_error;

void on_tiff_error(const char*, const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    last_tiff_error = text;
}

void on_tiff_warning(const char*, const char*, va_list) {}

void install_tiff_handlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        TIFFSetErrorHandler(on_tiff_error);
        TIFFSetWarningHandler(on_tiff_warning);
    });
}

using Tiff = std::unique_ptr<TIFF, void (*)(TIFF*)>;

Tiff open_tiff(const std::string& path, const char* mode) {
    install_tiff_handlers();
    last_tiff_error.clear();
    TIFF* tiff = TIFFOpen(path.c_str(), mode);
    if (!tiff) throw ImageFileError(path + ": cannot open the file as TIFF: " + last_tiff_error);
    return Tiff(tiff, &TIFFClose);
}

[[noreturn]] void fail(const std::string& path) { throw ImageFileError(path + ": " + last_tiff_error); }

void read_strips(TIFF* tiff, const std::string& path, Mosaic& mosaic) {
    for (uint32_t row = 0; row < mosaic.height; ++row) {
        if (TIFFReadScanline(tiff, mosaic.samples.data() + size_t{row} * mosaic.width, row, 0) < 0) fail(path);
    }
}

void read_tiles(TIFF* tiff, const std::string& path, Mosaic& mosaic) {
    uint32_t tile_width = 0;
    uint32_t tile_height = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tile_width);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tile_height);
    if (tile_width == 0 || tile_height == 0 || uint64_t{tile_width} * tile_height > (uint64_t{1} << 26))
        throw ImageFileError(path + ": unsupported tile size");
    std::vector<uint16_t> tile(size_t{tile_width} * tile_height);
    for (uint32_t top = 0; top < mosaic.height; top += tile_height) {
        for (uint32_t left = 0; left < mosaic.width; left += tile_width) {
            if (TIFFReadTile(tiff, tile.data(), left, top, 0, 0) < 0) fail(path);
            for (uint32_t y = top; y < std::min(top + tile_height, mosaic.height); ++y) {
                for (uint32_t x = left; x < std::min(left + tile_width, mosaic.width); ++x)
                    mosaic.samples[size_t{y} * mosaic.width + x] = tile[size_t{y - top} * tile_width + (x - left)];
            }
        }
    }
}

}  // namespace

Mosaic read_tiff_mosaic(const std::string& path) {
    const Tiff tiff = open_tiff(path, "r");
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 0;
    uint16_t channels = 1;
    uint16_t sample_format = SAMPLEFORMAT_UINT;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &channels);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLEFORMAT, &sample_format);
    if (bits != 16 || channels != 1 || sample_format != SAMPLEFORMAT_UINT) {
        throw ImageFileError(path + ": expected a 16-bit one-channel image, got " + std::to_string(bits) + "-bit " +
                             (sample_format == SAMPLEFORMAT_IEEEFP ? "float " : "") + "with " +
                             std::to_string(channels) + (channels == 1 ? " channel" : " channels"));
    }
    if (width == 0 || height == 0 || uint64_t{width} * height > kMaxPixels)
        throw ImageFileError(path + ": unsupported image size " + std::to_string(width) + " x " +
                             std::to_string(height));
    Mosaic mosaic;
    mosaic.width = width;
    mosaic.height = height;
    mosaic.samples.resize(size_t{width} * height);
    if (TIFFIsTiled(tiff.get()))
        read_tiles(tiff.get(), path, mosaic);
    else
        read_strips(tiff.get(), path, mosaic);
    return mosaic;
}

void write_tiff_image(const std::string& path, const OutputImage& image) {
    const Tiff tiff = open_tiff(path, "w");
    const size_t sample_bytes = bytes_per_sample(image.format);
    TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, image.width);
    TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, image.height);
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(image.channels));
    TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(8 * sample_bytes));
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLEFORMAT,
                 image.format == SampleFormat::float32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
    TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, image.channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    const size_t row_bytes = size_t{image.width} * image.channels * sample_bytes;
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff.get(), 0));
    std::vector<unsigned char> row(row_bytes);
    for (uint32_t y = 0; y < image.height; ++y) {
        std::copy_n(image.bytes.data() + y * row_bytes, row_bytes, row.data());
        if (TIFFWriteScanline(tiff.get(), row.data(), y, 0) < 0) fail(path);
    }
    if (!TIFFFlush(tiff.get())) fail(path);
}

}  // namespace orvex::develop
