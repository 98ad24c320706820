#include "CGeodesy.h"

#include "CTrackRecord.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr double kE2 = kWgs84F * (2.0 - kWgs84F); // first eccentricity squared
} // namespace

double CGeodesy::LongitudeDifference(double lon1, double lon2) {
    double d = std::fmod(lon2 - lon1, 360.0);
    if (d > 180.0)
        d -= 360.0;
    else if (d < -180.0)
        d += 360.0;
    return d;
}

// The meridional radius M and the prime vertical radius N at the middle latitude.
double CGeodesy::FlatLegMetres(double lat1, double lon1, double lat2, double lon2) {
    const double phi = 0.5 * (lat1 + lat2) * kRadPerDeg;
    const double s = std::sin(phi);
    const double w2 = 1.0 - kE2 * s * s;
    const double w = std::sqrt(w2);
    const double n = kWgs84A / w;
    const double m = n * (1.0 - kE2) / w2;
    const double north = m * (lat2 - lat1) * kRadPerDeg;
    const double east = n * std::cos(phi) * LongitudeDifference(lon1, lon2) * kRadPerDeg;
    return std::sqrt(north * north + east * east);
}

// The central angle on the auxiliary sphere of the parametric latitudes, then Lambert's
// correction for the flattening.
double CGeodesy::AndoyerLambertMetres(double lat1, double lon1, double lat2, double lon2) {
    const double beta1 = std::atan((1.0 - kWgs84F) * std::tan(lat1 * kRadPerDeg));
    const double beta2 = std::atan((1.0 - kWgs84F) * std::tan(lat2 * kRadPerDeg));
    const double dLambda = LongitudeDifference(lon1, lon2) * kRadPerDeg;
    const double sinHalfDBeta = std::sin(0.5 * (beta2 - beta1));
    const double sinHalfDLambda = std::sin(0.5 * dLambda);
    const double h = sinHalfDBeta * sinHalfDBeta +
                     std::cos(beta1) * std::cos(beta2) * sinHalfDLambda * sinHalfDLambda;
    const double sigma = 2.0 * std::asin(std::sqrt(std::min(1.0, h)));
    if (sigma == 0.0)
        return 0.0;
    const double p = 0.5 * (beta1 + beta2);
    const double q = 0.5 * (beta2 - beta1);
    const double sinPcosQ = std::sin(p) * std::cos(q);
    const double cosPsinQ = std::cos(p) * std::sin(q);
    const double sinSigma = std::sin(sigma);
    const double cosHalf = std::cos(0.5 * sigma), sinHalf = std::sin(0.5 * sigma);
    const double x = (sigma - sinSigma) * sinPcosQ * sinPcosQ / (cosHalf * cosHalf);
    const double y = (sigma + sinSigma) * cosPsinQ * cosPsinQ / (sinHalf * sinHalf);
    return kWgs84A * (sigma - 0.5 * kWgs84F * (x + y));
}

double CGeodesy::LegMetres(double lat1, double lon1, double lat2, double lon2) {
    const double flat = FlatLegMetres(lat1, lon1, lat2, lon2);
    if (flat <= kShortLegM)
        return flat;
    return AndoyerLambertMetres(lat1, lon1, lat2, lon2);
}

std::vector<double> CGeodesy::CumulativeMetres(const CTrackRecord& record) {
    const std::vector<double>& lat = record.Lat();
    const std::vector<double>& lon = record.Lon();
    std::vector<double> dist(lat.size(), 0.0);
    const auto& starts = record.SegmentStarts();
    double total = 0;
    std::size_t nSegment = 0;
    for (std::size_t i = 0; i < lat.size(); ++i) {
        const bool bSegmentStart = nSegment < starts.size() && starts[nSegment] == i;
        if (bSegmentStart)
            ++nSegment;
        else if (i > 0)
            total += LegMetres(lat[i - 1], lon[i - 1], lat[i], lon[i]);
        dist[i] = total;
    }
    return dist;
}
