#include "CIsoTime.h"

#include <chrono>
#include <cstddef>

namespace {

constexpr int kMaxMonth = 12;
constexpr int kMaxDay = 31;
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;
// A leap second (23:59:60) is a second like any other here: it becomes the next day's first.
constexpr int kMaxSecond = 60;
constexpr TimeMs kMsPerMinute = 60'000;
constexpr TimeMs kMsPerHour = 3'600'000;
// Fractions beyond nanoseconds are read and ignored: they cannot change the millisecond.
constexpr int kFractionDigits = 9;
constexpr TimeMs kNsPerMs = 1'000'000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads exactly nDigits digits from the front of s.
bool Digits(std::string_view& s, std::size_t nDigits, int& value) {
    if (s.size() < nDigits)
        return false;
    value = 0;
    for (std::size_t i = 0; i < nDigits; ++i) {
        if (!IsDigit(s[i]))
            return false;
        value = value * 10 + (s[i] - '0');
    }
    s.remove_prefix(nDigits);
    return true;
}

bool Skip(std::string_view& s, char c) {
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

// ".3456" -> 346 ms; nothing when s does not start with the point.
bool Fraction(std::string_view& s, TimeMs& ms) {
    ms = 0;
    if (!Skip(s, '.'))
        return true;
    TimeMs ns = 0;
    int nDigits = 0;
    while (!s.empty() && IsDigit(s.front())) {
        if (nDigits++ < kFractionDigits)
            ns = ns * 10 + (s.front() - '0');
        s.remove_prefix(1);
    }
    for (int i = nDigits; i < kFractionDigits; ++i)
        ns *= 10;
    ms = (ns + kNsPerMs / 2) / kNsPerMs;
    return nDigits > 0;
}

// "Z", "+02:00", "-0530", "+02" or nothing: the zone's offset from UTC.
bool Zone(std::string_view& s, TimeMs& offset) {
    offset = 0;
    if (s.empty())
        return true;
    if (s.front() == 'Z' || s.front() == 'z') {
        s.remove_prefix(1);
        return true;
    }
    if (s.front() != '+' && s.front() != '-')
        return false;
    const TimeMs sign = s.front() == '-' ? -1 : 1;
    s.remove_prefix(1);
    int hours = 0, minutes = 0;
    if (!Digits(s, 2, hours) || hours >= kHoursPerDay)
        return false;
    if (!s.empty()) {
        Skip(s, ':');
        if (!Digits(s, 2, minutes) || minutes >= kMinutesPerHour)
            return false;
    }
    offset = sign * (hours * kMsPerHour + minutes * kMsPerMinute);
    return true;
}

} // namespace

bool CIsoTime::Midnight(int year, int month, int day, TimeMs& midnight) {
    if (month < 1 || month > kMaxMonth || day < 1 || day > kMaxDay)
        return false;
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok())
        return false;
    midnight = std::chrono::sys_days(date).time_since_epoch().count() * kMsPerDay;
    return true;
}

bool CIsoTime::Parse(std::string_view s, TimeMs& time) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    TimeMs midnight = 0, ms = 0, offset = 0;
    const bool bDate = Digits(s, 4, year) && Skip(s, '-') && Digits(s, 2, month) && Skip(s, '-') &&
                       Digits(s, 2, day) && Midnight(year, month, day, midnight);
    if (!bDate || !(Skip(s, 'T') || Skip(s, 't')))
        return false;
    if (!Digits(s, 2, hour) || !Skip(s, ':') || !Digits(s, 2, minute) || !Skip(s, ':') ||
        !Digits(s, 2, second) || !Fraction(s, ms) || !Zone(s, offset) || !s.empty())
        return false;
    if (hour >= kHoursPerDay || minute >= kMinutesPerHour || second > kMaxSecond)
        return false;
    time =
        midnight + hour * kMsPerHour + minute * kMsPerMinute + second * kMsPerSecond + ms - offset;
    return true;
}
