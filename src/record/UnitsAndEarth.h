// Every unit factor and earth constant of the program, each in one place. The designed ones keep
// the very values the designed arithmetic was done with (the MapSource reader's single-precision
// factors, the 6377.5 km sphere and the 1/1.608 of the designed leg lengths, the 3D box's label
// factors), so that what they give stays the same to the bit; use them only where that
// arithmetic is done. The others are exact by definition or by the WGS84 ellipsoid's.
#pragma once

// Exact by definition.
constexpr double kMetresPerFoot = 0.3048;
constexpr double kFeetPerMile = 5280.0;
constexpr double kMetresPerMile = 1609.344;
constexpr double kKmPerMile = 1.609344;
constexpr double kMetresPerInch = 0.0254;
// The factor every import that reads metres has always used (GPX, a MapSource export in metres).
constexpr double kFeetPerMetre = 3.2808399;

// The designed MapSource text reader's factors.
constexpr float kMapSourceFeetPerMile = 5280.0f;
constexpr float kMapSourceMilesPerFoot = 0.00018939393f;
constexpr double kMapSourceMilesPerMetre = 0.000621371192;
constexpr double kMapSourceMilesPerKm = 0.621371192;
constexpr float kMapSourceDegPerSecond = 0.00027777778f;
constexpr float kMapSourceDegPerMinute = 0.016666668f;

// The designed leg lengths and plane offsets: great circles on a sphere of 6377.5 km, with a
// degree of not exactly pi/180 radians, and kilometres times 1/1.608 for miles.
constexpr double kDesignEarthRadiusKm = 6377.5;
constexpr double kDesignRadPerDeg = 0.017453292520882225;
constexpr float kDesignMilesPerKm = 0.62189054f;

// The designed 3D box's labels: the box is in tens of metres across and in feet upwards.
constexpr float kBoxTensOfMetresPerMile = 160.9344f;
constexpr float kBoxMilesPerTenMetres = 0.006213712f;
constexpr float kBoxFeetPerTenMetres = 32.8084f;

// The WGS84 ellipsoid, and the radius of the sphere of the same mean (for local frames).
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;
constexpr double kMeanEarthRadiusM = 6371008.8;
