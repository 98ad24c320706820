#include "CGpxReader.h"

#include "CBulkMemory.h"
#include "CGpxNumber.h"

#include <pugixml.hpp>

#include <algorithm>
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
        if (!CGpxNumber::Parse(pszLat, lat) || !CGpxNumber::Parse(pszLon, lon)) {
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
                return CGpxNumber::Parse(child.text().get(), ele) ? ele : TrackPoint::kNoElevation;
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
