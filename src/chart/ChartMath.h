// Conversions shared by the chart's layout, drawing and zoom code: truncation of chart
// arithmetic to logical coordinates and counts.
#pragma once

#include "LogicalCoord.h"

// A length of n millimetres in device pixels, given the pixels per millimetre: trunc(n * px).
inline int MillimetresToPixels(double n, float fPixPerMM) {
    return TruncToInt(n * fPixPerMM);
}
