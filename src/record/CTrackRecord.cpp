#include "CTrackRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {
constexpr CTrackRecord::SensorInfo kSensors[kSensorCount] = {
    {Sensor::heartRate, "heart rate", "heart_rate", "bpm"},
    {Sensor::cadence, "cadence", "cadence", "rpm"},
    {Sensor::power, "power", "power", "W"},
    {Sensor::temperature, "temperature", "temperature",
     "\xc2\xb0"
     "C"},
    {Sensor::speed, "speed", "speed", "m/s"},
};

bool IsPresent(double value) {
    return !std::isnan(value);
}

// Appends value to a channel's array, starting the array (absent for every earlier point) when
// this is its first value.
template <typename T>
void Append(std::vector<T>& channel, T value, bool bPresent, T absent, std::size_t nBefore,
            std::size_t nReserve) {
    if (channel.empty()) {
        if (!bPresent)
            return;
        channel.reserve(std::max(nReserve, nBefore + 1));
        channel.assign(nBefore, absent);
    }
    channel.push_back(value);
}

// NaN equals NaN here: absent values are the same absence.
template <typename T> bool SameValues(const std::vector<T>& a, const std::vector<T>& b) {
    if constexpr (std::is_floating_point_v<T>)
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](T x, T y) {
            return std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y));
        });
    else
        return a == b;
}
} // namespace

std::span<const CTrackRecord::SensorInfo> CTrackRecord::Sensors() {
    return kSensors;
}

void CTrackRecord::BeginTrack(std::string name) {
    m_bTrackPending = true;
    m_bSegmentPending = true;
    m_pendingTrackName = std::move(name);
}

void CTrackRecord::BeginSegment() {
    m_bSegmentPending = true;
}

void CTrackRecord::StartPendingParts() {
    const auto nPoint = static_cast<std::uint32_t>(m_lat.size());
    if (m_bTrackPending) {
        m_trackStarts.push_back(static_cast<std::uint32_t>(m_segmentStarts.size()));
        m_trackNames.push_back(std::move(m_pendingTrackName));
        m_pendingTrackName.clear();
    }
    m_segmentStarts.push_back(nPoint);
    m_bTrackPending = false;
    m_bSegmentPending = false;
}

void CTrackRecord::AddPoint(const RecordPoint& point) {
    if (m_bSegmentPending || m_bTrackPending)
        StartPendingParts();
    const std::size_t n = m_lat.size();
    const std::size_t nReserve = m_lat.capacity();
    Append(m_ele, point.ele, IsPresent(point.ele), RecordPoint::kAbsent, n, nReserve);
    Append(m_time, point.time, point.time != kNoTime, kNoTime, n, nReserve);
    for (std::size_t s = 0; s < kSensorCount; ++s)
        Append(m_sensors[s], point.sensors[s], IsPresent(point.sensors[s]),
               RecordPoint::kAbsentSensor, n, nReserve);
    m_lat.push_back(point.lat);
    m_lon.push_back(point.lon);
}

void CTrackRecord::StartTracksAt(std::span<const std::uint32_t> points) {
    // The tracks by the point each starts at, the new ones after the old at the same point.
    std::vector<std::pair<std::uint32_t, std::string>> tracks;
    for (std::size_t t = 0; t < m_trackStarts.size(); ++t)
        tracks.emplace_back(m_segmentStarts[m_trackStarts[t]], std::move(m_trackNames[t]));
    for (const std::uint32_t point : points)
        tracks.emplace_back(point, std::string());
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    tracks.erase(std::unique(tracks.begin(), tracks.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 tracks.end());

    std::vector<std::uint32_t> segments;
    segments.reserve(m_segmentStarts.size() + points.size());
    std::set_union(m_segmentStarts.begin(), m_segmentStarts.end(), points.begin(), points.end(),
                   std::back_inserter(segments));
    m_segmentStarts = std::move(segments);
    m_trackStarts.clear();
    m_trackNames.clear();
    for (auto& [point, name] : tracks) {
        const auto segment =
            std::lower_bound(m_segmentStarts.begin(), m_segmentStarts.end(), point);
        m_trackStarts.push_back(static_cast<std::uint32_t>(segment - m_segmentStarts.begin()));
        m_trackNames.push_back(std::move(name));
    }
}

void CTrackRecord::Reserve(std::size_t nPoints) {
    const std::size_t n = m_lat.size() + nPoints;
    m_lat.reserve(n);
    m_lon.reserve(n);
    if (!m_ele.empty())
        m_ele.reserve(n);
    if (!m_time.empty())
        m_time.reserve(n);
    for (auto& channel : m_sensors)
        if (!channel.empty())
            channel.reserve(n);
}

void CTrackRecord::Clear() {
    *this = CTrackRecord();
}

namespace {

template <typename T> void MovePoint(std::vector<T>& channel, std::size_t from, std::size_t to) {
    if (!channel.empty())
        channel[to] = channel[from];
}

// Cuts a channel to nKept values, and drops it when none of them is present.
template <typename T> void CutChannel(std::vector<T>& channel, std::size_t nKept, T absent) {
    channel.resize(std::min(channel.size(), nKept));
    const bool bAny = std::any_of(channel.begin(), channel.end(), [absent](T v) {
        if constexpr (std::is_floating_point_v<T>)
            return !std::isnan(v);
        else
            return v != absent;
    });
    if (!bAny)
        channel = std::vector<T>();
}

} // namespace

std::size_t CTrackRecord::RemovePoints(const std::function<bool(std::size_t)>& bDrop) {
    const std::size_t nBefore = Size();
    const std::size_t nKept = CompactPoints(bDrop);
    if (nKept == nBefore)
        return 0;
    m_lat.resize(nKept);
    m_lon.resize(nKept);
    CutChannel(m_ele, nKept, RecordPoint::kAbsent);
    CutChannel(m_time, nKept, kNoTime);
    for (auto& channel : m_sensors)
        CutChannel(channel, nKept, RecordPoint::kAbsentSensor);
    DropEmptyParts(nKept);
    return nBefore - nKept;
}

// Moves the kept points to the front and renumbers what points at them: a segment's start and a
// lap's first point become the number of points kept before them, a lap's last point the number
// kept up to it, less one. Returns the number kept.
std::size_t CTrackRecord::CompactPoints(const std::function<bool(std::size_t)>& bDrop) {
    std::vector<std::pair<std::size_t, std::uint32_t*>> marks; // an old index, what becomes of it
    for (std::uint32_t& start : m_segmentStarts)
        marks.emplace_back(start, &start);
    for (RecordLap& lap : m_laps) {
        marks.emplace_back(lap.nFirst, &lap.nFirst);
        marks.emplace_back(std::size_t{lap.nLast} + 1, &lap.nLast);
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t nKept = 0;
    auto mark = marks.begin();
    for (std::size_t i = 0; i < m_lat.size(); ++i) {
        for (; mark != marks.end() && mark->first <= i; ++mark)
            *mark->second = static_cast<std::uint32_t>(nKept);
        if (bDrop(i))
            continue;
        if (nKept != i) {
            MovePoint(m_lat, i, nKept);
            MovePoint(m_lon, i, nKept);
            MovePoint(m_ele, i, nKept);
            MovePoint(m_time, i, nKept);
            for (auto& channel : m_sensors)
                MovePoint(channel, i, nKept);
        }
        ++nKept;
    }
    for (; mark != marks.end(); ++mark)
        *mark->second = static_cast<std::uint32_t>(nKept);
    return nKept;
}

void CTrackRecord::DropEmptyParts(std::size_t nKept) {
    std::erase_if(m_laps, [](const RecordLap& lap) { return lap.nLast == lap.nFirst; });
    for (RecordLap& lap : m_laps)
        --lap.nLast;
    std::vector<std::uint32_t> segments, tracks;
    std::vector<std::string> names;
    for (std::size_t t = 0; t < m_trackStarts.size(); ++t) {
        const std::size_t nFirstSegment = segments.size();
        const std::size_t nEnd =
            t + 1 < m_trackStarts.size() ? m_trackStarts[t + 1] : m_segmentStarts.size();
        for (std::size_t s = m_trackStarts[t]; s < nEnd; ++s)
            if (m_segmentStarts[s] <
                (s + 1 < m_segmentStarts.size() ? m_segmentStarts[s + 1] : nKept))
                segments.push_back(m_segmentStarts[s]);
        if (segments.size() == nFirstSegment)
            continue;
        tracks.push_back(static_cast<std::uint32_t>(nFirstSegment));
        names.push_back(std::move(m_trackNames[t]));
    }
    m_segmentStarts = std::move(segments);
    m_trackStarts = std::move(tracks);
    m_trackNames = std::move(names);
}

std::size_t CTrackRecord::SegmentEnd(std::size_t nSegment) const {
    return nSegment + 1 < m_segmentStarts.size() ? m_segmentStarts[nSegment + 1] : m_lat.size();
}

RecordPoint CTrackRecord::PointAt(std::size_t i) const {
    RecordPoint p;
    p.lat = m_lat[i];
    p.lon = m_lon[i];
    if (!m_ele.empty())
        p.ele = m_ele[i];
    if (!m_time.empty())
        p.time = m_time[i];
    for (std::size_t s = 0; s < kSensorCount; ++s)
        if (!m_sensors[s].empty())
            p.sensors[s] = m_sensors[s][i];
    return p;
}

std::size_t CTrackRecord::BytesPerPoint() const {
    std::size_t n = 2 * sizeof(double);
    if (HasElevation())
        n += sizeof(double);
    if (HasTime())
        n += sizeof(TimeMs);
    for (const auto& channel : m_sensors)
        if (!channel.empty())
            n += sizeof(float);
    return n;
}

bool CTrackRecord::operator==(const CTrackRecord& o) const {
    for (std::size_t s = 0; s < kSensorCount; ++s)
        if (!SameValues(m_sensors[s], o.m_sensors[s]))
            return false;
    const auto sameLap = [](const RecordLap& a, const RecordLap& b) {
        return a.nFirst == b.nFirst && a.nLast == b.nLast && a.start == b.start &&
               a.totals == b.totals;
    };
    const auto sameWaypoint = [](const RecordWaypoint& a, const RecordWaypoint& b) {
        return a.name == b.name && a.lat == b.lat && a.lon == b.lon &&
               (a.ele == b.ele || (std::isnan(a.ele) && std::isnan(b.ele))) && a.time == b.time;
    };
    return SameValues(m_lat, o.m_lat) && SameValues(m_lon, o.m_lon) && SameValues(m_ele, o.m_ele) &&
           m_time == o.m_time && m_segmentStarts == o.m_segmentStarts &&
           m_trackStarts == o.m_trackStarts && m_trackNames == o.m_trackNames &&
           std::equal(m_laps.begin(), m_laps.end(), o.m_laps.begin(), o.m_laps.end(), sameLap) &&
           std::equal(m_waypoints.begin(), m_waypoints.end(), o.m_waypoints.begin(),
                      o.m_waypoints.end(), sameWaypoint) &&
           m_totals == o.m_totals && m_source.fileName == o.m_source.fileName &&
           m_source.format == o.m_source.format && m_source.creator == o.m_source.creator;
}
