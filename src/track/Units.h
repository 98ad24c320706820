// The units the user reads numbers in: imperial (feet and miles, the default) or metric (metres
// and kilometres). The track and the document file always hold feet and miles; the chart, the
// statistics and the cursor readout convert only what they show.
#pragma once

#include "UnitsAndEarth.h"

#include <string>
#include <string_view>

enum class Units { imperial, metric };

// An elevation or height difference given in feet, in the display unit (ft or m).
double ElevationIn(Units units, double feet);
// A distance given in miles, in the display unit (mi or km).
double DistanceIn(Units units, double miles);
// A distance in the display unit, back in miles.
double MilesFrom(Units units, double distance);

// "ft" or "m".
const char* ElevationUnit(Units units);
// "mi" or "km".
const char* DistanceUnit(Units units);
// The chart's word for the distance unit: "miles" or "km".
const char* DistanceUnitWord(Units units);

// "1234 ft", "376 m": whole units.
std::string FormatElevation(Units units, double feet);
// "2.31 mi", "3.72 km": two decimals.
std::string FormatDistance(Units units, double miles);

// "imperial" or "metric", as the command line and settings spell them.
const char* UnitsName(Units units);
// Reads a name that UnitsName gives; false (units unchanged) for anything else.
bool ParseUnits(std::string_view name, Units& units);
