#include "CTimeStatistics.h"

#include "CGeodesy.h"
#include "CTrackStatistics.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSecondsPerMs = 0.001;
constexpr double kSecondsPerHour = 3600.0;

// The channel's values from begin to end that are there (and, with bSkipZeros, not zero).
std::optional<ChannelSummary> Summary(const std::vector<float>& values, std::size_t begin,
                                      std::size_t end, bool bSkipZeros = false) {
    if (values.empty())
        return std::nullopt;
    ChannelSummary summary;
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const double v = values[i];
        if (std::isnan(v) || (bSkipZeros && v == 0))
            continue;
        summary.fMin = n == 0 ? v : std::min(summary.fMin, v);
        summary.fMax = n == 0 ? v : std::max(summary.fMax, v);
        sum += v;
        ++n;
    }
    if (n == 0)
        return std::nullopt;
    summary.fMean = sum / static_cast<double>(n);
    return summary;
}

double SecondsBetween(TimeMs from, TimeMs to) {
    return static_cast<double>(to - from) * kSecondsPerMs;
}

// The point where lap k ends: the next lap's first point when that lap follows at once, so that
// the laps add up to the whole (a gap between segments still adds no distance); else the lap's
// own last point.
std::size_t LapEnd(const CTrackRecord& record, std::size_t k) {
    const RecordLap& lap = record.m_laps[k];
    const bool bFollowed =
        k + 1 < record.m_laps.size() && record.m_laps[k + 1].nFirst == lap.nLast + 1;
    return bFollowed ? lap.nLast + 1 : lap.nLast;
}
} // namespace

CTimeStatistics::CTimeStatistics(const CTrackRecord& record, const std::vector<double>& metres,
                                 double fAscentFt)
    : m_fAscentFt(fAscentFt) {
    const std::size_t n = record.Size();
    if (n == 0)
        return;
    m_fDistanceM = metres.back();
    for (TimeMs t : record.Time())
        if (t != kNoTime) {
            m_start = m_start == kNoTime ? t : std::min(m_start, t);
            m_end = m_end == kNoTime ? t : std::max(m_end, t);
        }
    MeasureMoving(record, metres, 0, n, m_fMovingS, m_fMovingM, m_fUphillS);
    MeasureMaxSpeed(record);
    m_heartRate = Summary(record.SensorValues(Sensor::heartRate), 0, n);
    m_cadence = Summary(record.SensorValues(Sensor::cadence), 0, n, true);
    m_power = Summary(record.SensorValues(Sensor::power), 0, n);
    m_temperature = Summary(record.SensorValues(Sensor::temperature), 0, n);
}

// Between consecutive points of one segment that both have a time; never across a gap.
void CTimeStatistics::MeasureMoving(const CTrackRecord& record, const std::vector<double>& metres,
                                    std::size_t begin, std::size_t end, double& movingS,
                                    double& movingM, double& uphillS) {
    if (!record.HasTime())
        return;
    const std::vector<TimeMs>& time = record.Time();
    const std::vector<double>& ele = record.Ele();
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s)
        for (std::size_t i = std::max<std::size_t>(record.SegmentStarts()[s], begin) + 1;
             i < std::min(record.SegmentEnd(s), end); ++i) {
            if (time[i - 1] == kNoTime || time[i] == kNoTime || time[i] <= time[i - 1])
                continue;
            const double dt = SecondsBetween(time[i - 1], time[i]);
            const double dm = metres[i] - metres[i - 1];
            if (dm / dt < kMovingMps)
                continue;
            movingS += dt;
            movingM += dm;
            if (!ele.empty() && ele[i] > ele[i - 1])
                uphillS += dt;
        }
}

// The device's own speed where the record has it. Else windows of at least kSpeedWindowS, from
// each point to the first point of its segment that much later: the straight distance between
// the window's ends over its time, and the fastest speed is one that two consecutive windows
// both reach. A bad fix changes only the windows that start or end at it, and each of those
// has a neighbour that does not, so one bad fix does not make the fastest speed.
void CTimeStatistics::MeasureMaxSpeed(const CTrackRecord& record) {
    if (const std::optional<ChannelSummary> device =
            Summary(record.SensorValues(Sensor::speed), 0, record.Size())) {
        m_maxSpeedMps = device->fMax;
        m_bMaxSpeedFromDevice = true;
        return;
    }
    if (!record.HasTime())
        return;
    const std::vector<TimeMs>& time = record.Time();
    const std::vector<double>& lat = record.Lat();
    const std::vector<double>& lon = record.Lon();
    std::vector<std::size_t> timed;
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s) {
        timed.clear();
        for (std::size_t i = record.SegmentStarts()[s]; i < record.SegmentEnd(s); ++i)
            if (time[i] != kNoTime && (timed.empty() || time[i] > time[timed.back()]))
                timed.push_back(i);
        std::optional<double> previous;
        std::size_t b = 0;
        for (std::size_t a = 0; a < timed.size(); ++a) {
            b = std::max(b, a + 1);
            while (b < timed.size() &&
                   SecondsBetween(time[timed[a]], time[timed[b]]) < kSpeedWindowS)
                ++b;
            if (b == timed.size())
                break;
            const std::size_t i = timed[a], j = timed[b];
            const double speed = CGeodesy::LegMetres(lat[i], lon[i], lat[j], lon[j]) /
                                 SecondsBetween(time[i], time[j]);
            if (previous)
                m_maxSpeedMps = std::max(m_maxSpeedMps.value_or(0.0), std::min(*previous, speed));
            previous = speed;
        }
    }
}

double CTimeStatistics::ElapsedS() const {
    return HasTime() ? SecondsBetween(m_start, m_end) : 0.0;
}

std::optional<double> CTimeStatistics::AverageSpeed() const {
    if (ElapsedS() <= 0)
        return std::nullopt;
    return m_fDistanceM / ElapsedS();
}

std::optional<double> CTimeStatistics::MovingSpeed() const {
    if (m_fMovingS <= 0)
        return std::nullopt;
    return m_fMovingM / m_fMovingS;
}

bool CTimeStatistics::ShowsPace() const {
    return MovingSpeed() && *MovingSpeed() < kPaceBelowMps;
}

std::optional<double> CTimeStatistics::ClimbRateFtPerHour() const {
    if (m_fUphillS <= 0)
        return std::nullopt;
    return m_fAscentFt / (m_fUphillS / kSecondsPerHour);
}

StretchFigures CTimeStatistics::Stretch(const CTrackRecord& record,
                                        const std::vector<double>& metres, std::size_t first,
                                        std::size_t last) {
    StretchFigures figures;
    figures.fDistanceM = metres[last] - metres[first];
    const std::vector<TimeMs>& time = record.Time();
    if (record.HasTime() && time[first] != kNoTime && time[last] != kNoTime &&
        time[last] > time[first]) {
        figures.elapsedS = SecondsBetween(time[first], time[last]);
        figures.speedMps = figures.fDistanceM / *figures.elapsedS;
        double movingS = 0, movingM = 0, uphillS = 0;
        MeasureMoving(record, metres, first, last + 1, movingS, movingM, uphillS);
        figures.movingS = movingS;
    }
    if (record.HasElevation()) {
        const CTrackStatistics::Climb climb = CTrackStatistics::ClimbOver(record, first, last + 1);
        figures.ascentFt = climb.fAscent;
        figures.descentFt = climb.fDescent;
        const std::vector<double>& ele = record.Ele();
        std::size_t a = first, b = last;
        while (a < b && std::isnan(ele[a]))
            ++a;
        while (b > a && std::isnan(ele[b]))
            --b;
        if (b > a && figures.fDistanceM > 0)
            figures.gradePercent = (ele[b] - ele[a]) / figures.fDistanceM * 100.0;
    }
    if (const auto hr = Summary(record.SensorValues(Sensor::heartRate), first, last + 1))
        figures.heartRateBpm = hr->fMean;
    return figures;
}

// A lap is the stretch to its end, timed from the device's start of the lap where it has one,
// with the heart rate of the lap's own points.
std::vector<StretchFigures> CTimeStatistics::Laps(const CTrackRecord& record,
                                                  const std::vector<double>& metres) {
    std::vector<StretchFigures> laps;
    const std::vector<TimeMs>& time = record.Time();
    for (std::size_t k = 0; k < record.m_laps.size(); ++k) {
        const RecordLap& lap = record.m_laps[k];
        const std::size_t end = LapEnd(record, k);
        StretchFigures figures = Stretch(record, metres, lap.nFirst, end);
        if (lap.start != kNoTime && record.HasTime() && time[end] != kNoTime &&
            time[end] > lap.start) {
            figures.elapsedS = SecondsBetween(lap.start, time[end]);
            figures.speedMps = figures.fDistanceM / *figures.elapsedS;
        }
        const auto hr = Summary(record.SensorValues(Sensor::heartRate), lap.nFirst, lap.nLast + 1);
        figures.heartRateBpm = hr ? std::optional(hr->fMean) : std::nullopt;
        laps.push_back(figures);
    }
    return laps;
}
