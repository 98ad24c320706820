#include "CKmlReader.h"

#include "CGpxNumber.h"
#include "CIsoTime.h"

#include <iterator>
#include <string>

namespace {

// A position in a KML file mostly takes this many bytes or more ("11.123456,47.123456 "): room
// for the file's size over it is seldom outgrown, and only the pages the points fill are touched.
constexpr std::size_t kMinPointBytes = 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void SkipBlanks(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
}

} // namespace

CKmlReader::CKmlReader(std::size_t nExpectedBytes) : CXmlTrackReader("KML", "kml") {
    m_record.Reserve(nExpectedBytes / kMinPointBytes);
}

std::unique_ptr<CTrackReader> CKmlReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CKmlReader>(nFileBytes);
}

CKmlReader::Node CKmlReader::ChildOf(Node parent, std::string_view name) {
    const bool bShape = name == "MultiGeometry" || name == "MultiTrack";
    switch (parent) {
    case Node::outside:
        return name == "Placemark" ? Node::placemark : Node::outside;
    case Node::placemark:
        if (name == "name")
            return Node::name;
        [[fallthrough]];
    case Node::shapes:
        return bShape                 ? Node::shapes
               : name == "Track"      ? Node::track
               : name == "LineString" ? Node::lineString
                                      : Node::other;
    case Node::track:
        return name == "when" ? Node::when : name == "coord" ? Node::coord : Node::other;
    case Node::lineString:
        return name == "coordinates" ? Node::coordinates : Node::other;
    default:
        return Node::other;
    }
}

bool CKmlReader::StartElement(std::string_view localName, const char**) {
    const Node node = m_path.empty() ? (CheckRoot(localName) ? Node::outside : Node::other)
                                     : ChildOf(m_path.back(), localName);
    m_path.push_back(node);
    switch (node) {
    case Node::placemark:
        m_record.BeginTrack();
        m_nTrackFirst = m_record.Size();
        return false;
    case Node::track:
        m_whens.clear();
        m_nNextWhen = 0;
        m_record.BeginSegment();
        return false;
    case Node::lineString:
        m_record.BeginSegment();
        return false;
    case Node::name:
    case Node::when:
    case Node::coord:
    case Node::coordinates:
        return true;
    default:
        return false;
    }
}

void CKmlReader::EndElement(std::string_view text) {
    const Node node = m_path.back();
    m_path.pop_back();
    switch (node) {
    case Node::name:
        // A name after the Placemark's path is too late to give; writers put it first.
        if (m_record.Size() == m_nTrackFirst)
            m_record.BeginTrack(std::string(text));
        break;
    case Node::when: {
        TimeMs time = kNoTime;
        m_whens.push_back(CIsoTime::Parse(text, time) ? time : kNoTime);
        break;
    }
    case Node::coord:
        TakeCoord(text);
        break;
    case Node::coordinates:
        TakeCoordinates(text);
        break;
    default:
        break;
    }
}

// One tuple from the front of s: numbers joined by commas, blanks allowed around a comma, or
// with bBlanksJoin by blanks as well. False when s holds no more.
bool CKmlReader::NextTuple(std::string_view& s, bool bBlanksJoin, Tuple& tuple) {
    tuple = Tuple();
    SkipBlanks(s);
    if (s.empty())
        return false;
    for (;;) {
        std::size_t n = 0;
        while (n < s.size() && s[n] != ',' && !IsBlank(s[n]))
            ++n;
        if (tuple.n < std::size(tuple.v))
            tuple.bBad |= !CGpxNumber::Parse(s.substr(0, n), tuple.v[tuple.n]);
        ++tuple.n;
        s.remove_prefix(n);
        std::string_view rest = s;
        SkipBlanks(rest);
        if (rest.empty() || (rest.front() != ',' && !bBlanksJoin))
            return true;
        if (rest.front() == ',')
            rest.remove_prefix(1);
        SkipBlanks(rest);
        s = rest;
        if (s.empty()) {
            tuple.bBad = true; // a comma with nothing after it
            return true;
        }
    }
}

void CKmlReader::TakeCoordinates(std::string_view text) {
    if (text.empty()) {
        ++m_nEmptyLines;
        return;
    }
    Tuple tuple;
    while (NextTuple(text, false, tuple))
        AddPoint(tuple, kNoTime);
}

void CKmlReader::TakeCoord(std::string_view text) {
    Tuple tuple;
    if (!NextTuple(text, true, tuple))
        tuple.bBad = true;
    const TimeMs time = m_nNextWhen < m_whens.size() ? m_whens[m_nNextWhen++] : kNoTime;
    AddPoint(tuple, time);
}

void CKmlReader::AddPoint(const Tuple& tuple, TimeMs time) {
    if (tuple.bBad || tuple.n < 2) {
        ++m_skipped.nUnparsable;
        return;
    }
    RecordPoint point;
    point.lon = tuple.v[0];
    point.lat = tuple.v[1];
    if (tuple.n > 2)
        point.ele = tuple.v[2];
    point.time = time;
    if (m_skipped.InRange(point))
        m_record.AddPoint(point);
}

ReadResult CKmlReader::TakeResult() {
    ReadResult result;
    m_record.m_source.format = "KML";
    result.record = std::move(m_record);
    result.skipped = m_skipped;
    if (m_nEmptyLines != 0)
        result.notes.push_back(
            std::to_string(m_nEmptyLines) + (m_nEmptyLines == 1 ? " LineString" : " LineStrings") +
            " left out: the coordinates are empty or longer than this program reads (" +
            std::to_string(kMaxCoordinatesBytes / 1024) + " KB).");
    return result;
}
