#include "Units.h"

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
