// Importing a track from a file, as the desktop program's Import and dropped files and
// vorlan-cli do. Today every file is read as a MapSource text export; other readers come in
// behind the same call, chosen by the file's type.
#pragma once

#include "CFileResult.h"

#include <string>

class CMapSourceFormat;
class CTrack;

// Reads the file at path into track (cleared first) and smooths it. format is the coordinate
// format carried from one MapSource import to the next; it is updated only by a successful
// import. On failure the track is left empty. A file without track points is read, with a note.
CFileResult ImportTrackFile(const std::string& path, CTrack& track, CMapSourceFormat& format);
