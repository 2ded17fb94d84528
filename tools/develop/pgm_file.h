// Binary greymap (P5) files with 16-bit samples.
#pragma once

#include <string>

#include "images.h"

namespace orvex::develop {

Mosaic read_pgm_mosaic(const std::string& path);
void write_pgm_mosaic(const std::string& path, const Mosaic& mosaic);

}  // namespace orvex::develop
