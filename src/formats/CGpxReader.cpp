#include "CGpxReader.h"

#include "CBulkMemory.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
// Room for the parsed document, per byte of the file: a logger's GPX takes about 1.8 (64 bytes a
// node, 40 an attribute); a document that needs more gets the rest from malloc.
constexpr std::size_t kDocumentBytesPerFileByte = 4;
// The shortest point a file can hold, <trkpt lat="0" lon="0"/>: no file has more points than
// its size over this, so room for that many is never outgrown. Only the pages the points fill
// are ever touched.
constexpr std::size_t kMinPointBytes = 24;

// No DOCTYPE node, no processing instructions, no comments, no line-end or attribute whitespace
// conversion: entities other than the five predefined ones are never expanded (an entity bomb
// stays a few bytes of text), and the text of an element lives in the element itself, which
// saves a node per point value on big files.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_embed_pcdata;

// Whether an element or attribute name is local, with or without a prefix ("trkpt",
// "gpx:trkpt"). Compared in place: names are a few letters, and this runs for every attribute
// and child of every point.
bool IsNamed(const char* name, std::string_view local) {
    const char* start = name;
    for (const char* p = name; *p; ++p)
        if (*p == ':')
            start = p + 1;
    std::size_t i = 0;
    while (i < local.size() && start[i] == local[i])
        ++i;
    return i == local.size() && start[i] == '\0';
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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
bool ParseNumber(const char* psz, double& value) {
    std::string_view s(psz);
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
            if (IsNamed(a.name(), "lat"))
                pszLat = a.value();
            else if (IsNamed(a.name(), "lon"))
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
            if (child.type() == pugi::node_element && IsNamed(child.name(), "ele")) {
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
        if (child.type() == pugi::node_element && IsNamed(child.name(), name))
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

// pugixml takes its memory through two process-wide functions. For the life of one object of
// this class they hand out the pages of memory (and malloc's once it is used up); afterwards
// pugixml has its own functions back. The document must be destroyed within that life, and one
// file is parsed at a time: the program reads files on its main thread only.
class PugixmlMemoryScope {
public:
    explicit PugixmlMemoryScope(CBulkMemory& memory)
        : m_allocate(pugi::get_memory_allocation_function()),
          m_deallocate(pugi::get_memory_deallocation_function()) {
        s_pMemory = &memory;
        pugi::set_memory_management_functions(Allocate, Deallocate);
    }
    PugixmlMemoryScope(const PugixmlMemoryScope&) = delete;
    PugixmlMemoryScope& operator=(const PugixmlMemoryScope&) = delete;
    ~PugixmlMemoryScope() {
        pugi::set_memory_management_functions(m_allocate, m_deallocate);
        s_pMemory = nullptr;
    }

private:
    static void* Allocate(std::size_t nBytes) {
        void* p = s_pMemory->Allocate(nBytes);
        return p ? p : std::malloc(nBytes);
    }
    // The memory's own pages go back all at once, when it is unmapped.
    static void Deallocate(void* p) {
        if (!s_pMemory->Owns(p))
            std::free(p);
    }

    static inline CBulkMemory* s_pMemory = nullptr;
    const pugi::allocation_function m_allocate;
    const pugi::deallocation_function m_deallocate;
};

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
    CBulkMemory memory(kDocumentBytesPerFileByte * bytes.size());
    const PugixmlMemoryScope scope(memory);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(bytes.data(), bytes.size(), kParseFlags, pugi::encoding_utf8);
    if (!parsed) {
        const auto offset = std::min(static_cast<std::size_t>(parsed.offset), bytes.size());
        return Failure(std::string("XML error: ") + parsed.description(),
                       1 + nLines - CountLines(begin + offset, end));
    }

    const pugi::xml_node gpx = doc.document_element();
    if (!IsNamed(gpx.name(), "gpx"))
        return Failure("not a GPX file (the root element is <" + std::string(gpx.name()) + ">)", 0);

    ReadResult result;
    result.points.reserve(bytes.size() / kMinPointBytes);
    PointCollector collect(result);
    CollectTracks(gpx, collect);
    if (result.points.empty()) {
        PointCollector routes(result);
        CollectRoutes(gpx, routes);
        result.bRoute = !result.points.empty();
    }
    return result;
}
