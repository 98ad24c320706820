#include "TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {
constexpr TimeMs kMsPerSecond = 1000;

// Whole seconds, rounded down, and the milliseconds left over, also for times before 1970.
std::time_t SecondsOf(TimeMs time) {
    return static_cast<std::time_t>(time / kMsPerSecond - (time % kMsPerSecond < 0 ? 1 : 0));
}

std::tm CalendarOf(TimeMs time, TimeZone zone) {
    const std::time_t seconds = SecondsOf(time);
    std::tm tm{};
    if (zone == TimeZone::utc)
        gmtime_r(&seconds, &tm);
    else
        localtime_r(&seconds, &tm);
    return tm;
}
} // namespace

std::string FormatClock(TimeMs time, TimeZone zone) {
    const std::tm tm = CalendarOf(time, zone);
    char day[64];
    std::strftime(day, sizeof day, "%Y-%m-%d %H:%M:%S", &tm);
    if (zone == TimeZone::utc)
        return std::string(day) + " UTC";
    const long offset = tm.tm_gmtoff / 60;
    const long minutes = std::labs(offset);
    char text[96];
    std::snprintf(text, sizeof text, "%s %c%02ld:%02ld", day, offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string FormatTimeOfDay(TimeMs time, TimeZone zone) {
    const std::tm tm = CalendarOf(time, zone);
    char text[32];
    std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    return text;
}

std::string FormatDuration(double seconds) {
    const long long total = std::llround(std::max(seconds, 0.0));
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

std::string FormatIsoUtc(TimeMs time) {
    const std::tm tm = CalendarOf(time, TimeZone::utc);
    char day[64];
    std::strftime(day, sizeof day, "%Y-%m-%dT%H:%M:%S", &tm);
    const TimeMs ms = time - static_cast<TimeMs>(SecondsOf(time)) * kMsPerSecond;
    if (ms == 0)
        return std::string(day) + "Z";
    char text[96];
    std::snprintf(text, sizeof text, "%s.%03dZ", day, static_cast<int>(ms));
    return text;
}
