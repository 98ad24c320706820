// Turns a reader's points into the document's track, with the same rules for every format:
// elevations filled in, distances summed per segment, long tracks simplified to the point
// budget, then smoothing and geometry. Used by CTrackImporter.
#pragma once

#include "CTrackReader.h"

#include <cstddef>

class CTrack;

struct BuildResult {
    std::size_t nKept = 0;
    bool bSimplified = false;  // more points than the track holds
    bool bNoElevation = false; // no point had an elevation: the track is flat at 0 ft
};

class CTrackBuilder {
public:
    // Fills the track from the record's points (at least one) and segments; missing
    // elevations are filled in the track, never in the record.
    static BuildResult Build(const CTrackRecord& record, CTrack& track);
};
