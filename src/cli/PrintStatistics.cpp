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

void PrintStatistics(const std::vector<StatisticsItem>& items, Units units) {
    std::printf("Statistics (%s):\n", UnitsName(units));
    for (const StatisticsItem& item : items)
        std::printf("  %s: %s\n", item.label.c_str(), item.value.c_str());
}
