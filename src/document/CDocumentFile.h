// The Vorlan document file (".vrl"): reading it in any version with its checks and the reason
// for a refusal, and saving it through CAtomicFile. The one implementation of the file for the
// desktop program's Open and Save and for vorlan-cli; every check of a document is made here.
//
// Version 1, the designed layout: little-endian, no header: a 16-bit point count n, five arrays
// of n floats (elevation, cumulative distance, leg, latitude, longitude), then zoom, azimuth and
// elevation angle; 14 + 20n bytes.
// Version 2, chunked (CChunkedFile): the view values, the designed track's count and five arrays
// as version 1 holds them, so that a reopened document draws and measures bit for bit as it did
// whatever its record, and the track record with every point and channel (CRecordChunks).
#pragma once

#include "CFileResult.h"
#include "CViewValues.h"

#include <cstddef>
#include <string>

class CTrack;
class CTrackRecord;

class CDocumentFile {
public:
    static constexpr int kDesignedVersion = 1;
    static constexpr int kNewestVersion = 2;
    static constexpr long kCountBytes = 2;
    static constexpr long kBytesPerPoint = 20;
    static constexpr long kViewBytes = 12;
    // The largest document read, as for track files; larger files are refused before they are
    // read.
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 30;
    // What the record of a version 1 document (which has none) says it came from.
    static constexpr const char* kDesignedFormat = "Vorlan 1 document";

    // True when the path names a document file (".vrl", any case).
    static bool IsDocumentPath(const std::string& path);
    // The size of a version 1 document of nPoints points: 14 + 20 n.
    static long SizeFor(long nPoints) {
        return kCountBytes + kBytesPerPoint * nPoints + kViewBytes;
    }

    // Reads the document at path, of either version, into track, record and view, and its
    // version into *pnVersion. A version 1 document keeps no record: record receives the track's
    // (RecordOfTrack). A refused or unreadable file leaves all of them as they were, and so does
    // running out of memory (CFileResult::Fault::memory).
    static CFileResult Read(const std::string& path, CTrack& track, CTrackRecord& record,
                            CViewValues& view, int* pnVersion = nullptr);
    // The same for a caller that has no use for the record.
    static CFileResult Read(const std::string& path, CTrack& track, CViewValues& view);
    // The checks and loading of Read on bytes already read; path only names the file.
    static CFileResult Parse(const std::string& path, const std::string& bytes, CTrack& track,
                             CTrackRecord& record, CViewValues& view, int* pnVersion = nullptr);
    static CFileResult Parse(const std::string& path, const std::string& bytes, CTrack& track,
                             CViewValues& view);

    // The bytes of the document in nVersion, 1 or 2 (version 1 keeps the track and view only).
    static std::string Bytes(const CTrack& track, const CTrackRecord& record,
                             const CViewValues& view, int nVersion = kNewestVersion);
    // Saves the document at path in nVersion, replacing an existing file only once it is whole.
    // Another version, or a record too large for a document, is refused before anything is
    // written.
    static CFileResult Write(const std::string& path, const CTrack& track,
                             const CTrackRecord& record, const CViewValues& view,
                             int nVersion = kNewestVersion);
    // Saves track and view in version 1: without the track's record there is nothing more to
    // keep.
    static CFileResult Write(const std::string& path, const CTrack& track, const CViewValues& view);

private:
    static CFileResult ReadFile(const std::string& path, CTrack& track, CTrackRecord& record,
                                CViewValues& view, int* pnVersion);
};
