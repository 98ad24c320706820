#include "CTrackGround.h"

#include "CElevationTiles.h"
#include "CTrack.h"
#include "TrackGeometry.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {
// The k-th of n values spread evenly from lo to hi, both included.
double Spread(float lo, float hi, int k, int n) {
    return n > 1 ? lo + (static_cast<double>(hi) - lo) * k / (n - 1) : lo;
}
} // namespace

CTrackGround::CTrackGround(CElevationTiles& tiles, const CTrack& track)
    : m_tiles(tiles), m_track(track) {}

void CTrackGround::GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax,
                            int nRows, int nCols, float* pFeet) {
    if (nRows < 1 || nCols < 1)
        return;
    const Grid grid{.fSouthMin = fSouthMin,
                    .fSouthMax = fSouthMax,
                    .fEastMin = fEastMin,
                    .fEastMax = fEastMax,
                    .nRows = nRows,
                    .nCols = nCols,
                    .nPoints = m_track.m_nCount,
                    .fLat0 = m_track.m_fLat[0],
                    .fLon0 = m_track.m_fLon[0]};
    if (grid != m_grid)
        Sample(grid);
    std::copy(m_feet.begin(), m_feet.end(), pFeet);
}

void CTrackGround::Sample(const Grid& grid) {
    const std::size_t n = static_cast<std::size_t>(grid.nRows) * grid.nCols;
    m_grid = grid;
    m_feet.assign(n, std::numeric_limits<float>::quiet_NaN());
    if (grid.nPoints < 1)
        return;
    m_lat.resize(n);
    m_lon.resize(n);
    m_metres.resize(n);
    for (int row = 0; row < grid.nRows; ++row) {
        const double south = Spread(grid.fSouthMin, grid.fSouthMax, row, grid.nRows);
        for (int col = 0; col < grid.nCols; ++col) {
            const std::size_t i = static_cast<std::size_t>(row) * grid.nCols + col;
            const PlanePosition p =
                DegreesOfPlane(grid.fLat0, grid.fLon0, south,
                               Spread(grid.fEastMin, grid.fEastMax, col, grid.nCols));
            m_lat[i] = p.lat;
            m_lon[i] = p.lon;
        }
    }
    m_tiles.HeightsAt(m_lat, m_lon, m_metres);
    for (std::size_t i = 0; i < n; ++i)
        m_feet[i] = static_cast<float>(m_metres[i] * kFeetPerMetre);
}
