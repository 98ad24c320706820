// Reads KML (and KML 2.3's own Track) into the record as its bytes come in: every Placemark with
// a path is a track, named by its name; each gx:Track (its when and gx:coord elements paired in
// order, "lon lat alt") and each LineString (coordinates "lon,lat[,alt]" separated by blanks) is
// a segment of it, also inside MultiGeometry and gx:MultiTrack. Points, polygons and the rest of
// the document are passed over. Used by the table of track file types.
#pragma once

#include "CXmlElementText.h"
#include "CXmlTrackReader.h"

#include <cstdint>
#include <memory>
#include <vector>

class CKmlReader : public CXmlTrackReader {
public:
    // nExpectedBytes: the file's size when known, so that room for its points is set aside once.
    explicit CKmlReader(std::size_t nExpectedBytes = 0);
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

    // The longest coordinates text read: the XML layer keeps no more of an element's text and
    // hands a longer one over empty.
    static constexpr std::size_t kMaxCoordinatesBytes = CXmlElementText::kMaxBytes;

private:
    // What an element is to this reader, by its place in the document. outside: anything not in
    // a Placemark, where Placemarks may still come (Document, Folder, ...); shapes: a
    // MultiGeometry or gx:MultiTrack of a Placemark.
    enum class Node : std::uint8_t {
        other,
        outside,
        placemark,
        name,
        shapes,
        track,
        when,
        coord,
        lineString,
        coordinates
    };
    // Up to three numbers of one position: longitude, latitude, altitude.
    struct Tuple {
        double v[3] = {};
        std::size_t n = 0;
        bool bBad = false; // a part is not a number
    };

    bool StartElement(std::string_view localName, const char** attributes) override;
    void EndElement(std::string_view text) override;
    ReadResult TakeResult() override;

    static Node ChildOf(Node parent, std::string_view name);
    static bool NextTuple(std::string_view& s, bool bBlanksJoin, Tuple& tuple);
    void TakeCoordinates(std::string_view text);
    void TakeCoord(std::string_view text);
    void AddPoint(const Tuple& tuple, TimeMs time);

    CTrackRecord m_record;
    SkippedPoints m_skipped;
    std::size_t m_nTrackFirst = 0; // the first point of the Placemark being read
    // The times of a gx:Track, which come before its positions, and the next to pair with one.
    std::vector<TimeMs> m_whens;
    std::size_t m_nNextWhen = 0;
    std::size_t m_nEmptyLines = 0; // LineStrings whose coordinates came back empty
    std::vector<Node> m_path;
};
