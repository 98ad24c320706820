// Everything a track file says, kept at full resolution: the tracks, their segments and points
// in file order (position in double degrees, and where the file has them elevation, time and the
// sensors), laps, the device's own totals, waypoints and where the record came from. Every
// reader fills one (src/formats), the document stores it, and the designed 10000-point CTrack,
// the statistics and the charts are derived from it.
//
// The points are a structure of arrays over all tracks and segments: two doubles a point for
// the position, and a channel's array only once some point has a value for it (absent values
// are NaN, or kNoTime for time; never a zero).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

// UTC milliseconds since 1970-01-01T00:00:00Z.
using TimeMs = std::int64_t;
constexpr TimeMs kNoTime = std::numeric_limits<TimeMs>::min();

// The sensor channels a point may have, as floats; one row of the table in CTrackRecord.cpp
// each.
enum class Sensor : std::uint8_t { heartRate, cadence, power, temperature, speed };
constexpr std::size_t kSensorCount = 5;

// One point as a reader hands it over: absent values stay as they are initialised.
struct RecordPoint {
    static constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
    static constexpr float kAbsentSensor = std::numeric_limits<float>::quiet_NaN();
    double lat = 0;       // degrees, -90..90
    double lon = 0;       // degrees, -180..180
    double ele = kAbsent; // metres
    TimeMs time = kNoTime;
    float sensors[kSensorCount] = {kAbsentSensor, kAbsentSensor, kAbsentSensor, kAbsentSensor,
                                   kAbsentSensor};
    float& At(Sensor s) { return sensors[static_cast<std::size_t>(s)]; }
    float At(Sensor s) const { return sensors[static_cast<std::size_t>(s)]; }
};

// A lap: its first and last point (indices into the record), with the device's own figures for
// it where the file has them.
// The device's own totals for the activity or a lap, each where the file has it.
struct DeviceTotals {
    std::optional<double> distanceM;
    std::optional<double> movingS;
    std::optional<double> elapsedS;
    std::optional<double> ascentM;
    std::optional<double> descentM;
    std::optional<double> calories;
    bool Any() const { return distanceM || movingS || elapsedS || ascentM || descentM || calories; }
    bool operator==(const DeviceTotals&) const = default;
};

struct RecordLap {
    std::uint32_t nFirst = 0;
    std::uint32_t nLast = 0;
    TimeMs start = kNoTime;
    DeviceTotals totals;
};

struct RecordWaypoint {
    std::string name;
    double lat = 0;
    double lon = 0;
    double ele = RecordPoint::kAbsent;
    TimeMs time = kNoTime;
};

// Where a record came from.
struct RecordSource {
    std::string fileName; // the file's name as it was read, without its folder
    std::string format;   // "GPX", "FIT", "TCX", "KML", "IGC", "NMEA", "MapSource text export"
    std::string creator;  // the writer or device where the file names it
};

class CTrackRecord {
public:
    // Sensor table: the name a user reads and the unit of the stored value.
    struct SensorInfo {
        Sensor sensor;
        const char* pszName; // "heart rate"
        const char* pszKey;  // "heart_rate", for scripts and the document
        const char* pszUnit; // "bpm"
    };
    static std::span<const SensorInfo> Sensors();

    // Building, in file order: a track, its segments, their points. A point before any track or
    // segment opens one.
    void BeginTrack(std::string name = {});
    void BeginSegment();
    void AddPoint(const RecordPoint& point);
    // Starts a track (without a name) at each of the points (strictly ascending, below Size())
    // where none starts yet, for a format that says where its tracks begin only after their points
    // (FIT's sessions); each of them starts a segment too.
    void StartTracksAt(std::span<const std::uint32_t> points);
    // Room for nPoints more points in the arrays there are (the position's, at least).
    void Reserve(std::size_t nPoints);
    void Clear();
    // Removes the points that bDrop names by their index, asked once a point in ascending order,
    // in place: segments and tracks left without points go, laps keep their points that are left
    // (a lap left without any goes), and a channel left without values goes. Returns the number
    // of points removed.
    std::size_t RemovePoints(const std::function<bool(std::size_t)>& bDrop);

    std::size_t Size() const { return m_lat.size(); }
    bool Empty() const { return m_lat.empty(); }

    // The point arrays. Elevation, time and a sensor are empty when no point has a value.
    const std::vector<double>& Lat() const { return m_lat; }
    const std::vector<double>& Lon() const { return m_lon; }
    const std::vector<double>& Ele() const { return m_ele; }
    const std::vector<TimeMs>& Time() const { return m_time; }
    const std::vector<float>& SensorValues(Sensor s) const {
        return m_sensors[static_cast<std::size_t>(s)];
    }
    bool HasElevation() const { return !m_ele.empty(); }
    bool HasTime() const { return !m_time.empty(); }
    bool HasSensor(Sensor s) const { return !SensorValues(s).empty(); }

    // The first point of every segment, ascending, 0 first when there are points; a segment
    // without points is not kept.
    const std::vector<std::uint32_t>& SegmentStarts() const { return m_segmentStarts; }
    // The first segment of every track (indices into SegmentStarts) and the tracks' names.
    const std::vector<std::uint32_t>& TrackStarts() const { return m_trackStarts; }
    const std::vector<std::string>& TrackNames() const { return m_trackNames; }
    // One past the last point of segment nSegment.
    std::size_t SegmentEnd(std::size_t nSegment) const;
    // The point at index i, with every channel (absent values where a channel has none).
    RecordPoint PointAt(std::size_t i) const;

    std::vector<RecordLap> m_laps;
    DeviceTotals m_totals;
    std::vector<RecordWaypoint> m_waypoints;
    RecordSource m_source;

    // The bytes a point takes in this record, with the channels it has (for the README).
    std::size_t BytesPerPoint() const;

    bool operator==(const CTrackRecord&) const;

private:
    void StartPendingParts();
    std::size_t CompactPoints(const std::function<bool(std::size_t)>& bDrop);
    void DropEmptyParts(std::size_t nKept);

    std::vector<double> m_lat;
    std::vector<double> m_lon;
    std::vector<double> m_ele;
    std::vector<TimeMs> m_time;
    std::vector<float> m_sensors[kSensorCount];
    std::vector<std::uint32_t> m_segmentStarts;
    std::vector<std::uint32_t> m_trackStarts;
    std::vector<std::string> m_trackNames;
    bool m_bSegmentPending = true;
    bool m_bTrackPending = true;
    std::string m_pendingTrackName;
};
