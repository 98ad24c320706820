// Distances on the WGS84 ellipsoid between the full-precision positions of a record: the leg of
// two points and the cumulative distance of every point. Used by the record's readers, the track
// built from a record, the statistics and the document.
//
// A GPS leg is short, so the ellipsoid is taken as flat around its middle with the two radii of
// curvature there: against the exact geodesic (GeographicLib), at most 1.5e-9 of a 100 m leg and
// 1.5e-7 of a 1 km leg anywhere up to 85 degrees. A longer leg (a gap in the recording) takes
// Andoyer and Lambert's correction of the sphere, within 1.5e-6 at any length.
#pragma once

#include <vector>

class CTrackRecord;

class CGeodesy {
public:
    // Beyond this a leg is not taken as flat.
    static constexpr double kShortLegM = 1000.0;

    // The difference of two longitudes in -180..180 degrees: a track across the 180th meridian
    // goes the short way round.
    static double LongitudeDifference(double lon1, double lon2);
    // Metres from one position (degrees) to the next.
    static double LegMetres(double lat1, double lon1, double lat2, double lon2);
    // The distance from the record's first point to each point, in metres; a segment's first
    // point adds nothing (a gap in the recording is no distance travelled).
    static std::vector<double> CumulativeMetres(const CTrackRecord& record);

private:
    static double FlatLegMetres(double lat1, double lon1, double lat2, double lon2);
    static double AndoyerLambertMetres(double lat1, double lon1, double lat2, double lon2);
};
