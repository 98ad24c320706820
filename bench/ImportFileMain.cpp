// vorlan-import-bench PATH: imports one track file (by its extension, through a reader of ours or
// GPSBabel) into a track and prints what the user would be told. For whole-process measurements
// (/usr/bin/time -v) of big files; the document's own import reads files the same way, a piece
// at a time.
#include "CGpsbabelFormats.h"
#include "CTrack.h"
#include "CTrackFileTypes.h"
#include "CTrackImporter.h"
#include "CTrackReader.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

bool FeedFile(const std::string& path, CTrackReader& reader) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> piece(kPieceBytes);
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        if (n > 0 && !reader.Feed(std::span<const char>(piece.data(), n)))
            break;
    }
    return !in.bad();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlan-import-bench FILE\n");
        return 2;
    }
    const std::string path = argv[1];
    const auto track = std::make_unique<CTrack>();
    const CTrackImporter importer;
    ImportResult result;
    const TrackFileType* type = CTrackFileTypes::Of(path);
    const GpsbabelFormat* other = CGpsbabelFormats::Of(path);
    if (type && type->reader == TrackReaderKind::native) {
        std::error_code ec;
        const std::uintmax_t nBytes = std::filesystem::file_size(path, ec);
        const std::unique_ptr<CTrackReader> reader =
            type->makeReader(ec ? 0 : static_cast<std::size_t>(nBytes));
        if (!FeedFile(path, *reader)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        result = CTrackImporter::ImportRead(*reader, path, type->description, *track);
    } else if (other) {
        result = importer.ImportConverted(path, other->gpsbabelName, *track);
    } else {
        std::fprintf(stderr, "%s: not a track file type this program imports\n", path.c_str());
        return 2;
    }
    if (!result.Ok()) {
        std::fprintf(stderr, "%s\n", result.Error().c_str());
        return 1;
    }
    for (const std::string& note : result.Notes())
        std::printf("%s\n", note.c_str());
    const int n = track->m_nCount;
    std::printf("track: %d points, %.3f mi, elevation %.1f .. %.1f ft\n", n,
                static_cast<double>(track->m_fDist[n - 1]),
                static_cast<double>(track->m_fRange[2][0]),
                static_cast<double>(track->m_fRange[2][1]));
    return 0;
}
