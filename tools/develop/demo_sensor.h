// The demo camera: turns the scene into a 12-bit RGGB mosaic through barrel
// distortion, vignetting, the camera's colour response, white balance, a black
// level, noise from a fixed seed and a few marked bad pixels.
#pragma once

#include "images.h"

namespace orvex::develop::demo {

Mosaic capture_scene();

}  // namespace orvex::develop::demo
