// The command-line tool's reading and writing of tracks: MapSource text or document file in,
// document file out, with one-line error messages for the user.
#pragma once

#include <string>

class CPlot;
class CTrack;

// True when the path names a document file (".vrl", any case).
bool IsDocumentPath(const std::string& path);

// Imports a MapSource text export as the Import command does. On failure returns false and sets
// error to a message naming the file.
bool ImportTrack(const std::string& path, CTrack& track, std::string& error);

// Loads a document file into the track and the chart's view values.
bool LoadDocument(const std::string& path, CTrack& track, CPlot& plot, std::string& error);

// Writes data through a temporary file in the same folder, renamed over the target only when
// everything was written; an existing file is never left half-written.
bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& error);

// Writes a document file through a temporary file in the same folder, renamed over the target
// only when everything was written.
bool SaveDocument(const std::string& path, const CTrack& track, const CPlot& plot,
                  std::string& error);
