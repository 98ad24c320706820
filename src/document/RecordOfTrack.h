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

// Finds each point of the track among the record's, in order, by its position as the track holds
// it (in float degrees): for a document that does not say which of its record's points its track
// keeps. A point not found takes the record's point after the one found before it.
void IndexRecordByPosition(CTrack& track, const CTrackRecord& record);
