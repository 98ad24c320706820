// vorlan-import-bench PATH: imports one GPX file (or, by its extension, a file GPSBabel converts)
// into a track and prints what the user would be told. For whole-process measurements
// (/usr/bin/time -v) of big files; the document's own import reads files the same way, a piece
// at a time.
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackImporter.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

bool FeedFile(const std::string& path, CGpxReader& reader) {
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
    if (CTrackImporter::ConvertedFormatOf(path)) {
        result = importer.ImportConverted(path, *track);
    } else {
        CGpxReader reader;
        if (!FeedFile(path, reader)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        result = CTrackImporter::ImportRead(reader, path, "GPX", *track);
    }
    if (!result.bOk) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
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
