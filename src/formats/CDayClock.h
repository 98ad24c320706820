// Absolute times for the line-based logs (IGC B records, NMEA sentences), which write a time of
// day on every fix and the date elsewhere or not at all: a time of day more than half a day
// before the last one has passed midnight. The IGC and NMEA readers use it.
#pragma once

#include "CTrackRecord.h"

#include <string_view>

class CDayClock {
public:
    // A time of day this far before the last one is the next day's; a smaller step back is a
    // fix written out of order.
    static constexpr TimeMs kRollBackMs = 12 * 3'600'000;

    // "hhmmss" with an optional fraction, cut to the millisecond ("081503.25" -> 29'703'250 ms
    // after midnight); false for anything else.
    static bool ParseTimeOfDay(std::string_view text, TimeMs& ms);
    // "ddmmyy": the day's UTC midnight. Years 80..99 are 1980..1999, the others 2000..2079: no
    // such log is older than 1980.
    static bool ParseDate(std::string_view text, TimeMs& midnight);

    // The date of timeOfDay, and of what follows until midnight. kNoTime for timeOfDay: the date
    // of the next time of day.
    void SetDate(TimeMs midnight, TimeMs timeOfDay = kNoTime);
    bool HasDate() const { return m_midnight != kNoTime; }
    // The time of a time of day that follows the last one (HasDate() must be true).
    TimeMs At(TimeMs timeOfDay);

private:
    TimeMs m_midnight = kNoTime;
    TimeMs m_last = kNoTime; // the last time of day
};
