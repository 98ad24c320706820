#include "CliCommands.h"

#include "CPlot.h"
#include "CTrack.h"
#include "CliDocument.h"

#include <cstdio>

namespace {
const char* FormatName(int nFormat) {
    switch (nFormat) {
    case 1:
        return "1 (decimal degrees)";
    case 2:
        return "2 (degrees and decimal minutes)";
    case 3:
        return "3 (degrees, minutes and decimal seconds)";
    default:
        return "none";
    }
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vorlan-cli: %s\n", message.c_str());
    return 1;
}

int Usage(const char* usage) {
    std::fprintf(stderr, "Usage: vorlan-cli %s\n", usage);
    return 2;
}

// Reads a track from a MapSource export or a document file, as the desktop would open it.
bool ReadTrack(const std::string& path, CTrack& track, CPlot& plot, std::string& error) {
    return IsDocumentPath(path) ? LoadDocument(path, track, plot, error)
                                : ImportTrack(path, track, error);
}
} // namespace

int RunConvert(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage("convert IN.txt OUT.vrl");
    static CTrack track;
    CPlot plot;
    std::string error;
    if (!ImportTrack(args[0], track, error) || !SaveDocument(args[1], track, plot, error))
        return Fail(error);
    return 0;
}

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return Usage("info FILE");
    static CTrack track;
    CPlot plot;
    std::string error;
    if (!ReadTrack(args[0], track, plot, error))
        return Fail(error);

    const int n = track.m_nCount;
    const bool bDocument = IsDocumentPath(args[0]);
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
                bDocument ? "none (document file)" : FormatName(CTrack::s_nCoordFormat));
    std::printf("Distance: %.2f miles\n", n > 0 ? static_cast<double>(track.m_fDist[n - 1]) : 0.0);
    std::printf("Elevation: %.1f to %.1f ft\n", elevMin, elevMax);
    std::printf("South bounds: %.2f to %.2f (10 m)\n", track.m_fRange[0][0], track.m_fRange[0][1]);
    std::printf("East bounds: %.2f to %.2f (10 m)\n", track.m_fRange[1][0], track.m_fRange[1][1]);
    std::printf("Elevation bounds: %.1f to %.1f ft\n", track.m_fRange[2][0], track.m_fRange[2][1]);
    if (bDocument)
        std::printf("View: zoom %g, azimuth %g, elevation %g\n", plot.m_fZoom, plot.m_fAzimuth,
                    plot.m_fElevation);
    return 0;
}
