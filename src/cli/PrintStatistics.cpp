// The statistics part of vorlan-cli info and the --units option that info and render share.
#include "CTrackStatistics.h"
#include "CliCommands.h"

#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool TakeUnitsOption(std::vector<std::string>& args, Units& units, std::string& problem) {
    // After "--" every argument is a file, even one named "--units".
    const auto end = std::find(args.begin(), args.end(), kOptionsEnd);
    const auto it = std::find(args.begin(), end, "--units");
    if (it == end)
        return true;
    if (it + 1 == end || !ParseUnits(*(it + 1), units)) {
        problem = "--units must be metric or imperial";
        return false;
    }
    args.erase(it, it + 2);
    return true;
}

bool TakeDemOption(std::vector<std::string>& args, std::string& folder, std::string& problem) {
    const auto end = std::find(args.begin(), args.end(), kOptionsEnd);
    const auto it = std::find(args.begin(), end, "--dem");
    if (it == end) {
        const char* pszEnv = std::getenv("VORLAN_DEM");
        folder = pszEnv ? pszEnv : "";
        return true;
    }
    if (it + 1 == end) {
        problem = "--dem needs the folder of the elevation tiles";
        return false;
    }
    folder = *(it + 1);
    args.erase(it, it + 2);
    return true;
}

bool WantsTerrain(const std::vector<std::string>& args) {
    if (args.empty() || (args[0] != "info" && args[0] != "render"))
        return false;
    const auto end = std::find(args.begin(), args.end(), kOptionsEnd);
    if (args[0] == "render") {
        const auto plot = std::find(args.begin(), end, "--plot");
        return (plot != end && plot + 1 != end && *(plot + 1) == "stl") ||
               std::find(args.begin(), end, "--dem") != end;
    }
    const char* pszEnv = std::getenv("VORLAN_DEM");
    return std::find(args.begin(), end, "--dem") != end || (pszEnv && *pszEnv);
}

void PrintTerrain(const TerrainNumbers& terrain, Units units) {
    std::printf("Terrain (%s):\n", terrain.folder.c_str());
    const auto line = [units](const char* pszLabel, double metres) {
        if (!std::isnan(metres))
            std::printf("  %s: %s\n", pszLabel,
                        FormatElevation(units, metres * kFeetPerMetre).c_str());
    };
    line("Lowest ground", terrain.ground.lowestM);
    line("Highest ground", terrain.ground.highestM);
    if (!std::isnan(terrain.ground.lowestM)) {
        line("Terrain ascent", terrain.ground.ascentM);
        line("Terrain descent", terrain.ground.descentM);
    }
    if (!terrain.ground.message.empty())
        std::printf("  %s\n", terrain.ground.message.c_str());
}

bool TakeFlag(std::vector<std::string>& args, const char* pszFlag) {
    const auto end = std::find(args.begin(), args.end(), kOptionsEnd);
    const auto it = std::find(args.begin(), end, pszFlag);
    if (it == end)
        return false;
    args.erase(it);
    return true;
}

void PrintStatistics(const std::vector<StatisticsItem>& items, Units units) {
    std::printf("Statistics (%s):\n", UnitsName(units));
    for (const StatisticsItem& item : items)
        std::printf("  %s: %s\n", item.label.c_str(), item.value.c_str());
}

void PrintLaps(const CTrackStatistics& statistics, Units units) {
    const std::vector<std::vector<std::string>> rows = statistics.LapTable(units);
    if (rows.empty())
        return;
    const std::vector<std::string> columns = CTrackStatistics::LapColumns();
    std::vector<std::size_t> widths(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        widths[c] = columns[c].size();
        for (const std::vector<std::string>& row : rows)
            widths[c] = std::max(widths[c], row[c].size());
    }
    const auto print = [&widths](const std::vector<std::string>& cells) {
        std::string line = " ";
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line.append(1 + widths[c] - cells[c].size(), ' ');
            line += cells[c];
        }
        std::printf("%s\n", line.c_str());
    };
    std::printf("Laps:\n");
    print(columns);
    for (const std::vector<std::string>& row : rows)
        print(row);
}
