// Writes a document file for each MapSource export named on the command line, with the view
// values of a fresh chart: the seed corpus of the document loader's fuzz target.
//   fuzz_seed_documents OUTDIR FILE.txt...
#include "CArchive.h"
#include "CTrack.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR FILE.txt...\n", argv[0]);
        return 2;
    }
    const float view[3] = {1.0f, 30.0f, 20.0f}; // zoom, azimuth, elevation angle
    auto track = std::make_unique<CTrack>();
    for (int i = 2; i < argc; ++i) {
        CTrack::s_nCoordFormat = 0;
        if (!track->ImportFile(argv[i])) {
            std::fprintf(stderr, "%s: cannot open\n", argv[i]);
            return 1;
        }
        std::string name = argv[i];
        name = name.substr(name.find_last_of('/') + 1);
        const std::string out = std::string(argv[1]) + "/" + name + ".vrl";
        std::FILE* fp = std::fopen(out.c_str(), "wb");
        if (!fp) {
            std::fprintf(stderr, "%s: cannot write\n", out.c_str());
            return 1;
        }
        CArchive ar(fp, CArchive::store);
        track->Save(ar);
        ar.Write(view, sizeof view);
        ar.Flush();
        std::fclose(fp);
    }
    return 0;
}
