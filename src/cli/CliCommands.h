// The commands of vorlan-cli; each takes the arguments after its name and returns the exit
// status (0 success, 1 a file could not be read or written, 2 a usage error). The coordinate
// format of MapSource exports is the tool's own, carried from one import to the next.
#pragma once

#include "CFileResult.h"
#include "CTerrainService.h"
#include "Units.h"

#include <memory>
#include <string>
#include <vector>

class CMapSourceFormat;
class CTrack;
class CTrackRecord;
class CTrackStatistics;
struct StatisticsItem;
struct CViewValues;

int RunConvert(const std::vector<std::string>& args, CMapSourceFormat& format);
int RunInfo(const std::vector<std::string>& args, CMapSourceFormat& format);
int RunRender(const std::vector<std::string>& args, CMapSourceFormat& format);
int RunExport(const std::vector<std::string>& args, CMapSourceFormat& format);

// "--" ends the options of a command: every argument after it is a file, even one whose name
// starts with '-'.
constexpr const char* kOptionsEnd = "--";

// What to say of an argument that looks like an option the command does not know, most often
// a file whose name starts with '-': "unknown option '-x' (for a file of that name write './-x'
// or put '--' before it)".
std::string UnknownOption(const std::string& arg);

// Reads a document file of any version with its record and view values, or imports any other
// file as a track with its record.
CFileResult ReadTrackOrDocument(const std::string& path, CTrack& track, CTrackRecord& record,
                                CViewValues& view, CMapSourceFormat& format);
// The same without the record.
CFileResult ReadTrackOrDocument(const std::string& path, CTrack& track, CViewValues& view,
                                CMapSourceFormat& format);
// Flushes the standard output and checks it (a full disk, /dev/full): 0, or 1 after saying why.
int FinishOutput();
// Prints the result's notes on stderr; for a failure prints its message and returns 1, else 0.
int Report(const CFileResult& result);
// Takes "--units metric|imperial" out of args into units. False, with the problem in words, for
// a missing or unknown value.
bool TakeUnitsOption(std::vector<std::string>& args, Units& units, std::string& problem);
// Takes "--doc-version 1|2" out of args into nVersion, the same way.
bool TakeDocVersionOption(std::vector<std::string>& args, int& nVersion, std::string& problem);
// The statistics block of info: a "Statistics (metric):" line, then one indented line per item
// ("  Total ascent: 1234 ft"), the notes of the reading among them.
void PrintStatistics(const std::vector<StatisticsItem>& items, Units units);
// The laps table of info, right-aligned columns under a "Laps:" line; nothing without laps.
void PrintLaps(const CTrackStatistics& statistics, Units units);
// info --json: the file, its source and every statistic as one JSON object on the standard
// output.
// The ground under a track from a folder of elevation tiles (info --dem DIR): heights in metres,
// NaN where no tile covers the track, and what is missing.
struct TerrainNumbers {
    std::string folder;
    GroundAlong ground;
};
// The elevation tiles' folder of a command: --dem DIR taken out of args, else $VORLAN_DEM;
// empty for none. False with the problem for a --dem without a folder.
bool TakeDemOption(std::vector<std::string>& args, std::string& folder, std::string& problem);
// Whether this run needs the tiles, which a companion program linked with GDAL reads (so that
// the other commands start without loading it): info with --dem or $VORLAN_DEM, render --plot stl.
bool WantsTerrain(const std::vector<std::string>& args);
// Runs the companion program with these arguments in place of this one and returns only when
// that fails (with 1, after saying why); -1 in the companion itself, which reads the tiles.
int RelayToTerrainProgram(char** argv);
// The ground under the record's points from the folder's tiles; false with the problem when
// the folder cannot be read.
bool MeasureTerrain(const std::string& folder, const CTrackRecord& record, TerrainNumbers& numbers,
                    std::string& problem);
// The terrain block of info: "Terrain (DIR):" and a line a number, then the message.
void PrintTerrain(const TerrainNumbers& terrain, Units units);
// The elevation tiles of the folder for render --plot 3d --dem; nullptr with the reason when it
// is no folder (or in vorlan-cli itself, which hands such runs on).
std::unique_ptr<CTerrainService> OpenTerrain(const std::string& folder, std::string& problem);
// render --plot stl: the ground under the record's track from the folder's tiles as a binary STL
// model (CTerrainModel) into stl. A failure names the folder: it is none, or no tile lies under
// the track; the notes say where the model's ground had no data.
CFileResult MakeTerrainModel(const std::string& folder, const CTrackRecord& record,
                             double fExaggeration, double fBaseMm, std::string& stl);

void PrintInfoJson(const std::string& path, const CTrackRecord& record,
                   const CTrackStatistics& statistics, const TerrainNumbers* pTerrain = nullptr);
// Takes the flag (an option without a value, "--utc") out of args; whether it was there.
bool TakeFlag(std::vector<std::string>& args, const char* pszFlag);
