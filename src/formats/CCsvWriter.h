// Writes a record as CSV for a spreadsheet: a header row naming each column with its unit, then a
// row a point in file order: the track and segment it belongs to, its time (ISO 8601, UTC), its
// position, its distance along the record, and a column for each channel the record has (empty
// where a point has no value).
#pragma once

#include "CTextSink.h"
#include "CTrackRecord.h"

class CCsvWriter {
public:
    // False when the sink stopped the writing.
    static bool Write(const CTrackRecord& record, CTextSink& out);
};
