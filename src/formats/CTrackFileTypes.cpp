#include "CTrackFileTypes.h"

#include "CFitReader.h"
#include "CGpxReader.h"
#include "CIgcReader.h"
#include "CKmlReader.h"
#include "CNmeaReader.h"
#include "CTcxReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace {

using enum TrackReaderKind;

constexpr std::array kTypes = {
    TrackFileType{"txt", mapSource, "MapSource", nullptr},
    TrackFileType{"gpx", native, "GPX", &CGpxReader::Make},
    TrackFileType{"fit", native, "FIT", &CFitReader::Make},
    TrackFileType{"tcx", native, "TCX", &CTcxReader::Make},
    TrackFileType{"kml", native, "KML", &CKmlReader::Make},
    TrackFileType{"igc", native, "IGC", &CIgcReader::Make},
    TrackFileType{"nmea", native, "NMEA", &CNmeaReader::Make},
    TrackFileType{"nma", native, "NMEA", &CNmeaReader::Make},
};

} // namespace

std::span<const TrackFileType> CTrackFileTypes::All() {
    return kTypes;
}

const TrackFileType* CTrackFileTypes::Of(std::string_view fileName) {
    const std::string ext = Extension(fileName);
    const auto* found = std::find_if(kTypes.begin(), kTypes.end(),
                                     [&ext](const TrackFileType& t) { return ext == t.extension; });
    return found == kTypes.end() ? nullptr : found;
}

std::string CTrackFileTypes::Extension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return std::string();
    std::string ext(fileName.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}
