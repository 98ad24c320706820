// Reads GPX 1.0 and 1.1 (any namespace prefix, UTF-8 with or without BOM) into points: the
// track points of every track and segment, else the points of every route. Used by
// CTrackImporter, for GPX files and for what GPSBabel converts.
#pragma once

#include "CTrackReader.h"

class CGpxReader : public CTrackReader {
public:
    // Parses in place: the bytes are left changed.
    ReadResult Read(std::span<char> bytes) const override;
};
