#include "CTrackBuilder.h"

#include "CTrack.h"
#include "CTrackSimplifier.h"
#include "TrackGeometry.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace {

float ToFeet(double metres) {
    return static_cast<float>(metres * kFeetPerMetre);
}

// An elevation counts when it is a number that still is one in feet.
bool HasElevation(const TrackPoint& p) {
    return std::isfinite(ToFeet(p.ele));
}

// The legs between consecutive points, in miles, on the positions as the track stores them (the
// first point's leg is 0), and their running sum per segment: the first point of every segment
// adds nothing to the distance.
struct Distances {
    std::vector<float> leg;
    std::vector<float> dist;
};

Distances SumDistances(std::span<const TrackPoint> points,
                       std::span<const std::uint32_t> segmentStarts) {
    Distances d{std::vector<float>(points.size()), std::vector<float>(points.size())};
    auto nextStart = segmentStarts.begin();
    LatitudeTrig prev{};
    float prevLon = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float lat = static_cast<float>(points[i].lat);
        const float lon = static_cast<float>(points[i].lon);
        const LatitudeTrig here = TrigOfLatitude(lat);
        const bool bStart = nextStart != segmentStarts.end() && *nextStart == i;
        if (bStart)
            ++nextStart;
        d.leg[i] = i == 0 ? 0 : LegMiles(prev, prevLon, here, lon);
        if (i == 0)
            d.dist[i] = 0;
        else if (bStart)
            d.dist[i] = d.dist[i - 1];
        else
            d.dist[i] = static_cast<float>(static_cast<double>(d.leg[i]) + d.dist[i - 1]);
        prev = here;
        prevLon = lon;
    }
    return d;
}

// Points without an elevation between two with one get it by linear interpolation along the
// cumulative distance; before the first and after the last the nearest one holds. False when no
// point has an elevation (all are then set to 0).
bool FillElevations(std::span<TrackPoint> points, const std::vector<float>& dist) {
    const std::size_t n = points.size();
    std::size_t before = n; // the last point so far with an elevation
    for (std::size_t i = 0; i < n; ++i) {
        if (!HasElevation(points[i]))
            continue;
        if (before == n) {
            for (std::size_t j = 0; j < i; ++j)
                points[j].ele = points[i].ele;
        } else {
            const double d0 = dist[before], span = dist[i] - d0;
            const double e0 = points[before].ele, rise = points[i].ele - e0;
            for (std::size_t j = before + 1; j < i; ++j)
                points[j].ele = span > 0 ? e0 + rise * ((dist[j] - d0) / span) : e0;
        }
        before = i;
    }
    if (before == n) {
        for (TrackPoint& p : points)
            p.ele = 0;
        return false;
    }
    for (std::size_t j = before + 1; j < n; ++j)
        points[j].ele = points[before].ele;
    return true;
}

} // namespace

BuildResult CTrackBuilder::Build(ReadResult& read, CTrack& track) {
    std::span<TrackPoint> points(read.points);
    const Distances d = SumDistances(points, read.segmentStarts);
    BuildResult result;
    result.bNoElevation = !FillElevations(points, d.dist);
    const std::vector<std::uint32_t> kept =
        CTrackSimplifier::Simplify(points, read.segmentStarts, CTrack::kMaxPoints);
    result.nKept = kept.size();
    result.bSimplified = kept.size() < points.size();

    track.Clear();
    track.m_nCount = static_cast<short>(kept.size());
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const TrackPoint& p = points[kept[k]];
        track.m_fLat[k] = static_cast<float>(p.lat);
        track.m_fLon[k] = static_cast<float>(p.lon);
        track.m_fElev[k] = ToFeet(p.ele);
        track.m_fDist[k] = d.dist[kept[k]];
    }
    track.Smooth();
    // Without simplification the track's legs join the same neighbours as the ones summed here.
    if (result.bSimplified) {
        track.ComputeGeometry();
    } else {
        std::copy(d.leg.begin(), d.leg.end(), track.m_fLeg);
        track.ComputeGeometryFromLegs();
    }
    return result;
}
