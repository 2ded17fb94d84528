#include "opcodes/normalising_radius.h"

#include <cmath>

namespace orvex {

namespace {

double distance(double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

double normalising_radius(uint64_t width, uint64_t height, double center_x, double center_y) {
    const double w = static_cast<double>(width);
    const double h = static_cast<double>(height);
    const double cx = w * center_x;
    const double cy = h * center_y;
    const double corners[4] = {distance(cx, cy, 0.0, 0.0), distance(cx, cy, w, 0.0), distance(cx, cy, 0.0, h),
                               distance(cx, cy, w, h)};
    double radius = 1.0;
    for (const double d : corners) {
        if (d > radius) radius = d;
    }
    return radius;
}

}  // namespace orvex
