// The track record in a versioned document: its outline (point count, segments, tracks and their
// names, source), one chunk per point channel (latitude and longitude always, elevation, time and
// each sensor where the record has them), and the laps, device totals and waypoints where there
// are any. Written and read, with every check of the stored record, for CDocumentFile.
#pragma once

#include "CChunkedFile.h"

#include <cstddef>
#include <string>
#include <vector>

class CTrackRecord;

class CRecordChunks {
public:
    // The most points a document keeps: far more than a 1 GiB track file holds, and few enough
    // that a damaged count never asks for more than 2 GB.
    static constexpr std::size_t kMaxPoints = std::size_t{1} << 25;

    // Adds the record's chunks. The record must have at most kMaxPoints points.
    static void Add(const CTrackRecord& record, CChunkedFile& file);
    // Reads the record from a document's chunks into record (left as it was on a refusal); the
    // reason for a refusal, or an empty string.
    static std::string Read(const std::vector<FileChunk>& chunks, CTrackRecord& record);
};
