// The record of a track that came without one: a MapSource text export or a document written
// before documents kept records. Its points are the track's, positions widened from float
// degrees and elevations from feet back to metres, in one segment. Used by the import and the
// document file.
#pragma once

#include "CTrackRecord.h"

#include <string>

class CTrack;

CTrackRecord RecordOfTrack(const CTrack& track, std::string format);
