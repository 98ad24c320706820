// Conversions shared by the chart's layout, drawing and zoom code: truncation of chart
// arithmetic to logical coordinates and counts.
#pragma once

#include <climits>
#include <cmath>

// Conversion toward zero, as the layout relies on; saturated at the int range so that a point
// far off the page, or a value that is not a number, cannot wrap around.
inline int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// A length of n millimetres in device pixels, given the pixels per millimetre: trunc(n * px).
inline int MillimetresToPixels(double n, float fPixPerMM) {
    return TruncToInt(n * fPixPerMM);
}
