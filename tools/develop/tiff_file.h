// TIFF files through libtiff: 16-bit grey mosaics in, 16-bit or float images out.
#pragma once

#include <string>

#include "images.h"

namespace orvex::develop {

Mosaic read_tiff_mosaic(const std::string& path);
void write_tiff_image(const std::string& path, const OutputImage& image);

}  // namespace orvex::develop
