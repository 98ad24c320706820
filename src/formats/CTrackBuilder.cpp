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

// Walks the points in file order, giving each one's leg from the point before, in miles on the
// positions as the track stores them (the first point's leg is 0), and the running sum of the
// legs per segment: the first point of every segment adds nothing to the distance. Walking again
// instead of keeping every point's distance saves a big file's import a sixth of its memory.
class DistanceWalk {
public:
    DistanceWalk(std::span<const TrackPoint> points, std::span<const std::uint32_t> segmentStarts)
        : m_points(points), m_segmentStarts(segmentStarts) {}

    // Moves on to the next point, the first one on the first call.
    void Step() {
        const std::size_t i = m_next++;
        const float lat = static_cast<float>(m_points[i].lat);
        const float lon = static_cast<float>(m_points[i].lon);
        const LatitudeTrig here = TrigOfLatitude(lat);
        const bool bStart =
            m_nextStart < m_segmentStarts.size() && m_segmentStarts[m_nextStart] == i;
        if (bStart)
            ++m_nextStart;
        m_leg = i == 0 ? 0 : LegMiles(m_prev, m_prevLon, here, lon);
        if (i != 0 && !bStart)
            m_dist = static_cast<float>(static_cast<double>(m_leg) + m_dist);
        m_prev = here;
        m_prevLon = lon;
    }
    // The point the walk is at, and its leg and distance.
    std::size_t At() const { return m_next - 1; }
    float Leg() const { return m_leg; }
    float Dist() const { return m_dist; }

private:
    std::span<const TrackPoint> m_points;
    std::span<const std::uint32_t> m_segmentStarts;
    std::size_t m_next = 0;
    std::size_t m_nextStart = 0;
    LatitudeTrig m_prev{};
    float m_prevLon = 0;
    float m_leg = 0;
    float m_dist = 0;
};

// Points without an elevation between two with one get it by linear interpolation along the
// cumulative distance; before the first and after the last the nearest one holds. False when no
// point has an elevation (all are then set to 0).
bool FillElevations(std::span<TrackPoint> points, std::span<const std::uint32_t> segmentStarts) {
    const std::size_t n = points.size();
    std::vector<float> dist(n);
    DistanceWalk walk(points, segmentStarts);
    for (float& d : dist) {
        walk.Step();
        d = walk.Dist();
    }
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
    BuildResult result;
    result.bNoElevation = !FillElevations(points, read.segmentStarts);
    const std::vector<std::uint32_t> kept =
        CTrackSimplifier::Simplify(points, read.segmentStarts, CTrack::kMaxPoints);
    result.nKept = kept.size();
    result.bSimplified = kept.size() < points.size();

    track.Clear();
    track.m_nCount = static_cast<short>(kept.size());
    DistanceWalk walk(points, read.segmentStarts);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        do
            walk.Step();
        while (walk.At() < kept[k]);
        const TrackPoint& p = points[kept[k]];
        track.m_fLat[k] = static_cast<float>(p.lat);
        track.m_fLon[k] = static_cast<float>(p.lon);
        track.m_fElev[k] = ToFeet(p.ele);
        track.m_fDist[k] = walk.Dist();
        track.m_fLeg[k] = walk.Leg();
    }
    track.Smooth();
    // Without simplification the track's legs join the same neighbours as the ones walked here.
    if (result.bSimplified)
        track.ComputeGeometry();
    else
        track.ComputeGeometryFromLegs();
    return result;
}
