// The Vorlan document file (".vrl"): reading it with its checks and the reason for a refusal,
// and saving it through CAtomicFile. The one implementation of the file for the desktop
// program's Open and Save and for vorlan-cli.
//
// Little-endian, no header: a 16-bit point count n, five arrays of n floats (elevation,
// cumulative distance, leg, latitude, longitude), then zoom, azimuth and elevation angle.
#pragma once

#include "CFileResult.h"
#include "CViewValues.h"

#include <string>

class CTrack;

class CDocumentFile {
public:
    static constexpr long kCountBytes = 2;
    static constexpr long kBytesPerPoint = 20;
    static constexpr long kViewBytes = 12;

    // True when the path names a document file (".vrl", any case).
    static bool IsDocumentPath(const std::string& path);
    // The size of a document of nPoints points: 14 + 20 n.
    static long SizeFor(long nPoints) {
        return kCountBytes + kBytesPerPoint * nPoints + kViewBytes;
    }

    // Reads the document at path into track and view. A refused or unreadable file leaves both
    // as they were, and so does running out of memory (CFileResult::Fault::memory).
    static CFileResult Read(const std::string& path, CTrack& track, CViewValues& view);
    // The checks and loading of Read on bytes already read; path only names the file.
    static CFileResult Parse(const std::string& path, const std::string& bytes, CTrack& track,
                             CViewValues& view);

    // The bytes of the document of track and view.
    static std::string Bytes(const CTrack& track, const CViewValues& view);
    // Saves the document at path, replacing an existing file only once it is whole.
    static CFileResult Write(const std::string& path, const CTrack& track, const CViewValues& view);

private:
    static CFileResult ReadFile(const std::string& path, CTrack& track, CViewValues& view);
};
