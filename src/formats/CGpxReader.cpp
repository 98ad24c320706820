#include "CGpxReader.h"

#include "CGpxNumber.h"
#include "MessageText.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
// The shortest point a file can hold, <trkpt lat="0" lon="0"/>: no file has more points than
// its size over this, so room for that many is never outgrown. Only the pages the points fill
// are ever touched.
constexpr std::size_t kMinPointBytes = 24;

std::string_view LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
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

CGpxReader::Node CGpxReader::ChildOf(Node parent, std::string_view name) {
    switch (parent) {
    case Node::gpx:
        if (name == "trk") {
            m_tracks.record.BeginTrack();
            return Node::trk;
        }
        if (name == "rte") {
            m_routes.record.BeginTrack();
            return Node::rte;
        }
        return Node::other;
    case Node::trk:
        if (name != "trkseg")
            return Node::other;
        m_tracks.record.BeginSegment();
        return Node::trkseg;
    case Node::trkseg:
        return name == "trkpt" ? Node::trkpt : Node::other;
    case Node::rte:
        return name == "rtept" ? Node::rtept : Node::other;
    case Node::trkpt:
    case Node::rtept:
        // A point's elevation is its first ele element, whatever that holds.
        if (name != "ele" || m_bEleSeen)
            return Node::other;
        m_bEleSeen = true;
        return Node::ele;
    default:
        return Node::other;
    }
}

bool CGpxReader::StartElement(std::string_view localName, const char** attributes) {
    const std::size_t depth = ++m_depth;
    Node node = Node::other;
    if (depth == 1) {
        if (localName == "gpx")
            node = Node::gpx;
        else
            m_notGpx = "not a GPX file (the root element is <" + QuotedText(localName) + ">)";
    } else if (depth < kTrackedDepth) {
        node = ChildOf(m_path[depth - 1], localName);
    }
    if (node == Node::trkpt)
        StartPoint(m_tracks, attributes);
    else if (node == Node::rtept)
        StartPoint(m_routes, attributes);
    if (depth < kTrackedDepth)
        m_path[depth] = node;
    return node == Node::ele;
}

void CGpxReader::EndElement(std::string_view text) {
    const std::size_t depth = m_depth--;
    const Node node = depth < kTrackedDepth ? m_path[depth] : Node::other;
    if (node == Node::ele) {
        double ele = 0;
        m_point.ele = CGpxNumber::Parse(text, ele) ? ele : RecordPoint::kAbsent;
    } else if (m_bPointOk && (node == Node::trkpt || node == Node::rtept)) {
        (node == Node::trkpt ? m_tracks : m_routes).record.AddPoint(m_point);
    }
}

// The position is the last lat and the last lon attribute, with or without a prefix.
void CGpxReader::StartPoint(Points& to, const char** attributes) {
    const char* pszLat = nullptr;
    const char* pszLon = nullptr;
    for (const char** a = attributes; *a; a += 2) {
        const std::string_view name = LocalName(a[0]);
        if (name == "lat")
            pszLat = a[1];
        else if (name == "lon")
            pszLon = a[1];
    }
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
    result.record = std::move(from.record);
    return result;
}
