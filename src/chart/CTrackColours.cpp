#include "CTrackColours.h"

#include "CTrackReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

// Blue for the low end, red for the high one: through grey for a grade (down, flat, up), through
// green and amber for the rest.
constexpr Rgb kDiverging[] = {{0, 80, 220}, {150, 150, 150}, {220, 30, 30}};
constexpr Rgb kSequential[] = {{0, 80, 220}, {0, 170, 60}, {230, 160, 0}, {220, 30, 30}};

template <std::size_t N> Rgb Along(const Rgb (&stops)[N], double t) {
    const double at = std::clamp(t, 0.0, 1.0) * (N - 1);
    const std::size_t k = std::min(static_cast<std::size_t>(at), N - 2);
    const double f = at - static_cast<double>(k);
    return {stops[k].r + (stops[k + 1].r - stops[k].r) * f,
            stops[k].g + (stops[k + 1].g - stops[k].g) * f,
            stops[k].b + (stops[k + 1].b - stops[k].b) * f};
}

std::uint8_t StepOf(double t) {
    return static_cast<std::uint8_t>(
        std::lround(std::clamp(t, 0.0, 1.0) * (CTrackColours::kSteps - 1)));
}

// The value at a share of the sorted values.
double Share(std::vector<double> values, double share) {
    const auto k = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + k, values.end());
    return values[static_cast<std::size_t>(k)];
}

// The record's value of each track point, the one before taken where a point has none; false
// without any.
template <class ValueOf>
bool RecordValues(const CTrack& track, const CTrackRecord& record, ValueOf valueOf,
                  std::vector<double>& values) {
    values.assign(static_cast<std::size_t>(track.m_nCount), std::nan(""));
    double last = std::nan("");
    for (int i = 0; i < track.m_nCount; ++i) {
        const std::size_t r = track.m_nRecordIndex[i];
        const double v = r < record.Size() ? valueOf(r) : std::nan("");
        if (!std::isnan(v))
            last = v;
        values[static_cast<std::size_t>(i)] = last;
    }
    const auto first =
        std::find_if(values.begin(), values.end(), [](double v) { return !std::isnan(v); });
    if (first == values.end())
        return false;
    std::fill(values.begin(), first, *first);
    return true;
}

void Steps(const std::vector<double>& values, double lo, double hi, std::uint8_t* steps) {
    for (std::size_t i = 0; i < values.size(); ++i)
        steps[i] = StepOf(hi > lo ? (values[i] - lo) / (hi - lo) : 0.5);
}

} // namespace

bool CTrackColours::Compute(const CTrack& track, const CTrackRecord* pRecord, ColourBy by,
                            Units units, std::uint8_t* steps, ColourBar& bar) {
    const int n = track.m_nCount;
    if (by == ColourBy::none || n <= 0)
        return false;
    std::vector<double> values(static_cast<std::size_t>(n));
    bar = ColourBar();
    switch (by) {
    case ColourBy::grade:
        for (int i = 0; i < n; ++i)
            values[static_cast<std::size_t>(i)] = CTrackReadout::GradeAt(track, i);
        Steps(values, -kGradeLimit, kGradeLimit, steps);
        bar.bDiverging = true;
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "Grade");
        std::snprintf(bar.szLow, sizeof bar.szLow, "%.0f %%", -kGradeLimit);
        std::snprintf(bar.szHigh, sizeof bar.szHigh, "+%.0f %%", kGradeLimit);
        return true;
    case ColourBy::elevation: {
        for (int i = 0; i < n; ++i)
            values[static_cast<std::size_t>(i)] = track.m_fSmooth[i];
        const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
        Steps(values, *lo, *hi, steps);
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "Elevation");
        std::snprintf(bar.szLow, sizeof bar.szLow, "%s", FormatElevation(units, *lo).c_str());
        std::snprintf(bar.szHigh, sizeof bar.szHigh, "%s", FormatElevation(units, *hi).c_str());
        return true;
    }
    case ColourBy::speed:
    case ColourBy::heartRate: {
        if (!pRecord)
            return false;
        const CTrackRecord& record = *pRecord;
        const bool bSpeed = by == ColourBy::speed;
        if (bSpeed ? !record.HasTime() && !record.HasSensor(Sensor::speed)
                   : !record.HasSensor(Sensor::heartRate))
            return false;
        const auto valueOf = [&record, bSpeed](std::size_t r) {
            if (bSpeed) {
                const double v = CTrackReadout::SpeedAt(record, r);
                return v >= 0 ? v : std::nan("");
            }
            return static_cast<double>(record.SensorValues(Sensor::heartRate)[r]);
        };
        if (!RecordValues(track, record, valueOf, values))
            return false;
        const double lo = Share(values, kLowShare), hi = Share(values, kHighShare);
        Steps(values, lo, hi, steps);
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "%s", bSpeed ? "Speed" : "Heart rate");
        if (bSpeed) {
            std::snprintf(bar.szLow, sizeof bar.szLow, "%s", FormatSpeed(units, lo).c_str());
            std::snprintf(bar.szHigh, sizeof bar.szHigh, "%s", FormatSpeed(units, hi).c_str());
        } else {
            std::snprintf(bar.szLow, sizeof bar.szLow, "%.0f bpm", lo);
            std::snprintf(bar.szHigh, sizeof bar.szHigh, "%.0f bpm", hi);
        }
        return true;
    }
    case ColourBy::none:
        break;
    }
    return false;
}

std::uint32_t CTrackColours::StepColour(bool bDiverging, int nStep) {
    const double t = static_cast<double>(nStep) / (kSteps - 1);
    const Rgb c = bDiverging ? Along(kDiverging, t) : Along(kSequential, t);
    const auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(v)) & 0xFF; };
    return byte(c.r) | (byte(c.g) << 8) | (byte(c.b) << 16);
}
