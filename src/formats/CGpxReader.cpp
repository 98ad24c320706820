#include "CGpxReader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;

// No DOCTYPE node, no processing instructions, no comments, no line-end or attribute whitespace
// conversion: entities other than the five predefined ones are never expanded (an entity bomb
// stays a few bytes of text), and the text of an element lives in the element itself, which
// saves a node per point value on big files.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_embed_pcdata;

std::string_view LocalName(const char* name) {
    const std::string_view s(name);
    const auto colon = s.rfind(':');
    return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// An xsd:decimal or xsd:double as GPX writes them, blanks around it allowed. Infinite and NaN
// values are not numbers here.
bool ParseNumber(const char* psz, double& value) {
    std::string_view s(psz);
    while (!s.empty() && IsXmlSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsXmlSpace(s.back()))
        s.remove_suffix(1);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-')
        s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

std::size_t CountLines(const char* p, const char* end) {
    std::size_t n = 0;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))))
        ++n, ++p;
    return n;
}

class PointCollector {
public:
    explicit PointCollector(ReadResult& result) : m_result(result) {}

    void StartSegment() { m_bNewSegment = true; }

    void Add(const pugi::xml_node& pt) {
        const char* pszLat = nullptr;
        const char* pszLon = nullptr;
        for (const pugi::xml_attribute& a : pt.attributes()) {
            const std::string_view name = LocalName(a.name());
            if (name == "lat")
                pszLat = a.value();
            else if (name == "lon")
                pszLon = a.value();
        }
        SkippedPoints& skipped = m_result.skipped;
        double lat = 0, lon = 0;
        if (!pszLat || !pszLon) {
            ++skipped.nMissing;
            return;
        }
        if (!ParseNumber(pszLat, lat) || !ParseNumber(pszLon, lon)) {
            ++skipped.nUnparsable;
            return;
        }
        if (std::fabs(lat) > kMaxLatitude || std::fabs(lon) > kMaxLongitude) {
            ++skipped.nOutOfRange;
            return;
        }
        if (m_bNewSegment) {
            m_result.segmentStarts.push_back(static_cast<std::uint32_t>(m_result.points.size()));
            m_bNewSegment = false;
        }
        m_result.points.push_back({lat, lon, Elevation(pt)});
    }

private:
    static double Elevation(const pugi::xml_node& pt) {
        for (const pugi::xml_node& child : pt.children())
            if (child.type() == pugi::node_element && LocalName(child.name()) == "ele") {
                double ele = 0;
                return ParseNumber(child.text().get(), ele) ? ele : TrackPoint::kNoElevation;
            }
        return TrackPoint::kNoElevation;
    }

    ReadResult& m_result;
    bool m_bNewSegment = true;
};

// Calls f for every element child of node whose local name is name.
template <typename F> void ForEachElement(const pugi::xml_node& node, std::string_view name, F f) {
    for (const pugi::xml_node& child : node.children())
        if (child.type() == pugi::node_element && LocalName(child.name()) == name)
            f(child);
}

void CollectTracks(const pugi::xml_node& gpx, PointCollector& collect) {
    ForEachElement(gpx, "trk", [&](const pugi::xml_node& trk) {
        collect.StartSegment();
        ForEachElement(trk, "trkseg", [&](const pugi::xml_node& seg) {
            collect.StartSegment();
            ForEachElement(seg, "trkpt", [&](const pugi::xml_node& pt) { collect.Add(pt); });
        });
    });
}

void CollectRoutes(const pugi::xml_node& gpx, PointCollector& collect) {
    ForEachElement(gpx, "rte", [&](const pugi::xml_node& rte) {
        collect.StartSegment();
        ForEachElement(rte, "rtept", [&](const pugi::xml_node& pt) { collect.Add(pt); });
    });
}

ReadResult Failure(std::string error, std::size_t line) {
    ReadResult result;
    result.error = std::move(error);
    result.errorLine = line;
    return result;
}

} // namespace

ReadResult CGpxReader::Read(std::span<char> bytes) const {
    if (bytes.empty())
        return Failure("the file is empty", 0);
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    if (const void* nul = std::memchr(begin, '\0', bytes.size()))
        return Failure("not a text file (a NUL byte)",
                       1 + CountLines(begin, static_cast<const char*>(nul)));

    // The parse writes into the bytes before the point it reached, so the line of an error is
    // found from the lines after that point, which are as they were.
    const std::size_t nLines = CountLines(begin, end);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(bytes.data(), bytes.size(), kParseFlags, pugi::encoding_utf8);
    if (!parsed) {
        const auto offset = std::min(static_cast<std::size_t>(parsed.offset), bytes.size());
        return Failure(std::string("XML error: ") + parsed.description(),
                       1 + nLines - CountLines(begin + offset, end));
    }

    const pugi::xml_node gpx = doc.document_element();
    if (LocalName(gpx.name()) != "gpx")
        return Failure("not a GPX file (the root element is <" + std::string(gpx.name()) + ">)", 0);

    ReadResult result;
    PointCollector collect(result);
    CollectTracks(gpx, collect);
    if (result.points.empty()) {
        PointCollector routes(result);
        CollectRoutes(gpx, routes);
        result.bRoute = !result.points.empty();
    }
    return result;
}
