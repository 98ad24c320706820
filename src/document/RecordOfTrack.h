// The record of a track that came without one: a MapSource text export or a document written
// before documents kept records. Its points are the track's, positions widened from float
// degrees and elevations from feet back to metres, in one segment. Used by the import and the
// document file.
#pragma once

#include "CTrackRecord.h"

#include <span>
#include <string>

class CTrack;

// times: the points' times where the source had them (one a point, or none).
CTrackRecord RecordOfTrack(const CTrack& track, std::string format,
                           std::span<const TimeMs> times = {});
