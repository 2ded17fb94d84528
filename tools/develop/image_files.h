// Reading mosaics by their content and writing images without partial files.
#pragma once

#include <string>

#include "images.h"

namespace orvex::develop {

enum class FileKind { png, tiff };

// Reads a 16-bit one-channel PGM (P5), PNG or TIFF file, recognised by its first bytes.
Mosaic read_mosaic_file(const std::string& path);

// Writes under a temporary name in the same folder and renames it at the end,
// so that a failure leaves no file at `path`.
void write_image_file(const std::string& path, FileKind kind, const OutputImage& image);

// A mosaic as a one-channel 16-bit image, for writing it out.
OutputImage mosaic_image(const Mosaic& mosaic);

}  // namespace orvex::develop
