#include "png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orvex::develop {

namespace {

struct PngMessage {
    char text[256] = "";
};

[[noreturn]] void on_png_error(png_structp png, png_const_charp message) {
    auto* context = static_cast<PngMessage*>(png_get_error_ptr(png));
    std::snprintf(context->text, sizeof context->text, "%s", message);
    png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

File open_file(const std::string& path, const char* mode) {
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file) throw ImageFileError(path + ": cannot open the file: " + std::strerror(errno));
    return File(file, &std::fclose);
}

std::string colour_type_name(int colour_type) {
    switch (colour_type) {
        case PNG_COLOR_TYPE_GRAY:
            return "grey";
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return "grey with alpha";
        case PNG_COLOR_TYPE_PALETTE:
            return "palette";
        case PNG_COLOR_TYPE_RGB:
            return "RGB";
        default:
            return "RGBA";
    }
}

// Reads the header; false with a reason when the image is not a 16-bit grey
// mosaic. Returns false without a reason when libpng reports an error.
bool read_png_header(png_structp png, png_infop info, Mosaic* mosaic, std::string* reason) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    const int bit_depth = png_get_bit_depth(png, info);
    const int colour_type = png_get_color_type(png, info);
    if (bit_depth != 16 || colour_type != PNG_COLOR_TYPE_GRAY) {
        *reason = "expected a 16-bit one-channel image, got " + std::to_string(bit_depth) + "-bit " +
                  colour_type_name(colour_type);
        return false;
    }
    mosaic->width = png_get_image_width(png, info);
    mosaic->height = png_get_image_height(png, info);
    return true;
}

bool read_png_samples(png_structp png, png_infop info, Mosaic* mosaic) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_swap(png);  // PNG stores 16-bit samples big-endian
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t row = 0; row < mosaic->height; ++row)
            png_read_row(png, reinterpret_cast<png_bytep>(mosaic->samples.data() + size_t{row} * mosaic->width),
                         nullptr);
    }
    png_read_end(png, nullptr);
    return true;
}

bool write_png_rows(png_structp png, png_infop info, const OutputImage* image) {
    if (setjmp(png_jmpbuf(png))) return false;
    const int colour_type = image->channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
    const int bit_depth = image->format == SampleFormat::uint8 ? 8 : 16;
    png_set_IHDR(png, info, image->width, image->height, bit_depth, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The fastest deflate level: a 24-megapixel picture is written in seconds
    // rather than tens of seconds, for files about a tenth larger.
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    if (bit_depth == 16) png_set_swap(png);
    const size_t row_bytes = size_t{image->width} * image->channels * bytes_per_sample(image->format);
    for (uint32_t row = 0; row < image->height; ++row)
        png_write_row(png, image->bytes.data() + row * row_bytes);
    png_write_end(png, info);
    return true;
}

}  // namespace

Mosaic read_png_mosaic(const std::string& path) {
    File file = open_file(path, "rb");
    PngMessage message;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, on_png_error, on_png_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw ImageFileError(path + ": out of memory");
    }
    png_init_io(png, file.get());
    png_set_user_limits(png, 1u << 20, 1u << 20);
    Mosaic mosaic;
    std::string reason;
    bool read = read_png_header(png, info, &mosaic, &reason);
    if (read && uint64_t{mosaic.width} * mosaic.height > kMaxPixels) {
        reason = "unsupported image size " + std::to_string(mosaic.width) + " x " + std::to_string(mosaic.height);
        read = false;
    }
    if (read) {
        mosaic.samples.resize(size_t{mosaic.width} * mosaic.height);
        read = read_png_samples(png, info, &mosaic);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read) throw ImageFileError(path + ": " + (reason.empty() ? std::string(message.text) : reason));
    return mosaic;
}

void write_png_image(const std::string& path, const OutputImage& image) {
    File file = open_file(path, "wb");
    PngMessage message;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, on_png_error, on_png_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw ImageFileError(path + ": out of memory");
    }
    png_init_io(png, file.get());
    const bool written = write_png_rows(png, info, &image);
    png_destroy_write_struct(&png, &info);
    if (!written) throw ImageFileError(path + ": " + message.text);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        throw ImageFileError(path + ": cannot write the file");
}

}  // namespace orvex::develop
