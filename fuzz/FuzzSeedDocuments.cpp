// Writes a version 1 and a version 2 document for each track file named on the command line,
// with the view values of a fresh chart: the seed corpus of the document fuzz target.
//   fuzz_seed_documents OUTDIR FILE...
#include "CDocumentFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "TrackImport.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR FILE...\n", argv[0]);
        return 2;
    }
    const CViewValues view;
    auto track = std::make_unique<CTrack>();
    CTrackRecord record;
    for (int i = 2; i < argc; ++i) {
        CMapSourceFormat format;
        if (const CFileResult r = ImportTrackFile(argv[i], record, *track, format); !r.Ok()) {
            std::fprintf(stderr, "%s\n", r.Error().c_str());
            return 1;
        }
        std::string name = argv[i];
        name = std::string(argv[1]) + "/" + name.substr(name.find_last_of('/') + 1);
        for (const int nVersion :
             {CDocumentFile::kDesignedVersion, CDocumentFile::kNewestVersion}) {
            const std::string out = name + ".v" + std::to_string(nVersion) + ".vrl";
            if (const CFileResult r = CDocumentFile::Write(out, *track, record, view, nVersion);
                !r.Ok()) {
                std::fprintf(stderr, "%s\n", r.Error().c_str());
                return 1;
            }
        }
    }
    return 0;
}
