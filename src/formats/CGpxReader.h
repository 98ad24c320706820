// Reads GPX 1.0 and 1.1 (any namespace prefix; UTF-8 with or without a byte-order mark, UTF-16
// with one) into a record as its bytes come in: the track points of every track and segment,
// else the points of every route, each with its elevation, time and the heart rate, cadence,
// power, temperature and speed of the extensions devices write (Garmin's TrackPointExtension,
// the common power element, Cluetrust's gpxdata); the tracks' names, the waypoints and the
// writer. Used by CTrackImporter, for GPX files and for what GPSBabel converts.
#pragma once

#include "CTrackReader.h"
#include "CXmlHandler.h"
#include "CXmlPieceParser.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGpxReader : public CTrackReader, private CXmlHandler {
public:
    // nExpectedBytes: the file's size when it is known beforehand, so that room for its points is
    // set aside once instead of growing.
    explicit CGpxReader(std::size_t nExpectedBytes = 0);
    // The reader for the table of track file types.
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

    bool Feed(std::span<const char> bytes) override;
    ReadResult Finish() override;

private:
    // What an element is to this reader, by its place in the document.
    enum class Node : std::uint8_t {
        other,
        gpx,
        trk,
        trkseg,
        trkpt,
        rte,
        rtept,
        wpt,
        ele,
        time,
        name,
        extensions, // a point's extensions, and the elements in them that hold others
        sensor,     // an extension's value: heart rate, cadence, power, temperature, speed
    };
    // Deeper elements are never ones this reader looks at: gpx, trk, trkseg, trkpt, extensions,
    // TrackPointExtension, hr.
    static constexpr std::size_t kTrackedDepth = 10;

    // The points of the tracks, or of the routes.
    struct Points {
        CTrackRecord record;
        SkippedPoints skipped;
        bool bNamed = true; // the track begun last has points or a name already
    };

    bool StartElement(std::string_view localName, const char** attributes) override;
    void EndElement(std::string_view text) override;
    Node ChildOf(Node parent, std::string_view localName, const char** attributes);
    Node ChildOfPoint(std::string_view localName, bool bWaypoint);
    Node InExtensions(std::string_view localName, std::size_t depth);
    void BeginTrack(Points& points);
    void StartPoint(Points& to, const char** attributes);
    void StartWaypoint(const char** attributes);
    void EndValue(Node node, Node parent, std::size_t depth, std::string_view text);

    Points m_tracks;
    Points m_routes;
    RecordPoint m_point;       // the point being read
    RecordWaypoint m_waypoint; // the waypoint being read
    bool m_bPointOk = false;   // it has a usable position
    bool m_bEleSeen = false;   // its first ele element has been met
    std::size_t m_depth = 0;
    Node m_path[kTrackedDepth] = {};
    Sensor m_sensorAt[kTrackedDepth] = {}; // what a Node::sensor at that depth holds
    std::string m_notGpx;                  // the refusal of a document whose root is not gpx
    CXmlPieceParser m_parser{*this};
};
