#include "CTrackBuilder.h"

#include "CGeodesy.h"
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
bool HasElevation(double ele) {
    return std::isfinite(ToFeet(ele));
}

// Walks the points in file order, giving each one's distance: the running sum per segment of the
// legs from the point before, in miles on the positions as the track stores them; the first point
// of every segment adds nothing. Only the filling of elevation gaps needs it.
class DistanceWalk {
public:
    DistanceWalk(const CTrackRecord& record)
        : m_lat(record.Lat()), m_lon(record.Lon()), m_segmentStarts(record.SegmentStarts()) {}

    // Moves on to the next point, the first one on the first call.
    void Step() {
        const std::size_t i = m_next++;
        const float lat = static_cast<float>(m_lat[i]);
        const float lon = static_cast<float>(m_lon[i]);
        const LatitudeTrig here = TrigOfLatitude(lat);
        const bool bStart =
            m_nextStart < m_segmentStarts.size() && m_segmentStarts[m_nextStart] == i;
        if (bStart)
            ++m_nextStart;
        if (i != 0 && !bStart)
            m_dist = static_cast<float>(
                static_cast<double>(LegMiles(m_prev, m_prevLon, here, lon)) + m_dist);
        m_prev = here;
        m_prevLon = lon;
    }
    // The distance of the point the walk is at.
    float Dist() const { return m_dist; }

private:
    std::span<const double> m_lat;
    std::span<const double> m_lon;
    std::span<const std::uint32_t> m_segmentStarts;
    std::size_t m_next = 0;
    std::size_t m_nextStart = 0;
    LatitudeTrig m_prev{};
    float m_prevLon = 0;
    float m_dist = 0;
};

// The record's elevations with the gaps filled: a point without one between two with one gets
// it by linear interpolation along the cumulative distance; before the first and after the last
// the nearest one holds. All 0 when no point has one (bFound false). The record keeps what the
// file says.
std::vector<double> FilledElevations(const CTrackRecord& record, bool& bFound) {
    const std::size_t n = record.Size();
    std::vector<double> ele =
        record.HasElevation() ? record.Ele() : std::vector<double>(n, RecordPoint::kAbsent);
    // The distances are only needed to fill a gap between two elevations.
    std::vector<float> dist;
    const auto distances = [&]() -> const std::vector<float>& {
        if (dist.empty()) {
            dist.resize(n);
            DistanceWalk walk(record);
            for (float& d : dist) {
                walk.Step();
                d = walk.Dist();
            }
        }
        return dist;
    };
    std::size_t before = n; // the last point so far with an elevation
    for (std::size_t i = 0; i < n; ++i) {
        if (!HasElevation(ele[i]))
            continue;
        if (before == n) {
            std::fill(ele.begin(), ele.begin() + static_cast<std::ptrdiff_t>(i), ele[i]);
        } else if (i > before + 1) {
            const std::vector<float>& d = distances();
            const double d0 = d[before], span = d[i] - d0;
            const double e0 = ele[before], rise = ele[i] - e0;
            for (std::size_t j = before + 1; j < i; ++j)
                ele[j] = span > 0 ? e0 + rise * ((d[j] - d0) / span) : e0;
        }
        before = i;
    }
    bFound = before != n;
    if (!bFound)
        std::fill(ele.begin(), ele.end(), 0.0);
    else
        std::fill(ele.begin() + static_cast<std::ptrdiff_t>(before) + 1, ele.end(), ele[before]);
    return ele;
}

} // namespace

BuildResult CTrackBuilder::Build(const CTrackRecord& record, CTrack& track) {
    BuildResult result;
    bool bFound = false;
    const std::vector<double> ele = FilledElevations(record, bFound);
    result.bNoElevation = !bFound;
    const PointSpans points{record.Lat(), record.Lon(), ele};
    const std::vector<std::uint32_t> kept =
        CTrackSimplifier::Simplify(points, record.SegmentStarts(), CTrack::kMaxPoints);
    result.nKept = kept.size();
    result.bSimplified = kept.size() < points.size();

    track.Clear();
    track.m_nCount = static_cast<short>(kept.size());
    const std::vector<double> metres = CGeodesy::CumulativeMetres(record);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const std::uint32_t i = kept[k];
        track.m_nRecordIndex[k] = i;
        track.m_fLat[k] = static_cast<float>(record.Lat()[i]);
        track.m_fLon[k] = static_cast<float>(record.Lon()[i]);
        track.m_fElev[k] = ToFeet(ele[i]);
        // The distance measured on the ellipsoid from the full positions, rounded once.
        track.m_fDist[k] = static_cast<float>(metres[i] / kMetresPerMile);
    }
    track.Smooth();
    // The legs between the kept points, with the plane offsets.
    track.ComputeGeometry();
    return result;
}
