// The demo's self-check: colour error of the chart and straightness of the grid.
#pragma once

#include "images.h"

namespace orvex::develop::demo {

// Limits the developed demo must meet (measured figures are well inside them).
inline constexpr double kMeanDeltaELimit = 0.5;
inline constexpr double kLargestDeltaELimit = 1.0;
inline constexpr double kStraightnessLimit = 0.6;  // pixels

struct ColourError {
    double mean = 0.0;
    double largest = 0.0;
};

// CIE 1976 colour difference of each chart patch's mean (over its central
// part) against the patch's known colour; the image is 8-bit sRGB.
ColourError chart_colour_error(const OutputImage& developed);

// The largest distance, in pixels, of a measured grid line's centre from the
// straight line fitted through it; infinity when a line cannot be followed.
double grid_straightness(const OutputImage& developed);

}  // namespace orvex::develop::demo
