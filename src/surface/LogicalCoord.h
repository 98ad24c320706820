// Truncation of drawing arithmetic to the logical coordinates a surface is handed; used by the
// surfaces, the chart and the 3D layout.
#pragma once

#include <cmath>

// Logical coordinates handed to a surface stay within +-2^30, so that a surface can still add a
// scroll origin or a pen width without overflowing an int.
constexpr int kCoordLimit = 1 << 30;

// Conversion toward zero, as the layout relies on; saturated at +-2^30 so that a point far off
// the page (or behind the camera), a huge zoom, or a value that is not a number (0) cannot wrap
// around.
inline int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= kCoordLimit)
        return kCoordLimit;
    if (v <= -kCoordLimit)
        return -kCoordLimit;
    return static_cast<int>(v);
}
