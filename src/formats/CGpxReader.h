// Reads GPX 1.0 and 1.1 (any namespace prefix; UTF-8 with or without a byte-order mark, UTF-16
// with one) into points as its bytes come in: the track points of every track and segment, else
// the points of every route. Used by CTrackImporter, for GPX files and for what GPSBabel
// converts.
#pragma once

#include "CTrackReader.h"
#include "CXmlHandler.h"
#include "CXmlPieceParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CGpxReader : public CTrackReader, private CXmlHandler {
public:
    // nExpectedBytes: the file's size when it is known beforehand, so that room for its points is
    // set aside once instead of growing.
    explicit CGpxReader(std::size_t nExpectedBytes = 0);

    bool Feed(std::span<const char> bytes) override;
    ReadResult Finish() override;

private:
    // What an element is to this reader, by its place in the document.
    enum class Node : std::uint8_t { other, gpx, trk, trkseg, trkpt, rte, rtept, ele };
    // Deeper elements are never ones this reader looks at: gpx, trk, trkseg, trkpt, ele.
    static constexpr std::size_t kTrackedDepth = 6;

    // The points of the tracks, or of the routes.
    struct Points {
        std::vector<TrackPoint> points;
        std::vector<std::uint32_t> segmentStarts;
        SkippedPoints skipped;
        bool bNewSegment = true;
        void Add(const TrackPoint& point);
    };

    bool StartElement(std::string_view localName, const char** attributes) override;
    void EndElement(std::string_view text) override;
    Node ChildOf(Node parent, std::string_view localName);
    void StartPoint(Points& to, const char** attributes);

    Points m_tracks;
    Points m_routes;
    TrackPoint m_point{};    // the point being read
    bool m_bPointOk = false; // it has a usable position
    bool m_bEleSeen = false; // its first ele element has been met
    std::size_t m_depth = 0;
    Node m_path[kTrackedDepth] = {};
    std::string m_notGpx; // the refusal of a document whose root is not gpx
    CXmlPieceParser m_parser{*this};
};
