#include "CTrackReadout.h"

#include "CTrack.h"

#include <algorithm>
#include <cstdio>

int CTrackReadout::NearestPoint(const CTrack& track, double fMiles) {
    const int n = track.m_nCount;
    if (n <= 0)
        return -1;
    const float* first = track.m_fDist;
    const float* last = track.m_fDist + n;
    // The first point at or beyond the distance, then whichever of it and its predecessor is
    // nearer.
    const int j = static_cast<int>(
        std::lower_bound(first, last, fMiles,
                         [](float d, double x) { return static_cast<double>(d) < x; }) -
        first);
    if (j < n && (j == 0 || track.m_fDist[j] - fMiles < fMiles - track.m_fDist[j - 1]))
        return j;
    // Points where the track stood still share a distance; the first of them is the one meant
    // (lower_bound found that for j already).
    const float fBefore = track.m_fDist[j - 1];
    return static_cast<int>(std::lower_bound(first, first + j - 1, fBefore) - first);
}

double CTrackReadout::GradeAt(const CTrack& track, int i) {
    const int n = track.m_nCount;
    if (i < 0 || i >= n)
        return 0;
    const float* pDist = track.m_fDist;
    const double half = kGradeRunMiles / 2;
    // From the last point at least half the run before point i to the first point at least
    // half the run after it; the ends of the track stop the search.
    const float* pAfterStart = std::upper_bound(pDist, pDist + i, pDist[i] - half,
                                                [](double x, float d) { return x < d; });
    const int nStart = std::max(static_cast<int>(pAfterStart - pDist) - 1, 0);
    const float* pEnd = std::lower_bound(pDist + i, pDist + n, pDist[i] + half,
                                         [](float d, double x) { return d < x; });
    const int nEnd = std::min(static_cast<int>(pEnd - pDist), n - 1);
    const double run = (static_cast<double>(pDist[nEnd]) - pDist[nStart]) * kFeetPerMile;
    if (!(run > 0))
        return 0;
    return (static_cast<double>(track.m_fSmooth[nEnd]) - track.m_fSmooth[nStart]) / run * 100.0;
}

TrackReadout CTrackReadout::At(const CTrack& track, double fDistance, Units units) {
    TrackReadout r;
    const int i = NearestPoint(track, MilesFrom(units, fDistance));
    if (i < 0)
        return r;
    r.bFound = true;
    r.nIndex = i;
    r.fDistance = DistanceIn(units, track.m_fDist[i]);
    r.fElev = ElevationIn(units, track.m_fElev[i]);
    r.fSmooth = ElevationIn(units, track.m_fSmooth[i]);
    r.fGrade = GradeAt(track, i);
    char text[160];
    const char* pszElevUnit = ElevationUnit(units);
    std::snprintf(text, sizeof text, "%.2f %s  %.0f %s (smoothed %.0f %s)  %+.1f %%", r.fDistance,
                  DistanceUnit(units), r.fElev, pszElevUnit, r.fSmooth, pszElevUnit, r.fGrade);
    r.text = text;
    return r;
}
