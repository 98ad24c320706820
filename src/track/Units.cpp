#include "Units.h"

#include <cmath>
#include <cstdio>

double ElevationIn(Units units, double feet) {
    return units == Units::metric ? feet * kMetresPerFoot : feet;
}

double DistanceIn(Units units, double miles) {
    return units == Units::metric ? miles * kKmPerMile : miles;
}

double MilesFrom(Units units, double distance) {
    return units == Units::metric ? distance / kKmPerMile : distance;
}

const char* ElevationUnit(Units units) {
    return units == Units::metric ? "m" : "ft";
}

const char* DistanceUnit(Units units) {
    return units == Units::metric ? "km" : "mi";
}

const char* DistanceUnitWord(Units units) {
    return units == Units::metric ? "km" : "miles";
}

std::string FormatElevation(Units units, double feet) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f %s", ElevationIn(units, feet), ElevationUnit(units));
    return text;
}

std::string FormatDistance(Units units, double miles) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s", DistanceIn(units, miles), DistanceUnit(units));
    return text;
}

std::string FormatSpeed(Units units, double metresPerSecond) {
    const double perHour = metresPerSecond * 3600.0 / kMetresPerMile;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", DistanceIn(units, perHour),
                  units == Units::metric ? "km/h" : "mph");
    return text;
}

std::string FormatPace(Units units, double metresPerSecond) {
    const double unitMetres = units == Units::metric ? 1000.0 : kMetresPerMile;
    const long seconds = std::lround(unitMetres / metresPerSecond);
    char text[64];
    std::snprintf(text, sizeof text, "%ld:%02ld min/%s", seconds / 60, seconds % 60,
                  DistanceUnit(units));
    return text;
}

std::string FormatClimbRate(Units units, double feetPerHour) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f %s/h", ElevationIn(units, feetPerHour),
                  ElevationUnit(units));
    return text;
}

std::string FormatTemperature(Units units, double celsius) {
    char text[64];
    if (units == Units::metric)
        std::snprintf(text, sizeof text, "%.1f \u00b0C", celsius);
    else
        std::snprintf(text, sizeof text, "%.1f \u00b0F", celsius * 9.0 / 5.0 + 32.0);
    return text;
}

const char* UnitsName(Units units) {
    return units == Units::metric ? "metric" : "imperial";
}

bool ParseUnits(std::string_view name, Units& units) {
    if (name == "imperial")
        units = Units::imperial;
    else if (name == "metric")
        units = Units::metric;
    else
        return false;
    return true;
}
