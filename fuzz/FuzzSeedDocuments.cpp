// Writes a document file for each MapSource export named on the command line, with the view
// values of a fresh chart: the seed corpus of the document loader's fuzz target.
//   fuzz_seed_documents OUTDIR FILE.txt...
#include "CDocumentFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "TrackImport.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR FILE.txt...\n", argv[0]);
        return 2;
    }
    const CViewValues view;
    auto track = std::make_unique<CTrack>();
    for (int i = 2; i < argc; ++i) {
        CMapSourceFormat format;
        if (const CFileResult r = ImportTrackFile(argv[i], *track, format); !r.Ok()) {
            std::fprintf(stderr, "%s\n", r.Error().c_str());
            return 1;
        }
        std::string name = argv[i];
        name = name.substr(name.find_last_of('/') + 1);
        const std::string out = std::string(argv[1]) + "/" + name + ".vrl";
        if (const CFileResult r = CDocumentFile::Write(out, *track, view); !r.Ok()) {
            std::fprintf(stderr, "%s\n", r.Error().c_str());
            return 1;
        }
    }
    return 0;
}
