// Imports a track file that is not a MapSource export into the document's track: what a reader
// of ours read (GPX, FIT, TCX, KML, IGC, NMEA), or what GPSBabel made of a file of another format,
// whose output is read as it comes. Points at 0,0 in a track that is elsewhere are left out here,
// for every format alike. The import command's file dispatch uses it; the dispatch opens the
// file and feeds its bytes to a reader, this class never opens one.
#pragma once

#include "CFileResult.h"
#include "CGpsbabel.h"
#include "CTrackReader.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CTrack;

// What the user is told about an import.
struct ImportResult {
    // Success, or a failure of CFileResult::Fault::track whose reason is one line naming the file
    // ("walk.gpx: XML error: mismatched tag on line 5.").
    CFileResult outcome = CFileResult::Failure(CFileResult::Fault::track, {}, {});
    bool Ok() const { return outcome.Ok(); }
    std::string Error() const { return outcome.Error(); }
    std::string format; // "GPX", "Garmin MapSource database via GPSBabel", ...
    std::size_t nRead = 0;
    SkippedPoints skipped;
    std::size_t nSimplifiedFrom = 0; // the points read, when the track holds fewer
    bool bRoute = false;             // a route's points: the file has no track points
    bool bNoElevation = false;
    std::vector<std::string> readerNotes; // what the reader had to say, after what was read
    CTrackRecord record;                  // everything the file holds

    // The lines shown after a successful import, the first saying what was read:
    // "GPX: 30000 points read.", "Simplified from 30000 to 10000 points.", ...
    std::vector<std::string> Notes() const;
};

class CTrackImporter {
public:
    explicit CTrackImporter(CGpsbabel gpsbabel = CGpsbabel());

    // Reads a whole GPX file held in memory into track; fileName names the file in messages. On
    // failure the track is left as it was.
    ImportResult ImportGpx(std::span<const char> bytes, const std::string& fileName,
                           CTrack& track) const;
    // Reads into track what reader was fed: the whole file fileName, of the format named
    // format ("GPX", "FIT") in the notes.
    static ImportResult ImportRead(CTrackReader& reader, const std::string& fileName,
                                   std::string format, CTrack& track);
    // Converts the file at path, of GPSBabel's format gpsbabelFormat ("gdb"), with GPSBabel and
    // reads the result. When that has no points, the message quotes the first lines GPSBabel
    // warned with ("No track points in F. GPSBabel: nmea: No date found within track ...").
    // On failure the track is left as it was. progress, when given, is told the bytes of GPX
    // converted so far, now and then even while GPSBabel writes nothing; what it throws stops
    // GPSBabel and is passed on.
    ImportResult ImportConverted(const std::string& path, const std::string& gpsbabelFormat,
                                 CTrack& track,
                                 const std::function<void(std::uint64_t)>& progress = {}) const;

private:
    CGpsbabel m_gpsbabel;
};
