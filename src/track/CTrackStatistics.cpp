#include "CTrackStatistics.h"

#include "CTrack.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
enum class Direction { unknown, rising, falling };

// "+12.3 % from 1.20 to 1.25 mi", or "none" when the track has no such stretch.
std::string GradeText(const GradeSpan& span, Units units) {
    if (!span.bFound)
        return "none";
    char text[128];
    std::snprintf(text, sizeof text, "%+.1f %% from %.2f to %.2f %s", span.fGrade,
                  DistanceIn(units, span.fStartMiles), DistanceIn(units, span.fEndMiles),
                  DistanceUnit(units));
    return text;
}

// "47.50000° to 47.51000°".
std::string DegreesText(float fMin, float fMax) {
    char text[128];
    std::snprintf(text, sizeof text, "%.5f\u00b0 to %.5f\u00b0", static_cast<double>(fMin),
                  static_cast<double>(fMax));
    return text;
}
} // namespace

CTrackStatistics::CTrackStatistics(const CTrack& track, std::vector<std::string> importNotes)
    : m_nPoints(std::max<int>(track.m_nCount, 0)), m_importNotes(std::move(importNotes)) {
    const int n = m_nPoints;
    if (n == 0)
        return;
    m_fDistanceMiles = track.m_fDist[n - 1];
    m_fStartElev = track.m_fElev[0];
    m_fEndElev = track.m_fElev[n - 1];
    const auto [lowElev, highElev] = std::minmax_element(track.m_fElev, track.m_fElev + n);
    m_fLowestElev = *lowElev;
    m_fHighestElev = *highElev;
    const auto [lowLat, highLat] = std::minmax_element(track.m_fLat, track.m_fLat + n);
    m_fMinLat = *lowLat;
    m_fMaxLat = *highLat;
    const auto [lowLon, highLon] = std::minmax_element(track.m_fLon, track.m_fLon + n);
    m_fMinLon = *lowLon;
    m_fMaxLon = *highLon;
    // Climbs and grades come from the smoothed series: the recorded elevations jitter by
    // several feet from point to point, which would add up as false climbing and, over a
    // stretch of a few hundred feet, show as grades that were never there.
    m_climb = ClimbOf(track.m_fSmooth, n);
    m_steepest = SteepestOf(track.m_fDist, track.m_fSmooth, n);
}

// Example with a threshold of 10: 0 50 40 90 80 60 rises from 0 to 90 (the dip to 40 is exactly
// 10 and no turn), then falls from 90 to 60: ascent 90, descent 30.
CTrackStatistics::Climb CTrackStatistics::ClimbOf(const float* pElev, int n, double fThreshold) {
    Climb climb;
    if (n <= 0)
        return climb;
    Direction dir = Direction::unknown;
    double fLow = pElev[0];
    double fHigh = pElev[0];
    double fTurn = 0;
    double fExtreme = 0;
    for (int i = 1; i < n; ++i) {
        const double v = pElev[i];
        switch (dir) {
        case Direction::unknown: {
            // Until the values spread by more than the threshold nothing is known; then the
            // value that made the spread says which way the series goes.
            const bool bNewHigh = v > fHigh;
            fLow = std::min(fLow, v);
            fHigh = std::max(fHigh, v);
            if (fHigh - fLow > fThreshold) {
                dir = bNewHigh ? Direction::rising : Direction::falling;
                fTurn = bNewHigh ? fLow : fHigh;
                fExtreme = v;
            }
            break;
        }
        case Direction::rising:
            if (v > fExtreme) {
                fExtreme = v;
            } else if (fExtreme - v > fThreshold) {
                climb.fAscent += fExtreme - fTurn;
                fTurn = fExtreme;
                fExtreme = v;
                dir = Direction::falling;
            }
            break;
        case Direction::falling:
            if (v < fExtreme) {
                fExtreme = v;
            } else if (v - fExtreme > fThreshold) {
                climb.fDescent += fTurn - fExtreme;
                fTurn = fExtreme;
                fExtreme = v;
                dir = Direction::rising;
            }
            break;
        }
    }
    if (dir == Direction::rising)
        climb.fAscent += fExtreme - fTurn;
    else if (dir == Direction::falling)
        climb.fDescent += fTurn - fExtreme;
    return climb;
}

// Two pointers: the first point at least fMinRunMiles beyond point i is never before the one for
// point i - 1, since the cumulative distance does not decrease.
CTrackStatistics::Steepest CTrackStatistics::SteepestOf(const float* pMiles, const float* pElev,
                                                        int n, double fMinRunMiles) {
    Steepest steepest;
    int j = 0;
    for (int i = 0; i < n; ++i) {
        j = std::max(j, i + 1);
        while (j < n && static_cast<double>(pMiles[j]) - pMiles[i] < fMinRunMiles)
            ++j;
        if (j >= n)
            break;
        const double run = (static_cast<double>(pMiles[j]) - pMiles[i]) * kFeetPerMile;
        const double grade = (static_cast<double>(pElev[j]) - pElev[i]) / run * 100.0;
        const GradeSpan span{true, grade, pMiles[i], pMiles[j], i, j};
        if (grade > 0 && (!steepest.climb.bFound || grade > steepest.climb.fGrade))
            steepest.climb = span;
        if (grade < 0 && (!steepest.descent.bFound || grade < steepest.descent.fGrade))
            steepest.descent = span;
    }
    return steepest;
}

std::vector<StatisticsItem> CTrackStatistics::Items(Units units) const {
    std::vector<StatisticsItem> items;
    items.push_back({"Points", std::to_string(m_nPoints)});
    for (const std::string& note : m_importNotes)
        items.push_back({"Import note", note});
    items.push_back({"Total distance", FormatDistance(units, m_fDistanceMiles)});
    const bool bPoints = m_nPoints > 0;
    auto elevation = [&](double feet) {
        return bPoints ? FormatElevation(units, feet) : std::string("none");
    };
    items.push_back({"Start elevation", elevation(m_fStartElev)});
    items.push_back({"End elevation", elevation(m_fEndElev)});
    items.push_back({"Lowest elevation", elevation(m_fLowestElev)});
    items.push_back({"Highest elevation", elevation(m_fHighestElev)});
    items.push_back({"Total ascent", FormatElevation(units, m_climb.fAscent)});
    items.push_back({"Total descent", FormatElevation(units, m_climb.fDescent)});
    items.push_back({"Steepest climb", GradeText(m_steepest.climb, units)});
    items.push_back({"Steepest descent", GradeText(m_steepest.descent, units)});
    items.push_back({"Latitude", bPoints ? DegreesText(m_fMinLat, m_fMaxLat) : "none"});
    items.push_back({"Longitude", bPoints ? DegreesText(m_fMinLon, m_fMaxLon) : "none"});
    return items;
}
