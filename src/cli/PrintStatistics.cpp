// The statistics part of vorlan-cli info and the --units option that info and render share.
#include "CTrackStatistics.h"
#include "CliCommands.h"

#include <algorithm>
#include <cstdio>

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
