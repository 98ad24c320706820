// Importing a track from a file, as the desktop program's Import, command line and dropped files
// and vorlan-cli do: the file's extension (any case) chooses the reader. GPX, FIT, TCX, KML, IGC
// and NMEA are read directly, the other formats of CGpsbabelFormats through GPSBabel, anything
// else as a MapSource text export.
#pragma once

#include "CFileResult.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CMapSourceFormat;
class CTrack;
class CTrackRecord;

// The largest GPX or MapSource file read; larger files are refused before any of it is read.
constexpr std::size_t kMaxTrackFileBytes = std::size_t{1} << 30;

// Reads the file at path into track (cleared first) and smooths it. format is the coordinate
// format carried from one MapSource import to the next; it is updated only by a successful
// MapSource import. On failure the track is left empty. The notes say what was read: for GPX
// and the converted formats the format and points read, points skipped, the simplification and
// a missing elevation ("GPX: 30000 points read.", "Simplified from 30000 to 10000 points."); for
// a MapSource export cut at the point cap, "Only the first 10000 of N track points were read.".
// A MapSource export without track points is read, with a note; any other file without track
// points fails ("No track points in FILE."). Running out of memory fails the import
// (CFileResult::Fault::memory), never the program.
CFileResult ImportTrackFile(const std::string& path, CTrack& track, CMapSourceFormat& format);
// Told how far an import has read (nDone bytes of the file's nTotal); false cancels the import,
// which then ends with CFileResult::Fault::cancelled and nothing read. Called from the thread
// that imports.
using ImportProgress = std::function<bool(std::uint64_t nDone, std::uint64_t nTotal)>;

// The same, and record receives everything the file holds (cleared first; left empty on
// failure). progress, when given, follows a file read by one of our own readers piece by piece.
CFileResult ImportTrackFile(const std::string& path, CTrackRecord& record, CTrack& track,
                            CMapSourceFormat& format, const ImportProgress& progress = {});
