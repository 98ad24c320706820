// The other track file formats that GPSBabel reads for this program, by file name extension: the
// import sends a file of one of these extensions through GPSBabel, and the desktop program's
// Import dialog offers them under "Other formats (GPSBabel)". Each was checked with gpsbabel 1.8
// by writing the sample tracks in the format and reading them back. The formats this program
// reads itself are not here (CTrackFileTypes).
#pragma once

#include <span>
#include <string_view>

struct GpsbabelFormat {
    const char* extension;    // lower case, without the dot
    const char* gpsbabelName; // GPSBabel's name of the format ("gdb")
    const char* description;  // what the user reads ("Garmin MapSource database")
};

class CGpsbabelFormats {
public:
    // The filter's name in the Import dialog.
    static constexpr const char* kFilterName = "Other formats (GPSBabel)";

    static std::span<const GpsbabelFormat> All();
    // The format of a file name by its extension (any case), or nullptr.
    static const GpsbabelFormat* Of(std::string_view fileName);
    // The format of that GPSBabel name, or nullptr.
    static const GpsbabelFormat* Named(std::string_view gpsbabelName);
};
