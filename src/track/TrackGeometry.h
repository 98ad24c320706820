// The arithmetic behind the track's derived series: great-circle distance and smoothing.
// Intermediate results are kept in double precision and rounded only where a value is stored as
// float, so the stored series match earlier versions bit for bit.
#pragma once

// Great-circle distance in kilometres between two points given in degrees (spherical law of
// cosines on a sphere of 6377.5 km).
double GreatCircle(float lat1, float lon1, float lat2, float lon2);

// Five-point weighted smoothing of in[0..n-1] into out[0..n-1]; the arrays must not overlap.
// A leading run of values below 0.1 ft (missing elevations) is copied unchanged.
void SmoothSeries(const float* in, float* out, int n);
