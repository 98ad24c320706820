// The track files the program imports, by file name extension: which reader takes each and
// what it is called. The import's dispatch and the desktop program's Import dialog filters are
// both built from this one table.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class CTrackReader;

// How a file of a type is read.
enum class TrackReaderKind {
    mapSource, // MapSource text export, read by the track itself
    native,    // read by a reader of ours (GPX, FIT, ...)
};

struct TrackFileType {
    const char* extension; // lower case, without the dot
    TrackReaderKind reader;
    const char* description; // "GPX", "FIT", ...: rows of one format share it
    // For TrackReaderKind::native: a reader for a file of nFileBytes bytes (0 when not known).
    std::unique_ptr<CTrackReader> (*makeReader)(std::size_t nFileBytes);
};

class CTrackFileTypes {
public:
    // Every type, grouped by format: MapSource text first, then GPX, then the GPSBabel formats.
    static std::span<const TrackFileType> All();
    // The type of a file name by its extension (any case), or nullptr for any other name.
    static const TrackFileType* Of(std::string_view fileName);
    // The file name's extension in lower case, without the dot; empty when it has none.
    static std::string Extension(std::string_view fileName);
};
