#include "CliCommands.h"

#include "CAtomicFile.h"
#include "CDocumentFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "TrackImport.h"

#include <cstdio>

namespace {
const char* FormatName(int nFormat) {
    switch (nFormat) {
    case CMapSourceFormat::kDegrees:
        return "1 (decimal degrees)";
    case CMapSourceFormat::kMinutes:
        return "2 (degrees and decimal minutes)";
    case CMapSourceFormat::kSeconds:
        return "3 (degrees, minutes and decimal seconds)";
    default:
        return "none";
    }
}

int Usage(const char* usage) {
    std::fprintf(stderr, "Usage: vorlan-cli %s\n", usage);
    return 2;
}
} // namespace

CFileResult ReadTrackOrDocument(const std::string& path, CTrack& track, CViewValues& view,
                                CMapSourceFormat& format) {
    return CDocumentFile::IsDocumentPath(path) ? CDocumentFile::Read(path, track, view)
                                               : ImportTrackFile(path, track, format);
}

int Report(const CFileResult& result) {
    for (const std::string& note : result.m_notes)
        std::fprintf(stderr, "vorlan-cli: %s\n", note.c_str());
    if (result.Ok())
        return 0;
    std::fprintf(stderr, "vorlan-cli: %s\n", result.Error().c_str());
    return 1;
}

int RunConvert(const std::vector<std::string>& args, CMapSourceFormat& format) {
    if (args.size() != 2)
        return Usage("convert TRACK OUT.vrl");
    const std::string& in = args[0];
    const std::string& out = args[1];
    static CTrack track;
    const CViewValues view;
    if (Report(CAtomicFile::CheckNotInput(in, out)) != 0 ||
        Report(ImportTrackFile(in, track, format)) != 0)
        return 1;
    return Report(CDocumentFile::Write(out, track, view));
}

int RunInfo(const std::vector<std::string>& args, CMapSourceFormat& format) {
    if (args.size() != 1)
        return Usage("info FILE");
    static CTrack track;
    CViewValues view;
    if (Report(ReadTrackOrDocument(args[0], track, view, format)) != 0)
        return 1;

    const int n = track.m_nCount;
    const bool bDocument = CDocumentFile::IsDocumentPath(args[0]);
    float elevMin = 0, elevMax = 0;
    for (int i = 0; i < n; ++i) {
        if (i == 0 || track.m_fElev[i] < elevMin)
            elevMin = track.m_fElev[i];
        if (i == 0 || track.m_fElev[i] > elevMax)
            elevMax = track.m_fElev[i];
    }
    std::printf("File: %s\n", args[0].c_str());
    std::printf("Points: %d\n", n);
    std::printf("Coordinate format: %s\n",
                bDocument ? "none (document file)" : FormatName(format.Get()));
    std::printf("Distance: %.2f miles\n", n > 0 ? static_cast<double>(track.m_fDist[n - 1]) : 0.0);
    std::printf("Elevation: %.1f to %.1f ft\n", elevMin, elevMax);
    std::printf("South bounds: %.2f to %.2f (10 m)\n", track.m_fRange[0][0], track.m_fRange[0][1]);
    std::printf("East bounds: %.2f to %.2f (10 m)\n", track.m_fRange[1][0], track.m_fRange[1][1]);
    std::printf("Elevation bounds: %.1f to %.1f ft\n", track.m_fRange[2][0], track.m_fRange[2][1]);
    if (bDocument)
        std::printf("View: zoom %g, azimuth %g, elevation %g\n", view.m_fZoom, view.m_fAzimuth,
                    view.m_fElevation);
    return 0;
}
