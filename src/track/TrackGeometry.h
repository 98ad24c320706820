// The arithmetic behind the track's derived series: great-circle distance and smoothing.
// Intermediate results are kept in double precision and rounded only where a value is stored as
// float, so the stored series match earlier versions bit for bit.
#pragma once

// The track's plane offsets (CTrack::m_fSouth, m_fEast) are in tens of metres.
constexpr float kPlaneUnitsPerKm = 100.0f;

// Great-circle distance in kilometres between two points given in degrees (spherical law of
// cosines on a sphere of 6377.5 km).
double GreatCircle(float lat1, float lon1, float lat2, float lon2);

// Cosine and sine of a latitude. A point's latitude enters up to four distances of the geometry;
// computing its sine and cosine once gives the very same bits as computing them each time.
struct LatitudeTrig {
    double cosLat;
    double sinLat;
};
LatitudeTrig TrigOfLatitude(float lat);
// GreatCircle(lat1, lon1, lat2, lon2) from the latitudes' cosines and sines.
double GreatCircle(const LatitudeTrig& p1, float lon1, const LatitudeTrig& p2, float lon2);
// GreatCircle(lat1, lon, lat2, lon): along a meridian the longitude difference is exactly 0 and
// its cosine exactly 1, so the product drops that factor without changing a bit.
double MeridianArc(const LatitudeTrig& p1, const LatitudeTrig& p2);

// The inverse of the track's plane offsets: the latitude and longitude in degrees of the position
// south and east plane units from the origin (lat0, lon0), on the sphere and with the degree the
// offsets are computed with. South is along the origin's meridian, east along the great circle
// through the position's own latitude that CTrack::ComputePlane measures.
struct PlanePosition {
    double lat;
    double lon;
};
PlanePosition DegreesOfPlane(float lat0, float lon0, double south, double east);

// The length in miles of the leg between two points, as the track stores it: the great-circle
// distance times 1/1.608, rounded once to float.
float LegMiles(const LatitudeTrig& p1, float lon1, const LatitudeTrig& p2, float lon2);

// Five-point weighted smoothing of in[0..n-1] into out[0..n-1]; the arrays must not overlap.
// A leading run of values below 0.1 ft (missing elevations) is copied unchanged.
void SmoothSeries(const float* in, float* out, int n);
