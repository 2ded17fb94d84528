#include "pgm_file.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace orvex::develop {

namespace {

// Reads one header number, skipping white space and '#' comments before it.
uint64_t header_number(const std::string& data, size_t& at, const std::string& path) {
    while (at < data.size()) {
        if (data[at] == '#') {
            while (at < data.size() && data[at] != '\n')
                ++at;
        } else if (std::isspace(static_cast<unsigned char>(data[at]))) {
            ++at;
        } else {
            break;
        }
    }
    uint64_t value = 0;
    const size_t start = at;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])) && value < (uint64_t{1} << 40))
        value = value * 10 + static_cast<uint64_t>(data[at++] - '0');
    if (at == start) throw ImageFileError(path + ": not a valid PGM header");
    return value;
}

}  // namespace

Mosaic read_pgm_mosaic(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ImageFileError(path + ": cannot open the file");
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw ImageFileError(path + ": cannot read the file");
    if (data.size() < 2 || data[0] != 'P' || data[1] != '5')
        throw ImageFileError(path + ": not a binary PGM (P5) file");
    size_t at = 2;
    const uint64_t width = header_number(data, at, path);
    const uint64_t height = header_number(data, at, path);
    const uint64_t max_value = header_number(data, at, path);
    if (at >= data.size() || !std::isspace(static_cast<unsigned char>(data[at])))
        throw ImageFileError(path + ": not a valid PGM header");
    ++at;
    if (max_value == 0 || max_value > 65535) throw ImageFileError(path + ": not a valid PGM header");
    if (max_value < 256) throw ImageFileError(path + ": expected a 16-bit one-channel image, got an 8-bit greymap");
    if (width == 0 || height == 0 || width * height > kMaxPixels)
        throw ImageFileError(path + ": unsupported image size " + std::to_string(width) + " x " +
                             std::to_string(height));
    const uint64_t count = width * height;
    if (data.size() - at < count * 2) throw ImageFileError(path + ": the file is truncated");
    Mosaic mosaic;
    mosaic.width = static_cast<uint32_t>(width);
    mosaic.height = static_cast<uint32_t>(height);
    mosaic.samples.resize(count);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data() + at);
    for (uint64_t i = 0; i < count; ++i)
        mosaic.samples[i] = static_cast<uint16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
    return mosaic;
}

void write_pgm_mosaic(const std::string& path, const Mosaic& mosaic) {
    std::ofstream file(path, std::ios::binary);
    file << "P5\n" << mosaic.width << " " << mosaic.height << "\n65535\n";
    std::string bytes(mosaic.samples.size() * 2, '\0');
    for (size_t i = 0; i < mosaic.samples.size(); ++i) {
        bytes[2 * i] = static_cast<char>(mosaic.samples[i] >> 8);
        bytes[2 * i + 1] = static_cast<char>(mosaic.samples[i] & 0xff);
    }
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) throw ImageFileError(path + ": cannot write the file");
}

}  // namespace orvex::develop
