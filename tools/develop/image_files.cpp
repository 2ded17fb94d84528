#include "image_files.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "pgm_file.h"
#include "png_file.h"
#include "tiff_file.h"

namespace orvex::develop {

Mosaic read_mosaic_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ImageFileError(path + ": cannot open the file: " + std::strerror(errno));
    unsigned char magic[8] = {};
    file.read(reinterpret_cast<char*>(magic), sizeof magic);
    if (magic[0] == 'P' && magic[1] == '5') return read_pgm_mosaic(path);
    static const unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (std::memcmp(magic, png_signature, 8) == 0) return read_png_mosaic(path);
    if ((magic[0] == 'I' && magic[1] == 'I' && magic[2] == 42 && magic[3] == 0) ||
        (magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && magic[3] == 42))
        return read_tiff_mosaic(path);
    throw ImageFileError(path + ": not a PGM (P5), PNG or TIFF file");
}

void write_image_file(const std::string& path, FileKind kind, const OutputImage& image) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path target(path);
    std::string name = target.filename().string();
    name.insert(0, 1, '.');
    name.append(".").append(std::to_string(getpid())).append(".").append(std::to_string(counter++)).append(".part");
    const std::filesystem::path temporary = target.parent_path() / name;
    try {
        if (kind == FileKind::png)
            write_png_image(temporary.string(), image);
        else
            write_tiff_image(temporary.string(), image);
        std::error_code error;
        std::filesystem::rename(temporary, target, error);
        if (error) throw ImageFileError(path + ": cannot write the file: " + error.message());
    } catch (const ImageFileError& error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        // The temporary name means nothing to the user: report the target.
        std::string message = error.what();
        const std::string prefix = temporary.string() + ":";
        if (message.rfind(prefix, 0) == 0) message = path + ":" + message.substr(prefix.size());
        throw ImageFileError(message);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

OutputImage mosaic_image(const Mosaic& mosaic) {
    OutputImage image;
    image.height = mosaic.height;
    image.width = mosaic.width;
    image.channels = 1;
    image.format = SampleFormat::uint16;
    image.bytes.resize(mosaic.samples.size() * 2);
    std::memcpy(image.bytes.data(), mosaic.samples.data(), image.bytes.size());
    return image;
}

}  // namespace orvex::develop
