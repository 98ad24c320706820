#include "CGpxReader.h"

#include <charconv>
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
// Text from the file quoted in a message is cut to about this many characters.
constexpr std::size_t kMaxQuotedBytes = 80;

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// A plain decimal of at most 15 digits ("-121.4459970"): its digits as an integer are exact in a
// double, and so is a power of ten up to 1e22, so one division, correctly rounded, gives the
// double nearest the decimal, the very value from_chars gives. False for anything else (an
// exponent, more digits, "5." or ".5"), which is left to from_chars. Three numbers a point make
// this worth having: it is several times faster.
bool ParseShortDecimal(std::string_view s, double& value) {
    constexpr std::size_t kMaxDigits = 15;
    constexpr double kPowersOfTen[kMaxDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool bNegative = !s.empty() && s.front() == '-';
    if (bNegative)
        s.remove_prefix(1);
    std::uint64_t digits = 0;
    std::size_t nDigits = 0, nFraction = 0;
    bool bPoint = false;
    for (const char c : s) {
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++nDigits;
            nFraction += bPoint;
        } else if (c == '.' && !bPoint) {
            bPoint = true;
        } else {
            return false;
        }
    }
    if (nDigits == 0 || nDigits > kMaxDigits ||
        (bPoint && (nFraction == 0 || nFraction == nDigits)))
        return false;
    value = static_cast<double>(digits) / kPowersOfTen[nFraction];
    if (bNegative)
        value = -value;
    return true;
}

// An xsd:decimal or xsd:double as GPX writes them, blanks around it allowed. Infinite and NaN
// values are not numbers here.
bool ParseNumber(std::string_view s, double& value) {
    while (!s.empty() && IsXmlSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsXmlSpace(s.back()))
        s.remove_suffix(1);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-')
        s.remove_prefix(1);
    if (ParseShortDecimal(s, value))
        return true;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

// Text of the file as a message quotes it: at most about 80 characters, then "...", control
// characters written as \xHH. The one place to hand over to a shared helper for such quotes.
std::string QuoteFromFile(std::string_view text) {
    std::size_t n = std::min(text.size(), kMaxQuotedBytes);
    // Never cut a UTF-8 character in two: back up over its continuation bytes.
    while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::string quoted;
    for (const char c : text.substr(0, n)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            quoted += {'\\', 'x', kHex[u >> 4], kHex[u & 0xF]};
        } else {
            quoted += c;
        }
    }
    return n < text.size() ? quoted + "..." : quoted;
}

} // namespace

void CGpxReader::Points::Add(const TrackPoint& point) {
    if (bNewSegment) {
        segmentStarts.push_back(static_cast<std::uint32_t>(points.size()));
        bNewSegment = false;
    }
    points.push_back(point);
}

CGpxReader::CGpxReader(std::size_t nExpectedBytes) {
    m_tracks.points.reserve(nExpectedBytes / kMinPointBytes);
}

bool CGpxReader::Feed(std::span<const char> bytes) {
    return m_parser.Feed(bytes);
}

CGpxReader::Node CGpxReader::ChildOf(Node parent, std::string_view name) {
    switch (parent) {
    case Node::gpx:
        if (name == "trk") {
            m_tracks.bNewSegment = true;
            return Node::trk;
        }
        if (name == "rte") {
            m_routes.bNewSegment = true;
            return Node::rte;
        }
        return Node::other;
    case Node::trk:
        if (name != "trkseg")
            return Node::other;
        m_tracks.bNewSegment = true;
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
            m_notGpx = "not a GPX file (the root element is <" + QuoteFromFile(localName) + ">)";
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
        m_point.ele = ParseNumber(text, ele) ? ele : TrackPoint::kNoElevation;
    } else if (m_bPointOk && (node == Node::trkpt || node == Node::rtept)) {
        (node == Node::trkpt ? m_tracks : m_routes).Add(m_point);
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
    m_point = {0, 0, TrackPoint::kNoElevation};
    if (!pszLat || !pszLon) {
        ++to.skipped.nMissing;
        return;
    }
    if (!ParseNumber(pszLat, m_point.lat) || !ParseNumber(pszLon, m_point.lon)) {
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
    Points& from = m_tracks.points.empty() ? m_routes : m_tracks;
    if (&from == &m_routes) {
        result.skipped.nMissing += m_routes.skipped.nMissing;
        result.skipped.nUnparsable += m_routes.skipped.nUnparsable;
        result.skipped.nOutOfRange += m_routes.skipped.nOutOfRange;
        result.bRoute = !m_routes.points.empty();
    }
    result.points = std::move(from.points);
    result.segmentStarts = std::move(from.segmentStarts);
    return result;
}
