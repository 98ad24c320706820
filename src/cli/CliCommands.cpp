#include "CliCommands.h"

#include "CAtomicFile.h"
#include "CDocumentFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "CTrackStatistics.h"
#include "MessageText.h"
#include "TrackImport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// The designed track's numbers, in the chosen units: what the charts draw.
void PrintDesignedTrack(const CTrack& track, Units units) {
    const int n = track.m_nCount;
    float elevMin = 0, elevMax = 0;
    for (int i = 0; i < n; ++i) {
        if (i == 0 || track.m_fElev[i] < elevMin)
            elevMin = track.m_fElev[i];
        if (i == 0 || track.m_fElev[i] > elevMax)
            elevMax = track.m_fElev[i];
    }
    const char* pszElev = ElevationUnit(units);
    std::printf("Distance: %.2f %s\n",
                DistanceIn(units, n > 0 ? static_cast<double>(track.m_fDist[n - 1]) : 0.0),
                DistanceUnitWord(units));
    std::printf("Elevation: %.1f to %.1f %s\n", ElevationIn(units, elevMin),
                ElevationIn(units, elevMax), pszElev);
    std::printf("South bounds: %.2f to %.2f (10 m)\n", track.m_fRange[0][0], track.m_fRange[0][1]);
    std::printf("East bounds: %.2f to %.2f (10 m)\n", track.m_fRange[1][0], track.m_fRange[1][1]);
    std::printf("Elevation bounds: %.1f to %.1f %s\n", ElevationIn(units, track.m_fRange[2][0]),
                ElevationIn(units, track.m_fRange[2][1]), pszElev);
}

const std::string& ItemOf(const std::vector<StatisticsItem>& items, const char* pszLabel) {
    static const std::string kNone;
    for (const StatisticsItem& item : items)
        if (item.label == pszLabel)
            return item.value;
    return kNone;
}

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

// The file the record was read from, as a saved document still tells it. The writer's name
// and a document's texts are the file's content, quoted so that they cannot drive the terminal.
void PrintSource(const RecordSource& source) {
    const std::string creator =
        source.creator.empty() ? "" : ", written by " + QuotedText(source.creator);
    std::printf("Source: %s (%s%s)\n", QuotedText(source.fileName).c_str(),
                QuotedText(source.format).c_str(), creator.c_str());
}

int Usage(const char* usage) {
    std::fprintf(stderr, "Usage: vorlan-cli %s\n", usage);
    return 2;
}

// The files of a command that takes no options; false with the problem for an unknown option.
bool FileArguments(const std::vector<std::string>& args, std::vector<std::string>& files,
                   std::string& problem) {
    bool bOptionsEnded = false;
    for (const std::string& a : args) {
        if (!bOptionsEnded && a == kOptionsEnd) {
            bOptionsEnded = true;
        } else if (!bOptionsEnded && a.size() > 1 && a[0] == '-') {
            problem = UnknownOption(a);
            return false;
        } else {
            files.push_back(a);
        }
    }
    return true;
}

// The files of the command, which takes n of them, or the usage error's exit status.
int TakeFiles(const char* command, const char* usage, const std::vector<std::string>& args,
              std::size_t n, std::vector<std::string>& files) {
    std::string problem;
    if (!FileArguments(args, files, problem)) {
        std::fprintf(stderr, "vorlan-cli: %s: %s\n", command, problem.c_str());
        return Usage(usage);
    }
    return files.size() == n ? 0 : Usage(usage);
}
} // namespace

std::string UnknownOption(const std::string& arg) {
    return "unknown option '" + arg + "' (for a file of that name write './" + arg +
           "' or put '--' before it)";
}

CFileResult ReadTrackOrDocument(const std::string& path, CTrack& track, CTrackRecord& record,
                                CViewValues& view, CMapSourceFormat& format) {
    return CDocumentFile::IsDocumentPath(path) ? CDocumentFile::Read(path, track, record, view)
                                               : ImportTrackFile(path, record, track, format);
}

CFileResult ReadTrackOrDocument(const std::string& path, CTrack& track, CViewValues& view,
                                CMapSourceFormat& format) {
    CTrackRecord record;
    return ReadTrackOrDocument(path, track, record, view, format);
}

bool TakeDocVersionOption(std::vector<std::string>& args, int& nVersion, std::string& problem) {
    const auto end = std::find(args.begin(), args.end(), kOptionsEnd);
    const auto it = std::find(args.begin(), end, "--doc-version");
    if (it == end)
        return true;
    const std::string value = it + 1 == end ? std::string() : *(it + 1);
    if (value != "1" && value != "2") {
        problem = "--doc-version must be 1 or 2";
        return false;
    }
    nVersion = value == "1" ? CDocumentFile::kDesignedVersion : CDocumentFile::kNewestVersion;
    args.erase(it, it + 2);
    return true;
}

int FinishOutput() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "vorlan-cli: standard output: cannot write file: %s\n",
                 std::strerror(errno != 0 ? errno : EIO));
    return 1;
}

int Report(const CFileResult& result) {
    for (const std::string& note : result.m_notes)
        std::fprintf(stderr, "vorlan-cli: %s\n", note.c_str());
    if (result.Ok())
        return 0;
    std::fprintf(stderr, "vorlan-cli: %s\n", result.Error().c_str());
    return 1;
}

int RunConvert(const std::vector<std::string>& options, CMapSourceFormat& format) {
    const char kConvertUsage[] = "convert [--doc-version 1|2] IN OUT.vrl";
    std::vector<std::string> args = options;
    int nVersion = CDocumentFile::kNewestVersion;
    std::string problem;
    if (!TakeDocVersionOption(args, nVersion, problem)) {
        std::fprintf(stderr, "vorlan-cli: convert: %s\n", problem.c_str());
        return Usage(kConvertUsage);
    }
    std::vector<std::string> files;
    if (const int nStatus = TakeFiles("convert", kConvertUsage, args, 2, files))
        return nStatus;
    const std::string& in = files[0];
    const std::string& out = files[1];
    const auto pTrack = std::make_unique<CTrack>(); // 320 KB of arrays: never on the stack
    CTrackRecord record;
    // A document keeps its view values; a track file gets those of a fresh chart.
    CViewValues view;
    if (Report(CAtomicFile::CheckNotInput(in, out)) != 0 ||
        Report(CAtomicFile::CheckNotReadOnly(out)) != 0 ||
        Report(ReadTrackOrDocument(in, *pTrack, record, view, format)) != 0)
        return 1;
    return Report(CDocumentFile::Write(out, *pTrack, record, view, nVersion));
}

int RunInfo(const std::vector<std::string>& options, CMapSourceFormat& format) {
    const char kInfoUsage[] = "info FILE [--units metric|imperial] [--utc] [--json] [--dem DIR]";
    std::vector<std::string> args = options;
    Units units = Units::imperial;
    std::string problem;
    std::string demFolder;
    if (!TakeUnitsOption(args, units, problem) || !TakeDemOption(args, demFolder, problem)) {
        std::fprintf(stderr, "vorlan-cli: info: %s\n", problem.c_str());
        return Usage(kInfoUsage);
    }
    const TimeZone zone = TakeFlag(args, "--utc") ? TimeZone::utc : TimeZone::local;
    const bool bJson = TakeFlag(args, "--json");
    std::vector<std::string> files;
    if (const int nStatus = TakeFiles("info", kInfoUsage, args, 1, files))
        return nStatus;
    const std::string& path = files[0];
    const auto pTrack = std::make_unique<CTrack>();
    CTrack& track = *pTrack;
    CTrackRecord record;
    CViewValues view;
    const CFileResult read = ReadTrackOrDocument(path, track, record, view, format);
    if (Report(read) != 0)
        return 1;

    TerrainNumbers terrain;
    if (!demFolder.empty() && !MeasureTerrain(demFolder, record, terrain, problem)) {
        std::fprintf(stderr, "vorlan-cli: info: %s\n", problem.c_str());
        return 1;
    }
    const TerrainNumbers* pTerrain = demFolder.empty() ? nullptr : &terrain;

    const bool bDocument = CDocumentFile::IsDocumentPath(path);
    const CTrackStatistics statistics(record, track.m_nCount, read.m_notes);
    if (bJson) {
        PrintInfoJson(path, record, statistics, pTerrain);
        return FinishOutput();
    }
    const std::vector<StatisticsItem> items = statistics.Items(units, zone);
    std::printf("File: %s\n", path.c_str());
    PrintSource(record.m_source);
    std::printf("Points: %s\n", ItemOf(items, "Points").c_str());
    std::printf("Data: %s\n", ItemOf(items, "Data").c_str());
    std::printf("Coordinate format: %s\n",
                bDocument ? "none (document file)" : FormatName(format.Get()));
    PrintDesignedTrack(track, units);
    if (bDocument)
        std::printf("View: zoom %g, azimuth %g, elevation %g\n", view.m_fZoom, view.m_fAzimuth,
                    view.m_fElevation);
    PrintStatistics(items, units);
    if (pTerrain)
        PrintTerrain(*pTerrain, units);
    PrintLaps(statistics, units);
    return FinishOutput();
}
