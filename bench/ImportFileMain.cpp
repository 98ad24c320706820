// vorlan-import-bench PATH: imports one GPX file (or, by its extension, a file GPSBabel converts)
// into a track and prints what the user would be told. For whole-process measurements
// (/usr/bin/time -v) of big files; the document's own import reads files the same way.
#include "CTrack.h"
#include "CTrackImporter.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const std::string& path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    bytes.resize(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())));
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
        std::vector<char> bytes;
        if (!ReadWhole(path, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        result = importer.ImportGpx(bytes, path, *track);
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
