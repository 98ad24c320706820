#include "CGpsbabelFormats.h"

#include "CTrackFileTypes.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Only extensions that no other common format uses: ".trk", ".log", ".csv", ".dat" and ".bin"
// each stand for several formats, and GPSBabel cannot tell which from the file.
constexpr std::array kFormats = {
    GpsbabelFormat{"gdb", "gdb", "Garmin MapSource database"},
    GpsbabelFormat{"geojson", "geojson", "GeoJSON"},
    GpsbabelFormat{"gtm", "gtm", "GPS TrackMaker"},
    GpsbabelFormat{"ht", "humminbird_ht", "Humminbird track"},
    GpsbabelFormat{"mmo", "mmo", "Memory-Map overlay"},
    GpsbabelFormat{"plt", "ozi", "OziExplorer track"},
    GpsbabelFormat{"rdn", "ignrando", "IGN Rando track"},
    GpsbabelFormat{"tr7", "mapasia_tr7", "MapAsia track"},
    GpsbabelFormat{"usr", "lowranceusr", "Lowrance USR"},
};

} // namespace

std::span<const GpsbabelFormat> CGpsbabelFormats::All() {
    return kFormats;
}

const GpsbabelFormat* CGpsbabelFormats::Of(std::string_view fileName) {
    const std::string ext = CTrackFileTypes::Extension(fileName);
    const auto* found =
        std::find_if(kFormats.begin(), kFormats.end(),
                     [&ext](const GpsbabelFormat& f) { return ext == f.extension; });
    return found == kFormats.end() ? nullptr : found;
}

const GpsbabelFormat* CGpsbabelFormats::Named(std::string_view gpsbabelName) {
    const auto* found =
        std::find_if(kFormats.begin(), kFormats.end(), [gpsbabelName](const GpsbabelFormat& f) {
            return gpsbabelName == f.gpsbabelName;
        });
    return found == kFormats.end() ? nullptr : found;
}
