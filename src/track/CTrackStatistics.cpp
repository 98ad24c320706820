#include "CTrackStatistics.h"

#include "CGeodesy.h"
#include "TrackGeometry.h"

#include <algorithm>
#include <cmath>
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
std::string DegreesText(double fMin, double fMax) {
    char text[128];
    std::snprintf(text, sizeof text, "%.5f\u00b0 to %.5f\u00b0", fMin, fMax);
    return text;
}

// The device's figure beside ours: "1412 ft (device: 1398 ft)".
std::string WithDevice(std::string ours, const std::optional<std::string>& device) {
    return device ? ours + " (device: " + *device + ")" : ours;
}

std::optional<std::string> DeviceElevation(const std::optional<double>& metres, Units units) {
    if (!metres)
        return std::nullopt;
    return FormatElevation(units, *metres * kFeetPerMetre);
}

// "elevation, time, heart rate": what the record has beyond the position.
std::vector<std::string> ChannelsOf(const CTrackRecord& record) {
    std::vector<std::string> channels;
    if (record.HasElevation())
        channels.emplace_back("elevation");
    if (record.HasTime())
        channels.emplace_back("time");
    for (const CTrackRecord::SensorInfo& info : CTrackRecord::Sensors())
        if (record.HasSensor(info.sensor))
            channels.emplace_back(info.pszName);
    return channels;
}
} // namespace

CTrackStatistics::CTrackStatistics(const CTrackRecord& record, int nChartPoints,
                                   std::vector<std::string> importNotes)
    : m_nPoints(record.Size()), m_nChartPoints(nChartPoints), m_importNotes(std::move(importNotes)),
      m_channels(ChannelsOf(record)), m_device(record.m_totals) {
    if (m_nPoints == 0)
        return;
    std::vector<double> miles = CGeodesy::CumulativeMetres(record);
    for (double& d : miles)
        d /= kMetresPerMile;
    m_fDistanceMiles = miles.back();
    MeasureElevations(record, miles);
    MeasureBox(record);
}

// Segment by segment, so that a jump across a gap in the recording is no climb and no grade.
// Climbs come from the smoothed series: recorded elevations jitter by several feet from point to
// point, which would add up as false climbing. Grades come from the recorded elevations over at
// least kMinGradeRunMiles along the record, where a stretch of that length averages the jitter
// out.
void CTrackStatistics::MeasureElevations(const CTrackRecord& record,
                                         const std::vector<double>& miles) {
    if (!record.HasElevation())
        return;
    const std::vector<double>& ele = record.Ele();
    std::vector<float> feet;
    std::vector<float> smooth;
    std::vector<double> segMiles, segFeet;
    std::vector<std::size_t> index;
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s) {
        feet.clear(), segMiles.clear(), segFeet.clear(), index.clear();
        for (std::size_t i = record.SegmentStarts()[s]; i < record.SegmentEnd(s); ++i) {
            if (std::isnan(ele[i]))
                continue;
            const double f = ele[i] * kFeetPerMetre;
            if (!m_bElevation) {
                m_bElevation = true;
                m_fStartElev = m_fLowestElev = m_fHighestElev = f;
            }
            m_fEndElev = f;
            m_fLowestElev = std::min(m_fLowestElev, f);
            m_fHighestElev = std::max(m_fHighestElev, f);
            feet.push_back(static_cast<float>(f));
            segMiles.push_back(miles[i]);
            segFeet.push_back(f);
            index.push_back(i);
        }
        const int n = static_cast<int>(feet.size());
        smooth.resize(feet.size());
        SmoothSeries(feet.data(), smooth.data(), n);
        const Climb climb = ClimbOf(smooth.data(), n);
        m_climb.fAscent += climb.fAscent;
        m_climb.fDescent += climb.fDescent;
        Steepest steep = SteepestOf(segMiles.data(), segFeet.data(), feet.size());
        for (GradeSpan* span : {&steep.climb, &steep.descent})
            if (span->bFound)
                span->nStart = index[span->nStart], span->nEnd = index[span->nEnd];
        if (steep.climb.bFound &&
            (!m_steepest.climb.bFound || steep.climb.fGrade > m_steepest.climb.fGrade))
            m_steepest.climb = steep.climb;
        if (steep.descent.bFound &&
            (!m_steepest.descent.bFound || steep.descent.fGrade < m_steepest.descent.fGrade))
            m_steepest.descent = steep.descent;
    }
}

// Longitudes are taken from the first point's, the short way round, so that a track across the
// 180th meridian has a box a few degrees wide rather than one around the world.
void CTrackStatistics::MeasureBox(const CTrackRecord& record) {
    const auto [lowLat, highLat] = std::minmax_element(record.Lat().begin(), record.Lat().end());
    m_fMinLat = *lowLat;
    m_fMaxLat = *highLat;
    const double lon0 = record.Lon().front();
    double west = 0, east = 0;
    for (double lon : record.Lon()) {
        const double d = CGeodesy::LongitudeDifference(lon0, lon);
        west = std::min(west, d);
        east = std::max(east, d);
    }
    const auto normal = [](double lon) {
        return lon > 180.0 ? lon - 360.0 : lon < -180.0 ? lon + 360.0 : lon;
    };
    m_fWestLon = normal(lon0 + west);
    m_fEastLon = normal(lon0 + east);
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
CTrackStatistics::Steepest CTrackStatistics::SteepestOf(const double* pMiles, const double* pFeet,
                                                        std::size_t n, double fMinRunMiles) {
    Steepest steepest;
    std::size_t j = 0;
    for (std::size_t i = 0; i < n; ++i) {
        j = std::max(j, i + 1);
        while (j < n && pMiles[j] - pMiles[i] < fMinRunMiles)
            ++j;
        if (j >= n)
            break;
        const double run = (pMiles[j] - pMiles[i]) * kFeetPerMile;
        const double grade = (pFeet[j] - pFeet[i]) / run * 100.0;
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
    std::string points = std::to_string(m_nPoints);
    if (m_nChartPoints >= 0 && static_cast<std::size_t>(m_nChartPoints) < m_nPoints)
        points += " (" + std::to_string(m_nChartPoints) + " in the chart)";
    items.push_back({"Points", points});
    std::string data;
    for (const std::string& channel : m_channels)
        data += (data.empty() ? "" : ", ") + channel;
    items.push_back({"Data", data.empty() ? "position only" : data});
    for (const std::string& note : m_importNotes)
        items.push_back({"Import note", note});
    const std::optional<std::string> deviceDistance =
        m_device.distanceM
            ? std::optional(FormatDistance(units, *m_device.distanceM / kMetresPerMile))
            : std::nullopt;
    items.push_back(
        {"Total distance", WithDevice(FormatDistance(units, m_fDistanceMiles), deviceDistance)});
    auto elevation = [&](double feet) {
        return m_bElevation ? FormatElevation(units, feet) : std::string("none");
    };
    items.push_back({"Start elevation", elevation(m_fStartElev)});
    items.push_back({"End elevation", elevation(m_fEndElev)});
    items.push_back({"Lowest elevation", elevation(m_fLowestElev)});
    items.push_back({"Highest elevation", elevation(m_fHighestElev)});
    items.push_back({"Total ascent", WithDevice(FormatElevation(units, m_climb.fAscent),
                                                DeviceElevation(m_device.ascentM, units))});
    items.push_back({"Total descent", WithDevice(FormatElevation(units, m_climb.fDescent),
                                                 DeviceElevation(m_device.descentM, units))});
    items.push_back({"Steepest climb", GradeText(m_steepest.climb, units)});
    items.push_back({"Steepest descent", GradeText(m_steepest.descent, units)});
    const bool bPoints = m_nPoints > 0;
    items.push_back({"Latitude", bPoints ? DegreesText(m_fMinLat, m_fMaxLat) : "none"});
    items.push_back({"Longitude", bPoints ? DegreesText(m_fWestLon, m_fEastLon) : "none"});
    if (m_device.calories)
        items.push_back(
            {"Calories (device)", std::to_string(std::lround(*m_device.calories)) + " kcal"});
    return items;
}
