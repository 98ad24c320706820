// Times as track files write them, into the record's UTC milliseconds: the ISO 8601 date and time
// of XML formats (GPX, TCX and KML all use xsd:dateTime) and the calendar dates of the line-based
// logs (IGC, NMEA). Every reader that reads a time goes through it.
#pragma once

#include "CTrackRecord.h"

#include <string_view>

class CIsoTime {
public:
    static constexpr TimeMs kMsPerSecond = 1000;
    static constexpr TimeMs kMsPerDay = 86'400'000;

    // An xsd:dateTime with blanks around it: "2003-09-14T07:58:12Z", with a fraction of a second
    // rounded to the millisecond ("07:58:12.3456Z" -> 346 ms), and a zone of "Z", "+02:00",
    // "-0530" or none (read as UTC, which GPX and TCX prescribe). False for anything else, a date
    // alone or a day that the month does not have included.
    static bool Parse(std::string_view text, TimeMs& time);
    // The start of a day of the proleptic Gregorian calendar in UTC; false when the month has no
    // such day.
    static bool Midnight(int year, int month, int day, TimeMs& midnight);
};
