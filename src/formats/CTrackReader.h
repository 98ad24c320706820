// The one interface of the track file readers (GPX, TCX, KML, IGC, NMEA, and through the
// converter every other format): the file's bytes in, piece by piece as they are read, the
// record of what the file holds out. CTrackImporter uses it.
#pragma once

#include "CTrackRecord.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Points left out, by reason: the reader's, and at 0,0 the import's.
struct SkippedPoints {
    static constexpr double kMaxLatitude = 90.0;
    static constexpr double kMaxLongitude = 180.0;

    std::size_t nMissing = 0;    // no latitude or longitude
    std::size_t nUnparsable = 0; // latitude or longitude is not a number
    std::size_t nOutOfRange = 0; // latitude outside -90..90 or longitude outside -180..180
    std::size_t nVoid = 0;       // a fix the receiver marked as void (no position found)
    // Exactly 0,0 in a track that is elsewhere: a receiver that wrote zeros before it found its
    // position. Counted by the import, for every format alike.
    std::size_t nAtZero = 0;
    std::size_t ByReader() const { return nMissing + nUnparsable + nOutOfRange + nVoid; }
    std::size_t Total() const { return ByReader() + nAtZero; }
    // True when the point's position lies in range; counts it otherwise.
    bool InRange(const RecordPoint& p) {
        if (std::fabs(p.lat) <= kMaxLatitude && std::fabs(p.lon) <= kMaxLongitude)
            return true;
        ++nOutOfRange;
        return false;
    }
};

// What a reader makes of a file: the record of everything it holds, or an error. An error is one
// line without the file's name ("XML error: mismatched tag"), with the line it was found on
// (1-based; 0 when no line applies). notes: what the reader has to tell about a file it read
// ("The file's checksum does not match; read anyway.").
struct ReadResult {
    CTrackRecord record;
    SkippedPoints skipped;
    bool bRoute = false; // the points are a route's (the file has no track points)
    std::vector<std::string> notes;
    std::string error;
    std::size_t errorLine = 0;
    bool Failed() const { return !error.empty(); }
};

// The positions and elevations of a record's points, for the rules that work on them.
struct PointSpans {
    std::span<const double> lat;
    std::span<const double> lon;
    std::span<const double> ele;
    std::size_t size() const { return lat.size(); }
};

// A reader reads one file: Feed its bytes in order, in pieces of any size (every split of the
// file gives the same result), then Finish. Nothing of the file is kept beyond what the reader
// returns, so memory follows the points, not the file. Running out of memory throws
// std::bad_alloc.
class CTrackReader {
public:
    virtual ~CTrackReader() = default;
    // Reads the next bytes of the file. False once the file is known to be unreadable: the rest
    // need not be fed, and Finish() says why.
    virtual bool Feed(std::span<const char> bytes) = 0;
    // Ends the file and gives what was read.
    virtual ReadResult Finish() = 0;
};
