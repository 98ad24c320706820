#include "CRecordChunks.h"

#include "CArrayCodec.h"
#include "CByteReader.h"
#include "CByteWriter.h"
#include "CTrackRecord.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr std::string_view kOutlineTag = "RECD";
constexpr std::string_view kLapsTag = "LAPS";
constexpr std::string_view kTotalsTag = "TOTL";
// The device's figures for each lap, where a lap has any; written after the laps chunk came to be,
// so a document without it opens with laps of no figures.
constexpr std::string_view kLapTotalsTag = "LAPT";
constexpr std::string_view kWaypointsTag = "WAYP";
constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;

enum class Channel : std::uint8_t { lat, lon, ele, time, sensor };

// One row per point channel: its chunk's tag and the name its messages use (a sensor's name is
// the record's own).
struct ChannelRow {
    std::string_view tag;
    Channel channel;
    Sensor sensor = Sensor::heartRate;
    const char* pszName = nullptr;
};

constexpr ChannelRow kChannels[] = {
    {"LAT ", Channel::lat, Sensor::heartRate, "latitude"},
    {"LON ", Channel::lon, Sensor::heartRate, "longitude"},
    {"ELE ", Channel::ele, Sensor::heartRate, "elevation"},
    {"TIME", Channel::time, Sensor::heartRate, "time"},
    {"HRT ", Channel::sensor, Sensor::heartRate},
    {"CAD ", Channel::sensor, Sensor::cadence},
    {"POW ", Channel::sensor, Sensor::power},
    {"TEMP", Channel::sensor, Sensor::temperature},
    {"SPD ", Channel::sensor, Sensor::speed},
};

std::string NameOf(const ChannelRow& row) {
    if (row.pszName)
        return row.pszName;
    return CTrackRecord::Sensors()[static_cast<std::size_t>(row.sensor)].pszName;
}

// The device's totals in their stored order; a bit of the mask byte says which are there.
constexpr std::optional<double> DeviceTotals::*kTotals[] = {
    &DeviceTotals::distanceM, &DeviceTotals::movingS,  &DeviceTotals::elapsedS,
    &DeviceTotals::ascentM,   &DeviceTotals::descentM, &DeviceTotals::calories,
};
constexpr const char* kTotalNames[] = {"distance", "moving time", "elapsed time",
                                       "ascent",   "descent",     "calories"};

// The point arrays as a document holds them, before they become a record.
struct StoredPoints {
    std::vector<double> lat, lon, ele;
    std::vector<TimeMs> time;
    std::array<std::vector<float>, kSensorCount> sensors;
};

struct Outline {
    std::uint32_t nPoints = 0;
    std::vector<std::uint32_t> segmentStarts, trackStarts;
    std::vector<std::string> trackNames;
    RecordSource source;
};

template <typename T>
void AddArray(CChunkedFile& file, std::string_view tag, const std::vector<T>& v) {
    std::string contents;
    CArrayCodec::Encode(contents, v.data(), v.size(), sizeof(T));
    file.Add(tag, contents);
}

void AddOutline(const CTrackRecord& record, CChunkedFile& file) {
    std::string contents;
    CByteWriter out(contents);
    out.Put(static_cast<std::uint32_t>(record.Size()));
    out.Put(static_cast<std::uint32_t>(record.SegmentStarts().size()));
    for (std::uint32_t start : record.SegmentStarts())
        out.Put(start);
    out.Put(static_cast<std::uint32_t>(record.TrackStarts().size()));
    for (std::uint32_t start : record.TrackStarts())
        out.Put(start);
    for (const std::string& name : record.TrackNames())
        out.PutText(name);
    out.PutText(record.m_source.fileName);
    out.PutText(record.m_source.format);
    out.PutText(record.m_source.creator);
    file.Add(kOutlineTag, contents);
}

void AddChannels(const CTrackRecord& record, CChunkedFile& file) {
    for (const ChannelRow& row : kChannels) {
        switch (row.channel) {
        case Channel::lat:
            AddArray(file, row.tag, record.Lat());
            break;
        case Channel::lon:
            AddArray(file, row.tag, record.Lon());
            break;
        case Channel::ele:
            if (record.HasElevation())
                AddArray(file, row.tag, record.Ele());
            break;
        case Channel::time:
            if (record.HasTime())
                AddArray(file, row.tag, record.Time());
            break;
        case Channel::sensor:
            if (record.HasSensor(row.sensor))
                AddArray(file, row.tag, record.SensorValues(row.sensor));
            break;
        }
    }
}

// A mask byte whose bits say which totals follow, then those totals.
void PutTotals(CByteWriter& out, const DeviceTotals& totals) {
    std::uint8_t mask = 0;
    for (std::size_t k = 0; k < std::size(kTotals); ++k)
        if (totals.*kTotals[k])
            mask = static_cast<std::uint8_t>(mask | 1u << k);
    out.Put(mask);
    for (const auto total : kTotals)
        if (totals.*total)
            out.Put(*(totals.*total));
}

void AddExtras(const CTrackRecord& record, CChunkedFile& file) {
    if (!record.m_laps.empty()) {
        std::string contents;
        CByteWriter out(contents);
        out.Put(static_cast<std::uint32_t>(record.m_laps.size()));
        for (const RecordLap& lap : record.m_laps) {
            out.Put(lap.nFirst);
            out.Put(lap.nLast);
            out.Put(lap.start);
        }
        file.Add(kLapsTag, contents);
    }
    if (record.m_totals.Any()) {
        std::string contents;
        CByteWriter out(contents);
        PutTotals(out, record.m_totals);
        file.Add(kTotalsTag, contents);
    }
    const auto bLapTotals = [](const RecordLap& lap) { return lap.totals.Any(); };
    if (std::any_of(record.m_laps.begin(), record.m_laps.end(), bLapTotals)) {
        std::string contents;
        CByteWriter out(contents);
        out.Put(static_cast<std::uint32_t>(record.m_laps.size()));
        for (const RecordLap& lap : record.m_laps)
            PutTotals(out, lap.totals);
        file.Add(kLapTotalsTag, contents);
    }
    if (!record.m_waypoints.empty()) {
        std::string contents;
        CByteWriter out(contents);
        out.Put(static_cast<std::uint32_t>(record.m_waypoints.size()));
        for (const RecordWaypoint& w : record.m_waypoints) {
            out.PutText(w.name);
            out.Put(w.lat);
            out.Put(w.lon);
            out.Put(w.ele);
            out.Put(w.time);
        }
        file.Add(kWaypointsTag, contents);
    }
}

// Starts strictly ascending from 0, every one below nEnd; none at all when nEnd is 0.
bool ValidStarts(const std::vector<std::uint32_t>& starts, std::size_t nEnd) {
    if (nEnd == 0)
        return starts.empty();
    if (starts.empty() || starts.front() != 0 || starts.back() >= nEnd)
        return false;
    for (std::size_t k = 1; k < starts.size(); ++k)
        if (starts[k] <= starts[k - 1])
            return false;
    return true;
}

// n uint32 values, when the reader has room for them: a damaged count never allocates more
// than the chunk holds.
bool GetStarts(CByteReader& in, std::vector<std::uint32_t>& starts) {
    const auto n = in.Get<std::uint32_t>();
    if (n > in.Left() / sizeof(std::uint32_t))
        return false;
    starts.resize(n);
    for (std::uint32_t& start : starts)
        start = in.Get<std::uint32_t>();
    return !in.Failed();
}

std::string ReadOutline(std::string_view contents, Outline& o) {
    CByteReader in(contents);
    o.nPoints = in.Get<std::uint32_t>();
    if (!GetStarts(in, o.segmentStarts) || !GetStarts(in, o.trackStarts))
        return "its record chunk is cut short";
    for (std::size_t k = 0; k < o.trackStarts.size(); ++k)
        o.trackNames.push_back(in.GetText());
    o.source.fileName = in.GetText();
    o.source.format = in.GetText();
    o.source.creator = in.GetText();
    if (!in.AtEnd())
        return "its record chunk does not have the length its contents say";
    if (o.nPoints > CRecordChunks::kMaxPoints)
        return "its record has " + std::to_string(o.nPoints) +
               " points, more than a document keeps (" + std::to_string(CRecordChunks::kMaxPoints) +
               ")";
    if (!ValidStarts(o.segmentStarts, o.nPoints))
        return "its record's segments do not start at ascending points within its " +
               std::to_string(o.nPoints) + " points";
    if (!ValidStarts(o.trackStarts, o.segmentStarts.size()))
        return "its record's tracks do not start at ascending segments within its " +
               std::to_string(o.segmentStarts.size()) + " segments";
    return std::string();
}

template <typename T>
std::string ReadArray(const std::vector<FileChunk>& chunks, const ChannelRow& row, bool bRequired,
                      std::size_t n, std::vector<T>& values) {
    std::string_view contents;
    bool bFound = false;
    const std::string name = NameOf(row);
    if (std::string reason =
            CChunkedFile::FindOne(chunks, row.tag, name, bRequired, contents, &bFound);
        !reason.empty() || !bFound)
        return reason;
    if (std::string reason = CArrayCodec::Check(contents, n, sizeof(T)); !reason.empty())
        return "its " + name + " chunk " + reason;
    values.resize(n);
    if (std::string reason = CArrayCodec::Decode(contents, values.data(), n, sizeof(T));
        !reason.empty())
        return "its " + name + " chunk " + reason;
    return std::string();
}

std::string ReadChannels(const std::vector<FileChunk>& chunks, std::size_t n, StoredPoints& p) {
    for (const ChannelRow& row : kChannels) {
        std::string reason;
        switch (row.channel) {
        case Channel::lat:
            reason = ReadArray(chunks, row, true, n, p.lat);
            break;
        case Channel::lon:
            reason = ReadArray(chunks, row, true, n, p.lon);
            break;
        case Channel::ele:
            reason = ReadArray(chunks, row, false, n, p.ele);
            break;
        case Channel::time:
            reason = ReadArray(chunks, row, false, n, p.time);
            break;
        case Channel::sensor:
            reason =
                ReadArray(chunks, row, false, n, p.sensors[static_cast<std::size_t>(row.sensor)]);
            break;
        }
        if (!reason.empty())
            return reason;
    }
    return std::string();
}

std::string PointName(std::size_t i) {
    return "record point " + std::to_string(i + 1);
}

bool OnEarth(double lat, double lon) {
    return std::fabs(lat) <= kMaxLatitude && std::fabs(lon) <= kMaxLongitude;
}

// Absent values are NaN and are fine; an infinite one is damage.
template <typename T>
std::string CheckFinite(const std::vector<T>& values, const std::string& name) {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (std::isinf(values[i]))
            return "the " + name + " of " + PointName(i) + " is infinite";
    return std::string();
}

std::string CheckPoints(const StoredPoints& p) {
    for (std::size_t i = 0; i < p.lat.size(); ++i)
        if (!OnEarth(p.lat[i], p.lon[i]))
            return "the position of " + PointName(i) +
                   " is not a latitude within 90 and a "
                   "longitude within 180 degrees";
    if (std::string reason = CheckFinite(p.ele, "elevation"); !reason.empty())
        return reason;
    for (const auto& info : CTrackRecord::Sensors())
        if (std::string reason =
                CheckFinite(p.sensors[static_cast<std::size_t>(info.sensor)], info.pszName);
            !reason.empty())
            return reason;
    return std::string();
}

std::string ReadLaps(std::string_view contents, std::size_t nPoints, std::vector<RecordLap>& laps) {
    constexpr std::size_t kLapBytes = 16;
    CByteReader in(contents);
    const auto n = in.Get<std::uint32_t>();
    if (in.Failed() || n != in.Left() / kLapBytes || in.Left() % kLapBytes != 0)
        return "its laps chunk does not have the length its lap count says";
    for (std::uint32_t k = 0; k < n; ++k) {
        RecordLap lap;
        lap.nFirst = in.Get<std::uint32_t>();
        lap.nLast = in.Get<std::uint32_t>();
        lap.start = in.Get<TimeMs>();
        if (lap.nFirst > lap.nLast || lap.nLast >= nPoints)
            return "its lap " + std::to_string(k + 1) + " does not lie within the record's " +
                   std::to_string(nPoints) + " points";
        laps.push_back(lap);
    }
    return std::string();
}

// What PutTotals wrote; the reason it cannot be, or an empty string.
std::string GetTotals(CByteReader& in, DeviceTotals& totals) {
    const auto mask = in.Get<std::uint8_t>();
    if (mask >> std::size(kTotals) != 0)
        return "its device totals name totals this program does not know";
    for (std::size_t k = 0; k < std::size(kTotals); ++k) {
        if (!(mask & 1u << k))
            continue;
        const auto value = in.Get<double>();
        if (!std::isfinite(value))
            return std::string("the device's ") + kTotalNames[k] + " is not a finite number";
        totals.*kTotals[k] = value;
    }
    return std::string();
}

std::string ReadTotals(std::string_view contents, DeviceTotals& totals) {
    CByteReader in(contents);
    if (std::string reason = GetTotals(in, totals); !reason.empty())
        return reason;
    if (!in.AtEnd())
        return "its device totals chunk does not have the length its totals say";
    return std::string();
}

std::string ReadLapTotals(std::string_view contents, std::vector<RecordLap>& laps) {
    CByteReader in(contents);
    if (in.Get<std::uint32_t>() != laps.size())
        return "its lap figures are not for as many laps as it holds";
    for (RecordLap& lap : laps)
        if (std::string reason = GetTotals(in, lap.totals); !reason.empty())
            return reason;
    if (!in.AtEnd())
        return "its lap figures chunk does not have the length its laps say";
    return std::string();
}

std::string ReadWaypoints(std::string_view contents, std::vector<RecordWaypoint>& waypoints) {
    CByteReader in(contents);
    const auto n = in.Get<std::uint32_t>();
    for (std::uint32_t k = 0; k < n && !in.Failed(); ++k) {
        RecordWaypoint w;
        w.name = in.GetText();
        w.lat = in.Get<double>();
        w.lon = in.Get<double>();
        w.ele = in.Get<double>();
        w.time = in.Get<TimeMs>();
        if (in.Failed())
            break;
        if (!OnEarth(w.lat, w.lon) || std::isinf(w.ele))
            return "the position of waypoint " + std::to_string(k + 1) + " is not one on earth";
        waypoints.push_back(std::move(w));
    }
    if (!in.AtEnd())
        return "its waypoints chunk does not have the length its waypoints say";
    return std::string();
}

// The chunk of tag read by read when the document has it.
template <typename Read>
std::string ReadOptional(const std::vector<FileChunk>& chunks, std::string_view tag,
                         std::string_view name, Read read) {
    std::string_view contents;
    bool bFound = false;
    std::string reason = CChunkedFile::FindOne(chunks, tag, name, false, contents, &bFound);
    return reason.empty() && bFound ? read(contents) : reason;
}

std::string ReadExtras(const std::vector<FileChunk>& chunks, std::size_t nPoints,
                       CTrackRecord& record) {
    std::string reason = ReadOptional(chunks, kLapsTag, "laps", [&](std::string_view contents) {
        return ReadLaps(contents, nPoints, record.m_laps);
    });
    if (reason.empty())
        reason = ReadOptional(chunks, kTotalsTag, "device totals", [&](std::string_view contents) {
            return ReadTotals(contents, record.m_totals);
        });
    if (reason.empty())
        reason = ReadOptional(chunks, kLapTotalsTag, "lap figures", [&](std::string_view contents) {
            return ReadLapTotals(contents, record.m_laps);
        });
    if (reason.empty())
        reason = ReadOptional(chunks, kWaypointsTag, "waypoints", [&](std::string_view contents) {
            return ReadWaypoints(contents, record.m_waypoints);
        });
    return reason;
}

RecordPoint PointOf(const StoredPoints& p, std::size_t i) {
    RecordPoint point;
    point.lat = p.lat[i];
    point.lon = p.lon[i];
    if (!p.ele.empty())
        point.ele = p.ele[i];
    if (!p.time.empty())
        point.time = p.time[i];
    for (std::size_t s = 0; s < kSensorCount; ++s)
        if (!p.sensors[s].empty())
            point.sensors[s] = p.sensors[s][i];
    return point;
}

// The record built the way a reader builds it, track by track and segment by segment, so that
// it holds what the one that was saved held.
void Build(const Outline& o, const StoredPoints& p, CTrackRecord& record) {
    record.Reserve(o.nPoints);
    const std::size_t nSegments = o.segmentStarts.size();
    for (std::size_t t = 0; t < o.trackStarts.size(); ++t) {
        record.BeginTrack(o.trackNames[t]);
        const std::size_t nSegEnd = t + 1 < o.trackStarts.size() ? o.trackStarts[t + 1] : nSegments;
        for (std::size_t s = o.trackStarts[t]; s < nSegEnd; ++s) {
            record.BeginSegment();
            const std::size_t nEnd = s + 1 < nSegments ? o.segmentStarts[s + 1] : o.nPoints;
            for (std::size_t i = o.segmentStarts[s]; i < nEnd; ++i)
                record.AddPoint(PointOf(p, i));
        }
    }
    record.m_source = o.source;
}

} // namespace

void CRecordChunks::Add(const CTrackRecord& record, CChunkedFile& file) {
    AddOutline(record, file);
    AddChannels(record, file);
    AddExtras(record, file);
}

std::string CRecordChunks::Read(const std::vector<FileChunk>& chunks, CTrackRecord& record) {
    std::string_view contents;
    Outline outline;
    StoredPoints points;
    CTrackRecord read;
    std::string reason = CChunkedFile::FindOne(chunks, kOutlineTag, "record", true, contents);
    if (reason.empty())
        reason = ReadOutline(contents, outline);
    if (reason.empty())
        reason = ReadChannels(chunks, outline.nPoints, points);
    if (reason.empty())
        reason = CheckPoints(points);
    if (reason.empty())
        reason = ReadExtras(chunks, outline.nPoints, read);
    if (!reason.empty())
        return reason;
    Build(outline, points, read);
    record = std::move(read);
    return std::string();
}
