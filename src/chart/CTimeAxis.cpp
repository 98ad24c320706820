#include "CTimeAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {
constexpr double kMinute = 60.0;
constexpr double kHour = 3600.0;
constexpr double kDay = 86400.0;
constexpr double kSteps[] = {
    1,       2,           5,           10,           15,           30,
    kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
    kHour,   2 * kHour,   3 * kHour,   6 * kHour,    12 * kHour,   kDay};

int Clamped(int n, std::size_t size) {
    return std::clamp(n, 0, static_cast<int>(size) - 1);
}
} // namespace

void CTimeAxis::Scale(float* pMin, float* pMax, float* pStep, int* pCount) {
    const double lo = std::min(*pMin, *pMax), hi = std::max(*pMin, *pMax);
    const int nWanted = std::max(*pCount, 1);
    const auto count = [lo, hi](double s) {
        return std::max(std::ceil(hi / s) - std::floor(lo / s), 1.0);
    };
    double step = 0;
    for (const double s : kSteps)
        if (count(s) <= nWanted) {
            step = s;
            break;
        }
    // Beyond a day a step, doubled until few enough.
    if (step == 0)
        for (step = kDay; count(step) > nWanted;)
            step *= 2;
    const double first = std::floor(lo / step) * step;
    const double last = first + count(step) * step;
    *pMin = static_cast<float>(first);
    *pMax = static_cast<float>(last);
    *pStep = static_cast<float>(step);
    *pCount = static_cast<int>(count(step));
}

int CTimeAxis::Label(char* pszBuf, std::size_t size, XAxis axis, double seconds, float fStep) {
    const long long total = std::llround(seconds);
    long long hours = total / 3600;
    if (axis == XAxis::timeOfDay)
        hours %= 24;
    const long long minutes = total / 60 % 60, secs = total % 60;
    const char* pszFormat = axis == XAxis::timeOfDay ? "%02lld:%02lld" : "%lld:%02lld";
    if (fStep < kMinute)
        pszFormat = axis == XAxis::timeOfDay ? "%02lld:%02lld:%02lld" : "%lld:%02lld:%02lld";
    return Clamped(std::snprintf(pszBuf, size, pszFormat, hours, minutes, secs), size);
}

bool CTimeAxis::Seconds(const CTrackRecord& record, XAxis axis, std::vector<double>& seconds) {
    const std::vector<TimeMs>& time = record.Time();
    const auto first =
        std::find_if(time.begin(), time.end(), [](TimeMs t) { return t != kNoTime; });
    const auto latest = std::max_element(time.begin(), time.end());
    // Points that all share one time (an export that dates every point alike) take no time.
    if (first == time.end() || *latest == *first)
        return false;
    double origin = 0;
    if (axis == XAxis::timeOfDay) {
        const std::time_t t = static_cast<std::time_t>(std::floor(*first / 1000.0));
        std::tm tm{};
        localtime_r(&t, &tm);
        origin = tm.tm_hour * kHour + tm.tm_min * kMinute + tm.tm_sec +
                 (*first / 1000.0 - static_cast<double>(t));
    }
    seconds.resize(time.size());
    TimeMs last = *first;
    for (std::size_t i = 0; i < time.size(); ++i) {
        if (time[i] != kNoTime)
            last = time[i];
        seconds[i] = origin + static_cast<double>(last - *first) / 1000.0;
    }
    return true;
}
