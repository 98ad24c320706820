#include "CTrackColours.h"

#include "CGraphs.h"

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
double Share(std::vector<float> values, double share) {
    const auto k = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + k, values.end());
    return values[static_cast<std::size_t>(k)];
}

void Steps(const std::vector<float>& values, double lo, double hi, std::uint8_t* steps) {
    for (std::size_t i = 0; i < values.size(); ++i)
        steps[i] = StepOf(hi > lo ? (values[i] - lo) / (hi - lo) : 0.5);
}

} // namespace

bool CTrackColours::Compute(const CTrack& track, const CTrackRecord* pRecord, ColourBy by,
                            Units units, std::uint8_t* steps, ColourBar& bar) {
    const int n = track.m_nCount;
    if (by == ColourBy::none || n <= 0)
        return false;
    std::vector<float> values(static_cast<std::size_t>(n));
    bar = ColourBar();
    switch (by) {
    case ColourBy::grade:
        CGraphs::Values(GraphKind::grade, track, pRecord, units, values.data());
        Steps(values, -kGradeLimit, kGradeLimit, steps);
        bar.bDiverging = true;
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "Grade");
        std::snprintf(bar.szLow, sizeof bar.szLow, "%.0f %%", -kGradeLimit);
        std::snprintf(bar.szHigh, sizeof bar.szHigh, "+%.0f %%", kGradeLimit);
        return true;
    case ColourBy::elevation: {
        std::copy(track.m_fSmooth, track.m_fSmooth + n, values.begin());
        const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
        Steps(values, *lo, *hi, steps);
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "Elevation");
        std::snprintf(bar.szLow, sizeof bar.szLow, "%s", FormatElevation(units, *lo).c_str());
        std::snprintf(bar.szHigh, sizeof bar.szHigh, "%s", FormatElevation(units, *hi).c_str());
        return true;
    }
    case ColourBy::speed:
    case ColourBy::heartRate: {
        // The graphs' values: a speed in the display unit an hour, a heart rate in bpm.
        const bool bSpeed = by == ColourBy::speed;
        if (!CGraphs::Values(bSpeed ? GraphKind::speed : GraphKind::heartRate, track, pRecord,
                             units, values.data()))
            return false;
        const double lo = Share(values, kLowShare), hi = Share(values, kHighShare);
        Steps(values, lo, hi, steps);
        const char* pszUnit = !bSpeed ? "bpm" : units == Units::metric ? "km/h" : "mph";
        std::snprintf(bar.szTitle, sizeof bar.szTitle, "%s", bSpeed ? "Speed" : "Heart rate");
        std::snprintf(bar.szLow, sizeof bar.szLow, bSpeed ? "%.1f %s" : "%.0f %s", lo, pszUnit);
        std::snprintf(bar.szHigh, sizeof bar.szHigh, bSpeed ? "%.1f %s" : "%.0f %s", hi, pszUnit);
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
