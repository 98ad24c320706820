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

// "12.3 mph", "19.8 km/h": a speed given in metres a second, one decimal.
std::string FormatSpeed(Units units, double metresPerSecond);
// "8:32 min/mi", "5:18 min/km": the time a mile or a kilometre takes at that speed.
std::string FormatPace(Units units, double metresPerSecond);
// "1234 ft/h", "376 m/h": a climbing rate given in feet an hour.
std::string FormatClimbRate(Units units, double feetPerHour);
// "64.4 °F", "18.0 °C": a temperature given in degrees Celsius, one decimal.
std::string FormatTemperature(Units units, double celsius);

// "imperial" or "metric", as the command line and settings spell them.
const char* UnitsName(Units units);
// Reads a name that UnitsName gives; false (units unchanged) for anything else.
bool ParseUnits(std::string_view name, Units& units);
