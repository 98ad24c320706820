#include "CTrackReadout.h"

#include "CGeodesy.h"
#include "CTrack.h"

#include <algorithm>
#include <cmath>
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

TrackReadout CTrackReadout::At(const CTrack& track, double fDistance, Units units,
                               const CTrackRecord* pRecord, TimeZone zone) {
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
    const std::size_t nRecordPoint = track.m_nRecordIndex[i];
    if (pRecord && nRecordPoint < pRecord->Size()) {
        const std::string channels = ChannelsText(*pRecord, nRecordPoint, units, zone);
        r.text += channels;
        r.channels = channels.empty() ? channels : channels.substr(2);
    }
    return r;
}

std::string CTrackReadout::ChannelsText(const CTrackRecord& record, std::size_t r, Units units,
                                        TimeZone zone) {
    std::string text;
    const auto add = [&text](const std::string& part) { text += "  " + part; };
    if (record.HasTime() && record.Time()[r] != kNoTime) {
        add(FormatTimeOfDay(record.Time()[r], zone));
        const auto first = std::find_if(record.Time().begin(), record.Time().end(),
                                        [](TimeMs t) { return t != kNoTime; });
        add(FormatDuration(static_cast<double>(record.Time()[r] - *first) / 1000.0));
    }
    if (const double speed = SpeedAt(record, r); speed >= 0)
        add(FormatSpeed(units, speed));
    const auto sensor = [&](Sensor s, const char* unit) {
        if (record.HasSensor(s) && !std::isnan(record.SensorValues(s)[r]))
            add(std::to_string(std::lround(record.SensorValues(s)[r])) + " " + unit);
    };
    sensor(Sensor::heartRate, "bpm");
    sensor(Sensor::cadence, "rpm");
    sensor(Sensor::power, "W");
    if (record.HasSensor(Sensor::temperature) &&
        !std::isnan(record.SensorValues(Sensor::temperature)[r]))
        add(FormatTemperature(units, record.SensorValues(Sensor::temperature)[r]));
    return text;
}

// Outwards from r, a point at a time on the side that is shorter in time, until the span is
// long enough or the segment ends.
double CTrackReadout::SpeedAt(const CTrackRecord& record, std::size_t r) {
    if (record.HasSensor(Sensor::speed) && !std::isnan(record.SensorValues(Sensor::speed)[r]))
        return record.SensorValues(Sensor::speed)[r];
    if (!record.HasTime() || record.Time()[r] == kNoTime)
        return -1;
    const auto& starts = record.SegmentStarts();
    const std::size_t s = static_cast<std::size_t>(
                              std::upper_bound(starts.begin(), starts.end(), r) - starts.begin()) -
                          1;
    const std::size_t begin = starts[s], end = record.SegmentEnd(s);
    const std::vector<TimeMs>& time = record.Time();
    std::size_t lo = r, hi = r;
    double metres = 0;
    const auto leg = [&record](std::size_t a, std::size_t b) {
        return CGeodesy::LegMetres(record.Lat()[a], record.Lon()[a], record.Lat()[b],
                                   record.Lon()[b]);
    };
    const auto span = [&] { return static_cast<double>(time[hi] - time[lo]) / 1000.0; };
    while (span() < kSpeedSpanS && (lo > begin || hi + 1 < end)) {
        const bool bBack =
            lo > begin && (hi + 1 >= end || time[r] - time[lo] <= time[hi] - time[r]);
        if (bBack ? time[lo - 1] == kNoTime : time[hi + 1] == kNoTime)
            break;
        if (bBack) {
            metres += leg(lo - 1, lo);
            --lo;
        } else {
            metres += leg(hi, hi + 1);
            ++hi;
        }
    }
    return span() > 0 ? metres / span() : -1;
}
