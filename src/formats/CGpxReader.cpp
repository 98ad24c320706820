#include "CGpxReader.h"

#include "CGpxNumber.h"
#include "CIsoTime.h"
#include "MessageText.h"

#include <cmath>
#include <string_view>
#include <utility>

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
// The shortest point a file can hold, <trkpt lat="0" lon="0"/>: no file has more points than
// its size over this, so room for that many is never outgrown. Only the pages the points fill
// are ever touched.
constexpr std::size_t kMinPointBytes = 24;

// The last lat and the last lon attribute, with or without a prefix; nullptr for a missing one.
std::pair<const char*, const char*> PositionAttributes(const char** attributes) {
    const char* pszLat = nullptr;
    const char* pszLon = nullptr;
    for (const char** a = attributes; *a; a += 2) {
        const std::string_view name = CXmlHandler::LocalName(a[0]);
        if (name == "lat")
            pszLat = a[1];
        else if (name == "lon")
            pszLon = a[1];
    }
    return {pszLat, pszLon};
}

} // namespace

CGpxReader::CGpxReader(std::size_t nExpectedBytes) {
    m_tracks.record.Reserve(nExpectedBytes / kMinPointBytes);
}

std::unique_ptr<CTrackReader> CGpxReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CGpxReader>(nFileBytes);
}

bool CGpxReader::Feed(std::span<const char> bytes) {
    return m_parser.Feed(bytes);
}

CGpxReader::Node CGpxReader::ChildOf(Node parent, std::string_view name, const char** attributes) {
    switch (parent) {
    case Node::gpx:
        if (name == "trk") {
            BeginTrack(m_tracks);
            return Node::trk;
        }
        if (name == "rte") {
            BeginTrack(m_routes);
            return Node::rte;
        }
        if (name == "wpt") {
            StartWaypoint(attributes);
            return Node::wpt;
        }
        return Node::other;
    case Node::trk:
        if (name == "name")
            return Node::name;
        if (name != "trkseg")
            return Node::other;
        m_tracks.record.BeginSegment();
        return Node::trkseg;
    case Node::trkseg:
        return name == "trkpt" ? Node::trkpt : Node::other;
    case Node::rte:
        return name == "rtept" ? Node::rtept : name == "name" ? Node::name : Node::other;
    case Node::trkpt:
    case Node::rtept:
        return ChildOfPoint(name, false);
    case Node::wpt:
        return ChildOfPoint(name, true);
    default:
        return Node::other;
    }
}

// A point's elevation is its first ele element, whatever that holds; its time and extensions
// where it has them; a waypoint's name.
CGpxReader::Node CGpxReader::ChildOfPoint(std::string_view name, bool bWaypoint) {
    if (name == "ele" && !m_bEleSeen) {
        m_bEleSeen = true;
        return Node::ele;
    }
    if (name == "time")
        return Node::time;
    if (bWaypoint)
        return name == "name" ? Node::name : Node::other;
    return name == "extensions" ? Node::extensions : Node::other;
}

// Inside a point's extensions every element is looked into: a value is known by its local name
// whatever extension holds it ("gpxtpx:hr", "gpxdata:hr").
CGpxReader::Node CGpxReader::InExtensions(std::string_view name, std::size_t depth) {
    struct Known {
        std::string_view name;
        Sensor sensor;
    };
    static constexpr Known kKnown[] = {
        {"hr", Sensor::heartRate},     {"heartrate", Sensor::heartRate},
        {"cad", Sensor::cadence},      {"cadence", Sensor::cadence},
        {"power", Sensor::power},      {"PowerInWatts", Sensor::power},
        {"watts", Sensor::power},      {"atemp", Sensor::temperature},
        {"temp", Sensor::temperature}, {"temperature", Sensor::temperature},
        {"speed", Sensor::speed},
    };
    for (const Known& k : kKnown)
        if (name == k.name) {
            m_sensorAt[depth] = k.sensor;
            return Node::sensor;
        }
    return Node::extensions;
}

bool CGpxReader::StartElement(std::string_view localName, const char** attributes) {
    const std::size_t depth = ++m_depth;
    Node node = Node::other;
    if (depth == 1) {
        if (localName == "gpx") {
            node = Node::gpx;
            for (const char** a = attributes; *a; a += 2)
                if (CXmlHandler::LocalName(a[0]) == "creator")
                    m_tracks.record.m_source.creator = m_routes.record.m_source.creator = a[1];
        } else {
            m_notGpx = "not a GPX file (the root element is <" + QuotedText(localName) + ">)";
        }
    } else if (depth < kTrackedDepth) {
        const Node parent = m_path[depth - 1];
        // GPX 1.0 has a point's speed beside its elevation, not in extensions.
        const bool bSpeed10 =
            (parent == Node::trkpt || parent == Node::rtept) && localName == "speed";
        node = parent == Node::extensions || bSpeed10 ? InExtensions(localName, depth)
                                                      : ChildOf(parent, localName, attributes);
    }
    if (node == Node::trkpt)
        StartPoint(m_tracks, attributes);
    else if (node == Node::rtept)
        StartPoint(m_routes, attributes);
    if (depth < kTrackedDepth)
        m_path[depth] = node;
    return node == Node::ele || node == Node::time || node == Node::name || node == Node::sensor;
}

void CGpxReader::EndElement(std::string_view text) {
    const std::size_t depth = m_depth--;
    const Node node = depth < kTrackedDepth ? m_path[depth] : Node::other;
    const Node parent = depth - 1 < kTrackedDepth ? m_path[depth - 1] : Node::other;
    if (m_bPointOk && (node == Node::trkpt || node == Node::rtept)) {
        Points& to = node == Node::trkpt ? m_tracks : m_routes;
        to.record.AddPoint(m_point);
        to.bNamed = true;
    } else if (node == Node::wpt && m_bPointOk) {
        m_tracks.record.m_waypoints.push_back(std::move(m_waypoint));
    } else {
        EndValue(node, parent, depth, text);
    }
}

// The values of a point, a waypoint, a track or a route.
void CGpxReader::EndValue(Node node, Node parent, std::size_t depth, std::string_view text) {
    const bool bWaypoint = parent == Node::wpt;
    switch (node) {
    case Node::ele: {
        double ele = 0;
        (bWaypoint ? m_waypoint.ele : m_point.ele) =
            CGpxNumber::Parse(text, ele) ? ele : RecordPoint::kAbsent;
        break;
    }
    case Node::time: {
        TimeMs time = kNoTime;
        (bWaypoint ? m_waypoint.time : m_point.time) = CIsoTime::Parse(text, time) ? time : kNoTime;
        break;
    }
    case Node::name:
        if (bWaypoint) {
            m_waypoint.name = text;
        } else {
            // A track's or route's name comes before its points; one after them is left.
            Points& of = parent == Node::trk ? m_tracks : m_routes;
            if (!of.bNamed)
                of.record.BeginTrack(std::string(text));
            of.bNamed = true;
        }
        break;
    case Node::sensor: {
        double value = 0;
        if (CGpxNumber::Parse(text, value))
            m_point.At(m_sensorAt[depth]) = static_cast<float>(value);
        break;
    }
    default:
        break;
    }
}

void CGpxReader::BeginTrack(Points& points) {
    points.record.BeginTrack();
    points.bNamed = false;
}

void CGpxReader::StartWaypoint(const char** attributes) {
    m_waypoint = RecordWaypoint();
    m_bEleSeen = false;
    m_bPointOk = false;
    const auto [pszLat, pszLon] = PositionAttributes(attributes);
    m_bPointOk = pszLat && pszLon && CGpxNumber::Parse(pszLat, m_waypoint.lat) &&
                 CGpxNumber::Parse(pszLon, m_waypoint.lon) &&
                 std::fabs(m_waypoint.lat) <= kMaxLatitude &&
                 std::fabs(m_waypoint.lon) <= kMaxLongitude;
}

// The position is the last lat and the last lon attribute, with or without a prefix.
void CGpxReader::StartPoint(Points& to, const char** attributes) {
    const auto [pszLat, pszLon] = PositionAttributes(attributes);
    m_bPointOk = false;
    m_bEleSeen = false;
    m_point = RecordPoint();
    if (!pszLat || !pszLon) {
        ++to.skipped.nMissing;
        return;
    }
    if (!CGpxNumber::Parse(pszLat, m_point.lat) || !CGpxNumber::Parse(pszLon, m_point.lon)) {
        ++to.skipped.nUnparsable;
        return;
    }
    if (std::fabs(m_point.lat) > kMaxLatitude || std::fabs(m_point.lon) > kMaxLongitude) {
        ++to.skipped.nOutOfRange;
        return;
    }
    m_bPointOk = true;
}

ReadResult CGpxReader::Finish() {
    ReadResult result;
    if (!m_parser.Finish()) {
        result.error = m_parser.Failure().message;
        result.errorLine = m_parser.Failure().line;
        return result;
    }
    if (!m_notGpx.empty()) {
        result.error = m_notGpx;
        return result;
    }
    // Routes count only in a file without track points; their skipped points count then too.
    result.skipped = m_tracks.skipped;
    Points& from = m_tracks.record.Empty() ? m_routes : m_tracks;
    if (&from == &m_routes) {
        result.skipped.nMissing += m_routes.skipped.nMissing;
        result.skipped.nUnparsable += m_routes.skipped.nUnparsable;
        result.skipped.nOutOfRange += m_routes.skipped.nOutOfRange;
        result.bRoute = !m_routes.record.Empty();
    }
    std::vector<RecordWaypoint> waypoints = std::move(m_tracks.record.m_waypoints);
    result.record = std::move(from.record);
    result.record.m_waypoints = std::move(waypoints);
    return result;
}
