#include "CFitActivity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>

namespace {

constexpr double kDegreesPerSemicircle = 180.0 / 2147483648.0;
constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
// FIT counts from 1989-12-31T00:00:00Z.
constexpr std::int64_t kFitEpochUnixSeconds = 631065600;
constexpr double kMaxFitSeconds = 4294967295.0;
constexpr std::int64_t kMsPerSecond = 1000;
// Altitudes are stored as (metres + 500) * 5, speeds as mm/s, distances as cm, times as ms.
constexpr double kAltitudeScale = 5;
constexpr double kAltitudeOffset = 500;
constexpr double kSpeedScale = 1000;
constexpr double kDistanceScale = 100;
constexpr double kTimeScale = 1000;
// A lap or session longer than this is not a time span: its end is not computed from it.
constexpr double kMaxSpanSeconds = 100.0 * 365 * 24 * 3600;
// Laps and sessions kept; a real activity has at most a few thousand laps, and past this a file
// of nothing but lap messages would take memory out of proportion to its size.
constexpr std::size_t kMaxSpans = 65536;

namespace record {
// The values a record message gives a point, by their place in an array.
enum Slot : std::uint8_t {
    kLat,
    kLon,
    kAltitude,
    kEnhancedAltitude,
    kSpeed,
    kEnhancedSpeed,
    kHeartRate,
    kCadence,
    kPower,
    kTemperature,
    kSlots
};
// The slot of each field number; kSlots for the fields a point does not take.
constexpr std::array<Slot, 256> SlotsOfFields() {
    std::array<Slot, 256> slots{};
    slots.fill(kSlots);
    slots[0] = kLat;
    slots[1] = kLon;
    slots[2] = kAltitude;
    slots[3] = kHeartRate;
    slots[4] = kCadence;
    slots[6] = kSpeed;
    slots[7] = kPower;
    slots[13] = kTemperature;
    slots[73] = kEnhancedSpeed;
    slots[78] = kEnhancedAltitude;
    return slots;
}
constexpr std::array<Slot, 256> kSlotOfField = SlotsOfFields();
} // namespace record

// Field numbers of laps and sessions, events and file_id. Laps and sessions number their ascent
// and descent differently.
namespace span {
constexpr std::uint8_t kStartTime = 2, kElapsedTime = 7, kTimerTime = 8, kDistance = 9,
                       kCalories = 11;
constexpr std::uint8_t kLapAscent = 21, kLapDescent = 22, kSessionAscent = 22, kSessionDescent = 23;
} // namespace span
namespace event {
constexpr std::uint8_t kEvent = 0, kEventType = 1;
constexpr double kTimer = 0, kStop = 1, kStopAll = 4;
} // namespace event
namespace fileId {
constexpr std::uint8_t kManufacturer = 1, kProduct = 2;
}

// The makers of devices that write FIT files most, by their number in the protocol's profile.
struct Maker {
    double number;
    const char* pszName;
};
constexpr Maker kMakers[] = {{1, "Garmin"},  {23, "Suunto"},  {32, "Wahoo"},
                             {123, "Polar"}, {267, "Bryton"}, {294, "Coros"}};

std::optional<double> Present(double v, double scale = 1) {
    return std::isnan(v) ? std::nullopt : std::optional<double>(v / scale);
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", v);
    return text;
}

// A sensor's value; one beyond a float's range (a 64-bit field) is no reading.
float SensorValue(double v) {
    return std::fabs(v) <= std::numeric_limits<float>::max() ? static_cast<float>(v)
                                                             : RecordPoint::kAbsentSensor;
}

std::string Creator(double manufacturer, double product) {
    const auto* maker = std::find_if(std::begin(kMakers), std::end(kMakers),
                                     [&](const Maker& m) { return m.number == manufacturer; });
    std::string creator =
        maker != std::end(kMakers) ? maker->pszName : "manufacturer " + Number(manufacturer);
    if (!std::isnan(product))
        creator += " (product " + Number(product) + ")";
    return creator;
}

// The first point at or after when. A bisection that any order of times ends, though the times
// of a well-formed file never go back.
std::size_t FirstAtOrAfter(const std::vector<TimeMs>& times, TimeMs when) {
    std::size_t lo = 0, hi = times.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (times[mid] < when)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void AddTo(std::optional<double>& sum, const std::optional<double>& v) {
    if (v)
        sum = sum.value_or(0) + *v;
}

} // namespace

TimeMs CFitActivity::ToTime(double fitSeconds) {
    if (!(fitSeconds >= 0 && fitSeconds <= kMaxFitSeconds))
        return kNoTime;
    return (static_cast<std::int64_t>(fitSeconds) + kFitEpochUnixSeconds) * kMsPerSecond;
}

void CFitActivity::Take(const CFitDefinition& def, std::span<const std::uint8_t> data,
                        TimeMs time) {
    switch (def.Global()) {
    case kRecord:
        TakeRecord(def, data, time);
        break;
    case kLap:
        TakeSpan(def, data, time, {span::kLapAscent, span::kLapDescent}, m_laps);
        break;
    case kSession:
        TakeSpan(def, data, time, {span::kSessionAscent, span::kSessionDescent}, m_sessions);
        break;
    case kEvent:
        TakeEvent(def, data);
        break;
    case kFileId:
        TakeFileId(def, data);
        break;
    default:
        break;
    }
}

void CFitActivity::TakeRecord(const CFitDefinition& def, std::span<const std::uint8_t> data,
                              TimeMs time) {
    using namespace record;
    double v[kSlots];
    std::fill(std::begin(v), std::end(v), RecordPoint::kAbsent);
    for (const FitField& f : def.Fields())
        if (const Slot slot = kSlotOfField[f.number]; slot != kSlots)
            v[slot] = def.Value(data, f);
    if (std::isnan(v[kLat]) || std::isnan(v[kLon])) {
        ++m_skipped.nMissing;
        return;
    }
    RecordPoint p;
    p.lat = v[kLat] * kDegreesPerSemicircle;
    p.lon = v[kLon] * kDegreesPerSemicircle;
    if (std::fabs(p.lat) > kMaxLatitude || std::fabs(p.lon) > kMaxLongitude) {
        ++m_skipped.nOutOfRange;
        return;
    }
    p.time = time;
    const double ele = std::isnan(v[kEnhancedAltitude]) ? v[kAltitude] : v[kEnhancedAltitude];
    p.ele = ele / kAltitudeScale - kAltitudeOffset;
    const double speed = std::isnan(v[kEnhancedSpeed]) ? v[kSpeed] : v[kEnhancedSpeed];
    p.At(Sensor::speed) = SensorValue(speed / kSpeedScale);
    p.At(Sensor::heartRate) = SensorValue(v[kHeartRate]);
    p.At(Sensor::cadence) = SensorValue(v[kCadence]);
    p.At(Sensor::power) = SensorValue(v[kPower]);
    p.At(Sensor::temperature) = SensorValue(v[kTemperature]);
    m_record.AddPoint(p);
}

void CFitActivity::TakeSpan(const CFitDefinition& def, std::span<const std::uint8_t> data,
                            TimeMs time, TotalFields fields, std::vector<Span>& to) {
    if (to.size() == kMaxSpans)
        return;
    Span s;
    s.end = time;
    for (const FitField& f : def.Fields()) {
        const std::uint8_t n = f.number;
        if (n == span::kStartTime)
            s.start = ToTime(def.Value(data, f));
        else if (n == span::kElapsedTime)
            s.totals.elapsedS = Present(def.Value(data, f), kTimeScale);
        else if (n == span::kTimerTime)
            s.totals.movingS = Present(def.Value(data, f), kTimeScale);
        else if (n == span::kDistance)
            s.totals.distanceM = Present(def.Value(data, f), kDistanceScale);
        else if (n == span::kCalories)
            s.totals.calories = Present(def.Value(data, f));
        else if (n == fields.ascent)
            s.totals.ascentM = Present(def.Value(data, f));
        else if (n == fields.descent)
            s.totals.descentM = Present(def.Value(data, f));
    }
    // A span without an end time ends its elapsed time after its start, and the other way round.
    const double elapsed = s.totals.elapsedS.value_or(-1);
    if (elapsed >= 0 && elapsed <= kMaxSpanSeconds) {
        const auto ms = static_cast<TimeMs>(elapsed * kMsPerSecond);
        if (s.end == kNoTime && s.start != kNoTime)
            s.end = s.start + ms;
        else if (s.start == kNoTime && s.end != kNoTime)
            s.start = s.end - ms;
    }
    to.push_back(s);
}

void CFitActivity::TakeEvent(const CFitDefinition& def, std::span<const std::uint8_t> data) {
    double what = RecordPoint::kAbsent, type = RecordPoint::kAbsent;
    for (const FitField& f : def.Fields()) {
        if (f.number == event::kEvent)
            what = def.Value(data, f);
        else if (f.number == event::kEventType)
            type = def.Value(data, f);
    }
    // The timer stops at a pause, by hand or automatically: what follows is a new segment.
    if (what == event::kTimer && (type == event::kStop || type == event::kStopAll))
        m_record.BeginSegment();
}

void CFitActivity::TakeFileId(const CFitDefinition& def, std::span<const std::uint8_t> data) {
    if (!m_creator.empty())
        return;
    double manufacturer = RecordPoint::kAbsent, product = RecordPoint::kAbsent;
    for (const FitField& f : def.Fields()) {
        if (f.number == fileId::kManufacturer)
            manufacturer = def.Value(data, f);
        else if (f.number == fileId::kProduct)
            product = def.Value(data, f);
    }
    if (!std::isnan(manufacturer))
        m_creator = Creator(manufacturer, product);
}

// Laps are mapped to the points by time: a lap holds the points from its start to its end; a
// point at the very second one lap ends and the next starts belongs to the next.
void CFitActivity::AddLaps() {
    const std::vector<TimeMs>& times = m_record.Time();
    std::erase_if(m_laps, [](const Span& s) { return s.start == kNoTime || s.end == kNoTime; });
    std::stable_sort(m_laps.begin(), m_laps.end(),
                     [](const Span& a, const Span& b) { return a.start < b.start; });
    for (std::size_t i = 0; i < m_laps.size(); ++i) {
        const Span& lap = m_laps[i];
        const std::size_t nFirst = FirstAtOrAfter(times, lap.start);
        std::size_t nEnd = FirstAtOrAfter(times, lap.end + 1);
        if (i + 1 < m_laps.size())
            nEnd = std::min(nEnd, FirstAtOrAfter(times, m_laps[i + 1].start));
        if (nFirst < nEnd)
            m_record.m_laps.push_back({static_cast<std::uint32_t>(nFirst),
                                       static_cast<std::uint32_t>(nEnd - 1), lap.start,
                                       lap.totals});
    }
}

// A multisport file has a session per sport, each a track of its own from its start time on;
// the first track starts at the first point, whenever the first session says it starts.
void CFitActivity::SplitSessions() {
    std::vector<TimeMs> times;
    for (const Span& s : m_sessions)
        if (s.start != kNoTime)
            times.push_back(s.start);
    std::sort(times.begin(), times.end());
    std::vector<std::uint32_t> starts;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const std::size_t nPoint = FirstAtOrAfter(m_record.Time(), times[i]);
        if (nPoint > 0 && nPoint < m_record.Size() && (starts.empty() || nPoint > starts.back()))
            starts.push_back(static_cast<std::uint32_t>(nPoint));
    }
    m_record.StartTracksAt(starts);
}

// The activity's totals are its sessions' together.
void CFitActivity::AddTotals() {
    DeviceTotals& t = m_record.m_totals;
    for (const Span& s : m_sessions) {
        AddTo(t.distanceM, s.totals.distanceM);
        AddTo(t.movingS, s.totals.movingS);
        AddTo(t.elapsedS, s.totals.elapsedS);
        AddTo(t.ascentM, s.totals.ascentM);
        AddTo(t.descentM, s.totals.descentM);
        AddTo(t.calories, s.totals.calories);
    }
}

void CFitActivity::Finish(CTrackRecord& record, SkippedPoints& skipped) {
    if (m_record.HasTime()) {
        AddLaps();
        SplitSessions();
    }
    AddTotals();
    m_record.m_source.format = "FIT";
    m_record.m_source.creator = m_creator;
    record = std::move(m_record);
    skipped = m_skipped;
}
