#include "CTcxReader.h"

#include "CGpxNumber.h"
#include "CIsoTime.h"

#include <cmath>
#include <optional>

namespace {

// The shortest Trackpoint with a position that a TCX file can hold is longer than this: room for
// the file's size over it is never outgrown, and only the pages the points fill are touched.
constexpr std::size_t kMinPointBytes = 100;

void Add(std::optional<double>& total, double value) {
    total = total.value_or(0.0) + value;
}

} // namespace

CTcxReader::CTcxReader(std::size_t nExpectedBytes)
    : CXmlTrackReader("TCX", "TrainingCenterDatabase") {
    m_record.Reserve(nExpectedBytes / kMinPointBytes);
}

std::unique_ptr<CTrackReader> CTcxReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CTcxReader>(nFileBytes);
}

// A multisport session holds its activities deeper (FirstSport, NextSport): every element under
// Activities leads on to activities, except an Activity, which is one. A Transition between two
// sports is no activity, and its points are not read.
CTcxReader::Node CTcxReader::ChildOf(Node parent, std::string_view name, const char** attributes) {
    switch (parent) {
    case Node::root:
        return name == "Activities" ? Node::activities
               : name == "Courses"  ? Node::courses
               : name == "Author"   ? Node::author
                                    : Node::other;
    case Node::author:
        return name == "Name" ? Node::authorName : Node::other;
    case Node::activities:
        if (name == "Transition")
            return Node::other;
        if (name != "Activity")
            return Node::activities;
        if (const char* sport = Attribute(attributes, "Sport"))
            StartTrack(sport);
        else
            StartTrack({});
        return Node::activity;
    case Node::activity:
        return name == "Lap" ? Node::lap : name == "Creator" ? Node::creator : Node::other;
    case Node::creator:
        return name == "Name" ? Node::creatorName : Node::other;
    case Node::lap:
        return name == "Track"              ? Node::track
               : name == "TotalTimeSeconds" ? Node::lapTime
               : name == "DistanceMeters"   ? Node::lapDistance
               : name == "Calories"         ? Node::lapCalories
                                            : Node::other;
    case Node::courses:
        if (name != "Course")
            return Node::other;
        StartTrack({});
        return Node::course;
    case Node::course:
        return name == "Name" ? Node::courseName : name == "Track" ? Node::track : Node::other;
    case Node::track:
        return name == "Trackpoint" ? Node::point : Node::other;
    case Node::point:
        return name == "Time"             ? Node::time
               : name == "Position"       ? Node::position
               : name == "AltitudeMeters" ? Node::altitude
               : name == "HeartRateBpm"   ? Node::heartRate
               : name == "Cadence"        ? Node::cadence
               : name == "Extensions"     ? Node::extensions
                                          : Node::other;
    case Node::position:
        return name == "LatitudeDegrees"    ? Node::lat
               : name == "LongitudeDegrees" ? Node::lon
                                            : Node::other;
    case Node::heartRate:
        return name == "Value" ? Node::heartRateValue : Node::other;
    case Node::extensions:
        return name == "TPX" ? Node::tpx : Node::other;
    case Node::tpx:
        return name == "Speed"        ? Node::speed
               : name == "Watts"      ? Node::watts
               : name == "RunCadence" ? Node::runCadence
                                      : Node::other;
    default:
        return Node::other;
    }
}

bool CTcxReader::StartElement(std::string_view localName, const char** attributes) {
    Node node = Node::other;
    if (m_path.empty())
        node = CheckRoot(localName) ? Node::root : Node::other;
    else
        node = ChildOf(m_path.back(), localName, attributes);
    m_path.push_back(node);
    switch (node) {
    case Node::lap:
        StartLap(attributes);
        return false;
    case Node::track:
        m_record.BeginSegment();
        return false;
    case Node::point:
        StartPoint();
        return false;
    case Node::other:
    case Node::root:
    case Node::author:
    case Node::activities:
    case Node::activity:
    case Node::creator:
    case Node::courses:
    case Node::course:
    case Node::position:
    case Node::heartRate:
    case Node::extensions:
    case Node::tpx:
        return false;
    default:
        return true; // an element whose text is a value
    }
}

void CTcxReader::EndElement(std::string_view text) {
    const Node node = m_path.back();
    m_path.pop_back();
    if (node == Node::point)
        EndPoint();
    else if (node == Node::lap)
        EndLap();
    else
        TakeText(node, text);
}

void CTcxReader::StartTrack(std::string name) {
    m_record.BeginTrack(std::move(name));
    m_nTrackFirst = m_record.Size();
}

void CTcxReader::StartLap(const char** attributes) {
    m_lap = RecordLap();
    m_lap.nFirst = static_cast<std::uint32_t>(m_record.Size());
    const char* start = Attribute(attributes, "StartTime");
    if (start && !CIsoTime::Parse(start, m_lap.start))
        m_lap.start = kNoTime;
}

// A lap without points is no lap of the record; its figures still count in the totals.
void CTcxReader::EndLap() {
    if (m_record.Size() == m_lap.nFirst)
        return;
    m_lap.nLast = static_cast<std::uint32_t>(m_record.Size() - 1);
    m_record.m_laps.push_back(m_lap);
}

void CTcxReader::StartPoint() {
    m_point = RecordPoint();
    m_bLat = m_bLon = m_bBadPosition = false;
}

void CTcxReader::EndPoint() {
    if (m_bBadPosition)
        ++m_skipped.nUnparsable;
    else if (!m_bLat || !m_bLon)
        ++m_skipped.nMissing;
    else if (m_skipped.InRange(m_point))
        m_record.AddPoint(m_point);
}

void CTcxReader::TakeText(Node node, std::string_view text) {
    switch (node) {
    case Node::time:
        if (!CIsoTime::Parse(text, m_point.time))
            m_point.time = kNoTime;
        break;
    case Node::lat:
        m_bLat = CGpxNumber::Parse(text, m_point.lat);
        m_bBadPosition |= !m_bLat;
        break;
    case Node::lon:
        m_bLon = CGpxNumber::Parse(text, m_point.lon);
        m_bBadPosition |= !m_bLon;
        break;
    case Node::altitude:
        if (!CGpxNumber::Parse(text, m_point.ele))
            m_point.ele = RecordPoint::kAbsent;
        break;
    case Node::creatorName:
        if (m_creator.empty())
            m_creator = text;
        break;
    case Node::authorName:
        m_author = text;
        break;
    case Node::courseName:
        // The course's points follow its name; a name after them is too late to give.
        if (m_record.Size() == m_nTrackFirst)
            m_record.BeginTrack(std::string(text));
        break;
    case Node::lapTime:
    case Node::lapDistance:
    case Node::lapCalories:
        TakeLapTotal(node, text);
        break;
    default:
        TakeSensor(node, text);
        break;
    }
}

void CTcxReader::TakeLapTotal(Node node, std::string_view text) {
    double value = 0;
    if (!CGpxNumber::Parse(text, value))
        return;
    // TCX's lap time is the timer's: the time the device recorded, pauses left out.
    if (node == Node::lapTime)
        Add(m_record.m_totals.movingS, value);
    else if (node == Node::lapDistance)
        Add(m_record.m_totals.distanceM, value);
    else
        Add(m_record.m_totals.calories, value);
}

void CTcxReader::TakeSensor(Node node, std::string_view text) {
    Sensor sensor;
    switch (node) {
    case Node::heartRateValue:
        sensor = Sensor::heartRate;
        break;
    case Node::cadence:
    case Node::runCadence:
        sensor = Sensor::cadence;
        // Cycling cadence is the point's own; a running watch's goes in the extension.
        if (node == Node::runCadence && !std::isnan(m_point.At(sensor)))
            return;
        break;
    case Node::speed:
        sensor = Sensor::speed;
        break;
    case Node::watts:
        sensor = Sensor::power;
        break;
    default:
        return;
    }
    double value = 0;
    if (CGpxNumber::Parse(text, value))
        m_point.At(sensor) = static_cast<float>(value);
}

ReadResult CTcxReader::TakeResult() {
    ReadResult result;
    m_record.m_source.format = "TCX";
    m_record.m_source.creator = m_creator.empty() ? m_author : m_creator;
    result.record = std::move(m_record);
    result.skipped = m_skipped;
    return result;
}
