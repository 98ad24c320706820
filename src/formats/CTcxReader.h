// Reads TCX (the training center XML of sports devices) into the record as its bytes come in:
// every Activity a track (named by its sport), a multisport session's activities each one, every
// Lap a lap of the record, every Track a segment; courses as tracks too (named by their Name).
// A Trackpoint gives its Time, Position, AltitudeMeters, HeartRateBpm, Cadence and the activity
// extension's Speed, Watts and RunCadence, with any namespace prefix; one without a Position is
// skipped and counted. The laps' time, distance and calories add up to the device's totals.
// Used by the table of track file types.
#pragma once

#include "CXmlTrackReader.h"

#include <cstdint>
#include <memory>
#include <vector>

class CTcxReader : public CXmlTrackReader {
public:
    // nExpectedBytes: the file's size when known, so that room for its points is set aside once.
    explicit CTcxReader(std::size_t nExpectedBytes = 0);
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

private:
    // What an element is to this reader, by its place in the document.
    enum class Node : std::uint8_t {
        other,
        root,
        author,
        authorName,
        activities,
        activity,
        creator,
        creatorName,
        lap,
        lapTime,
        lapDistance,
        lapCalories,
        courses,
        course,
        courseName,
        track,
        point,
        time,
        position,
        lat,
        lon,
        altitude,
        heartRate,
        heartRateValue,
        cadence,
        extensions,
        tpx,
        speed,
        watts,
        runCadence
    };

    bool StartElement(std::string_view localName, const char** attributes) override;
    void EndElement(std::string_view text) override;
    ReadResult TakeResult() override;

    Node ChildOf(Node parent, std::string_view name, const char** attributes);
    void StartTrack(std::string name);
    void StartLap(const char** attributes);
    void EndLap();
    void StartPoint();
    void EndPoint();
    void TakeText(Node node, std::string_view text);
    void TakeLapTotal(Node node, std::string_view text);
    void TakeSensor(Node node, std::string_view text);

    CTrackRecord m_record;
    SkippedPoints m_skipped;
    std::string m_creator;               // the device, from an activity's Creator
    std::string m_author;                // the program that wrote the file, from its Author
    std::size_t m_nTrackFirst = 0;       // the first point of the activity or course being read
    RecordLap m_lap;                     // the lap being read: its first point and start
    RecordPoint m_point;                 // the point being read
    bool m_bLat = false, m_bLon = false; // its position's parts, read
    bool m_bBadPosition = false;         // a part that is not a number
    std::vector<Node> m_path;
};
