// Times and durations in words. A record's times are UTC; people read them as the clock of their
// machine showed them, with its offset from UTC said, or in UTC when they ask for it.
#pragma once

#include "CTrackRecord.h"

#include <string>

enum class TimeZone { local, utc };

// "2021-07-01 09:15:02 +02:00" in the machine's time zone, "2021-07-01 07:15:02 UTC" in UTC;
// whole seconds, rounded down.
std::string FormatClock(TimeMs time, TimeZone zone);
// "09:15:02": the time of day alone, in the zone.
std::string FormatTimeOfDay(TimeMs time, TimeZone zone);
// "2:38:43": hours (as many as there are), minutes and seconds, rounded to the second.
std::string FormatDuration(double seconds);
// "2021-07-01T07:15:02Z", with milliseconds where there are any ("...02.250Z"): for scripts.
std::string FormatIsoUtc(TimeMs time);
