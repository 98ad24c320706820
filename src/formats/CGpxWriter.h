// Writes a record as GPX 1.1: its waypoints, then its tracks with their names and segments, each
// point with its elevation and time and, in extensions, the heart rate, cadence, temperature
// and speed of Garmin's TrackPointExtension (v2) and the common power element, which is how
// devices write them. Numbers are written in their shortest exact form, so that our GPX reader
// reads the record back point for point. Laps and the device's totals have no place in GPX.
#pragma once

#include "CTextSink.h"
#include "CTrackRecord.h"

#include <string>

class CGpxWriter {
public:
    // False when the sink stopped the writing.
    static bool Write(const CTrackRecord& record, const std::string& creator, CTextSink& out);
};
