#include "TrackGeometry.h"

#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kOneNinth = 0.1111111111111111;
constexpr double kLowElevation = 0.1;
constexpr double kHalfTurnDegrees = 180.0;
constexpr double kFullTurnDegrees = 360.0;
} // namespace

LatitudeTrig TrigOfLatitude(float lat) {
    const double p = lat * kDesignRadPerDeg;
    return {std::cos(p), std::sin(p)};
}

double GreatCircle(const LatitudeTrig& p1, float lon1, const LatitudeTrig& p2, float lon2) {
    const double d = (static_cast<double>(lon2) - lon1) * kDesignRadPerDeg;
    const double c = std::cos(d) * p2.cosLat * p1.cosLat + p2.sinLat * p1.sinLat;
    // Rounding can push c just past 1 for identical points; the distance is then 0.
    return std::acos(std::clamp(c, -1.0, 1.0)) * kDesignEarthRadiusKm;
}

double MeridianArc(const LatitudeTrig& p1, const LatitudeTrig& p2) {
    const double c = p2.cosLat * p1.cosLat + p2.sinLat * p1.sinLat;
    return std::acos(std::clamp(c, -1.0, 1.0)) * kDesignEarthRadiusKm;
}

float LegMiles(const LatitudeTrig& p1, float lon1, const LatitudeTrig& p2, float lon2) {
    return static_cast<float>(GreatCircle(p1, lon1, p2, lon2) * kDesignMilesPerKm);
}

// Along the parallel the offset is a great circle between two points of one latitude, so
// sin(east / 2R) = cos(lat) sin(dlon / 2) gives the longitude without the loss of acos near 1.
PlanePosition DegreesOfPlane(float lat0, float lon0, double south, double east) {
    const double planeRadius = kDesignEarthRadiusKm * kPlaneUnitsPerKm;
    const double lat = lat0 - south / planeRadius / kDesignRadPerDeg;
    const double cosLat = std::cos(lat * kDesignRadPerDeg);
    const double halfChord = std::sin(std::fabs(east) / planeRadius / 2);
    const double ratio = cosLat > halfChord ? halfChord / cosLat : 1.0;
    const double dlon = 2 * std::asin(ratio) / kDesignRadPerDeg;
    double lon = east >= 0 ? lon0 + dlon : lon0 - dlon;
    if (lon > kHalfTurnDegrees)
        lon -= kFullTurnDegrees;
    else if (lon < -kHalfTurnDegrees)
        lon += kFullTurnDegrees;
    return {lat, lon};
}

double GreatCircle(float lat1, float lon1, float lat2, float lon2) {
    return GreatCircle(TrigOfLatitude(lat1), lon1, TrigOfLatitude(lat2), lon2);
}

void SmoothSeries(const float* in, float* out, int n) {
    int k = 0;
    while (k < n - 1 && in[k] < kLowElevation) {
        out[k] = in[k];
        ++k;
    }
    if (k >= n - 3) {
        for (int j = k; j < n; ++j)
            out[j] = in[j];
        return;
    }
    const auto at = [in](int j) { return static_cast<double>(in[j]); };
    out[k] = static_cast<float>((6 * at(k) + 2 * at(k + 1) + at(k + 2)) * kOneNinth);
    out[k + 1] =
        static_cast<float>((3 * at(k) + 3 * at(k + 1) + 2 * at(k + 2) + at(k + 3)) * kOneNinth);
    out[n - 1] = static_cast<float>((6 * at(n - 1) + 2 * at(n - 2) + at(n - 3)) * kOneNinth);
    out[n - 2] =
        static_cast<float>((3 * at(n - 1) + 3 * at(n - 2) + 2 * at(n - 3) + at(n - 4)) * kOneNinth);
    for (int j = k + 2; j <= n - 3; ++j)
        out[j] = static_cast<float>(
            (at(j - 2) + 2 * at(j - 1) + 3 * at(j) + 2 * at(j + 1) + at(j + 2)) * kOneNinth);
}
