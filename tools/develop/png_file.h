// PNG files through libpng: 16-bit grey mosaics in, 8 or 16-bit images out.
#pragma once

#include <string>

#include "images.h"

namespace orvex::develop {

Mosaic read_png_mosaic(const std::string& path);
void write_png_image(const std::string& path, const OutputImage& image);

}  // namespace orvex::develop
