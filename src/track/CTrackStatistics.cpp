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

// The device's figure beside ours: "1412 ft (device: 1398 ft)", and the ground's before it where
// it is known: "1412 ft (terrain: 1380 ft, device: 1398 ft)".
std::string WithDevice(std::string ours, const std::optional<std::string>& device,
                       const std::optional<std::string>& terrain = std::nullopt) {
    if (!device && !terrain)
        return ours;
    std::string beside;
    if (terrain)
        beside = "terrain: " + *terrain;
    if (device)
        beside.append(terrain ? ", device: " : "device: ").append(*device);
    return ours.append(" (").append(beside).append(")");
}

std::optional<std::string> DeviceElevation(const std::optional<double>& metres, Units units) {
    if (!metres)
        return std::nullopt;
    return FormatElevation(units, *metres * kFeetPerMetre);
}

} // namespace

CTrackStatistics::CTrackStatistics(const CTrackRecord& record, int nChartPoints,
                                   std::vector<std::string> importNotes)
    : m_nPoints(record.Size()), m_nChartPoints(nChartPoints), m_importNotes(std::move(importNotes)),
      m_channels(Channels(record)), m_device(record.m_totals) {
    if (m_nPoints == 0)
        return;
    const std::vector<double> metres = CGeodesy::CumulativeMetres(record);
    m_fDistanceMiles = metres.back() / kMetresPerMile;
    MeasureElevations(record, metres);
    MeasureBox(record);
    m_time = CTimeStatistics(record, metres, m_climb.fAscent);
    m_laps = CTimeStatistics::Laps(record, metres);
}

// Segment by segment, so that a jump across a gap in the recording is no climb and no grade.
// Climbs come from the smoothed series (ClimbOver): recorded elevations jitter by several feet
// from point to point, which would add up as false climbing. Grades come from the recorded
// elevations over at least kMinGradeRunMiles along the record, where a stretch of that length
// averages the jitter out.
void CTrackStatistics::MeasureElevations(const CTrackRecord& record,
                                         const std::vector<double>& metres) {
    if (!record.HasElevation())
        return;
    m_climb = ClimbOver(record, 0, record.Size());
    const std::vector<double>& ele = record.Ele();
    std::vector<double> segMiles, segFeet;
    std::vector<std::size_t> index;
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s) {
        segMiles.clear(), segFeet.clear(), index.clear();
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
            segMiles.push_back(metres[i] / kMetresPerMile);
            segFeet.push_back(f);
            index.push_back(i);
        }
        Steepest steep = SteepestOf(segMiles.data(), segFeet.data(), segFeet.size());
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

CTrackStatistics::Climb CTrackStatistics::ClimbOver(const CTrackRecord& record, std::size_t begin,
                                                    std::size_t end) {
    Climb total;
    if (!record.HasElevation())
        return total;
    const std::vector<double>& ele = record.Ele();
    std::vector<float> feet, smooth;
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s) {
        feet.clear();
        const std::size_t from = std::max<std::size_t>(record.SegmentStarts()[s], begin);
        const std::size_t to = std::min(record.SegmentEnd(s), end);
        for (std::size_t i = from; i < to; ++i)
            if (!std::isnan(ele[i]))
                feet.push_back(static_cast<float>(ele[i] * kFeetPerMetre));
        const int n = static_cast<int>(feet.size());
        smooth.resize(feet.size());
        SmoothSeries(feet.data(), smooth.data(), n);
        const Climb climb = ClimbOf(smooth.data(), n);
        total.fAscent += climb.fAscent;
        total.fDescent += climb.fDescent;
    }
    return total;
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

std::vector<std::string> CTrackStatistics::Channels(const CTrackRecord& record, bool bKeys) {
    std::vector<std::string> channels;
    if (record.HasElevation())
        channels.emplace_back("elevation");
    if (record.HasTime())
        channels.emplace_back("time");
    for (const CTrackRecord::SensorInfo& info : CTrackRecord::Sensors())
        if (record.HasSensor(info.sensor))
            channels.emplace_back(bKeys ? info.pszKey : info.pszName);
    return channels;
}

std::vector<StatisticsItem> CTrackStatistics::Items(Units units, TimeZone zone) const {
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
    AddTimeItems(items, units, zone);
    auto elevation = [&](double feet) {
        return m_bElevation ? FormatElevation(units, feet) : std::string("none");
    };
    items.push_back({"Start elevation", elevation(m_fStartElev)});
    items.push_back({"End elevation", elevation(m_fEndElev)});
    items.push_back({"Lowest elevation", elevation(m_fLowestElev)});
    items.push_back({"Highest elevation", elevation(m_fHighestElev)});
    const auto terrain = [&](double Climb::*pPart) -> std::optional<std::string> {
        if (!m_terrainClimb)
            return std::nullopt;
        return FormatElevation(units, (*m_terrainClimb).*pPart);
    };
    items.push_back({"Total ascent", WithDevice(FormatElevation(units, m_climb.fAscent),
                                                DeviceElevation(m_device.ascentM, units),
                                                terrain(&Climb::fAscent))});
    items.push_back({"Total descent", WithDevice(FormatElevation(units, m_climb.fDescent),
                                                 DeviceElevation(m_device.descentM, units),
                                                 terrain(&Climb::fDescent))});
    if (const std::optional<double> rate = m_time.ClimbRateFtPerHour(); rate && m_bElevation)
        items.push_back({"Climbing rate", FormatClimbRate(units, *rate)});
    items.push_back({"Steepest climb", GradeText(m_steepest.climb, units)});
    items.push_back({"Steepest descent", GradeText(m_steepest.descent, units)});
    const bool bPoints = m_nPoints > 0;
    items.push_back({"Latitude", bPoints ? DegreesText(m_fMinLat, m_fMaxLat) : "none"});
    items.push_back({"Longitude", bPoints ? DegreesText(m_fWestLon, m_fEastLon) : "none"});
    AddSensorItems(items, units);
    if (m_device.calories)
        items.push_back(
            {"Calories (device)", std::to_string(std::lround(*m_device.calories)) + " kcal"});
    return items;
}

// Start and end, elapsed and moving time, speeds and pace: only for a record with times.
void CTrackStatistics::AddTimeItems(std::vector<StatisticsItem>& items, Units units,
                                    TimeZone zone) const {
    if (!m_time.HasTime())
        return;
    const auto device = [](const std::optional<double>& seconds) {
        return seconds ? std::optional(FormatDuration(*seconds)) : std::nullopt;
    };
    items.push_back({"Start", FormatClock(m_time.m_start, zone)});
    items.push_back({"End", FormatClock(m_time.m_end, zone)});
    // Points that all share one time (an export that dates every point alike) take no time.
    if (m_time.ElapsedS() <= 0)
        return;
    items.push_back(
        {"Elapsed time", WithDevice(FormatDuration(m_time.ElapsedS()), device(m_device.elapsedS))});
    items.push_back(
        {"Moving time", WithDevice(FormatDuration(m_time.m_fMovingS), device(m_device.movingS))});
    if (const std::optional<double> speed = m_time.AverageSpeed())
        items.push_back({"Average speed", FormatSpeed(units, *speed)});
    if (const std::optional<double> speed = m_time.MovingSpeed())
        items.push_back({"Average moving speed", FormatSpeed(units, *speed)});
    if (m_time.m_maxSpeedMps)
        items.push_back({"Maximum speed", FormatSpeed(units, *m_time.m_maxSpeedMps)});
    if (m_time.ShowsPace())
        items.push_back({"Average moving pace", FormatPace(units, *m_time.MovingSpeed())});
}

void CTrackStatistics::AddSensorItems(std::vector<StatisticsItem>& items, Units units) const {
    const auto whole = [](double value, const char* unit) {
        return std::to_string(std::lround(value)) + " " + unit;
    };
    if (m_time.m_heartRate) {
        items.push_back({"Average heart rate", whole(m_time.m_heartRate->fMean, "bpm")});
        items.push_back({"Maximum heart rate", whole(m_time.m_heartRate->fMax, "bpm")});
    }
    if (m_time.m_cadence)
        items.push_back({"Average cadence", whole(m_time.m_cadence->fMean, "rpm")});
    if (m_time.m_power) {
        items.push_back({"Average power", whole(m_time.m_power->fMean, "W")});
        items.push_back({"Maximum power", whole(m_time.m_power->fMax, "W")});
    }
    if (m_time.m_temperature) {
        items.push_back(
            {"Lowest temperature", FormatTemperature(units, m_time.m_temperature->fMin)});
        items.push_back(
            {"Highest temperature", FormatTemperature(units, m_time.m_temperature->fMax)});
    }
}

std::vector<std::string> CTrackStatistics::LapColumns() {
    return {"Lap", "Distance", "Time", "Ascent", "Descent", "Average speed", "Average heart rate"};
}

std::vector<std::vector<std::string>> CTrackStatistics::LapTable(Units units) const {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t k = 0; k < m_laps.size(); ++k) {
        const StretchFigures& lap = m_laps[k];
        const auto text = [](const std::optional<double>& value, auto format) {
            return value ? format(*value) : std::string();
        };
        rows.push_back({
            std::to_string(k + 1),
            FormatDistance(units, lap.fDistanceM / kMetresPerMile),
            text(lap.elapsedS, [](double s) { return FormatDuration(s); }),
            text(lap.ascentFt, [units](double ft) { return FormatElevation(units, ft); }),
            text(lap.descentFt, [units](double ft) { return FormatElevation(units, ft); }),
            text(lap.speedMps, [units](double v) { return FormatSpeed(units, v); }),
            text(lap.heartRateBpm,
                 [](double bpm) { return std::to_string(std::lround(bpm)) + " bpm"; }),
        });
    }
    return rows;
}
