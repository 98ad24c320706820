#include "CDayClock.h"

#include "CIsoTime.h"

#include <cstddef>

namespace {

constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;
constexpr int kSecondsPerMinute = 60;
constexpr int kCenturyPivot = 80; // two-digit years from here on are the 1900s
constexpr int kOldCentury = 1900;
constexpr int kNewCentury = 2000;
constexpr int kMsDigits = 3;

bool TwoDigits(std::string_view s, std::size_t at, int& value) {
    if (s.size() < at + 2 || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9')
        return false;
    value = (s[at] - '0') * 10 + (s[at + 1] - '0');
    return true;
}

} // namespace

bool CDayClock::ParseTimeOfDay(std::string_view s, TimeMs& ms) {
    int h = 0, m = 0, sec = 0;
    if (!TwoDigits(s, 0, h) || !TwoDigits(s, 2, m) || !TwoDigits(s, 4, sec) || h >= kHoursPerDay ||
        m >= kMinutesPerHour || sec >= kSecondsPerMinute)
        return false;
    TimeMs fraction = 0;
    if (s.size() > 6) {
        if (s[6] != '.')
            return false;
        TimeMs scale = 100;
        for (std::size_t i = 7; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9')
                return false;
            if (i < 7 + kMsDigits)
                fraction += (s[i] - '0') * scale;
            scale /= 10;
        }
    }
    ms = ((h * kMinutesPerHour + m) * kSecondsPerMinute + sec) * CIsoTime::kMsPerSecond + fraction;
    return true;
}

bool CDayClock::ParseDate(std::string_view s, TimeMs& midnight) {
    int day = 0, month = 0, year = 0;
    if (s.size() != 6 || !TwoDigits(s, 0, day) || !TwoDigits(s, 2, month) || !TwoDigits(s, 4, year))
        return false;
    return CIsoTime::Midnight(year + (year >= kCenturyPivot ? kOldCentury : kNewCentury), month,
                              day, midnight);
}

void CDayClock::SetDate(TimeMs midnight, TimeMs timeOfDay) {
    m_midnight = midnight;
    m_last = timeOfDay;
}

TimeMs CDayClock::At(TimeMs timeOfDay) {
    if (m_last != kNoTime && timeOfDay < m_last - kRollBackMs)
        m_midnight += CIsoTime::kMsPerDay;
    m_last = timeOfDay;
    return m_midnight + timeOfDay;
}
