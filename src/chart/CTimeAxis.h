// The elevation chart's x axis over time: elapsed time from the start, or the time of day on the
// machine's clock, with ticks at whole seconds, minutes and hours ("0:30", "1:00"; "09:15") in
// place of the distance's decimal ones.
#pragma once

#include "CTrackRecord.h"

#include <cstddef>
#include <vector>

enum class XAxis { distance, elapsed, timeOfDay };

class CTimeAxis {
public:
    // Widens the range to whole steps of a natural length (1, 2, 5, 10, 15 or 30 seconds or
    // minutes, 1, 2, 3, 6 or 12 hours, whole days) with at most *pCount of them, the shortest
    // that fits; *pCount becomes their number.
    static void Scale(float* pMin, float* pMax, float* pStep, int* pCount);
    // The tick's text: "1:30" (hours and minutes of elapsed time) or "09:30" (a time of day),
    // with seconds where the step is shorter than a minute; the number of characters.
    static int Label(char* pszBuf, std::size_t size, XAxis axis, double seconds, float fStep);
    // The chart's x value of every record point in seconds: from the first time of the record
    // for elapsed time, from the midnight before it on the machine's clock for the time of day.
    // A point without a time takes the one before it (the first ones, the first there is).
    // False when the record has no times, or one time for every point.
    static bool Seconds(const CTrackRecord& record, XAxis axis, std::vector<double>& seconds);
};
