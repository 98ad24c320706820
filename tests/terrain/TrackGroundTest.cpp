// The 3D view's ground from a folder of tiles: a plane's heights in feet at the grid's plane
// positions, NaN beyond the tiles, and the last grid kept for a repaint of the same box and size.
#include "CElevationTiles.h"
#include "CTrack.h"
#include "CTrackGround.h"
#include "ScratchDir.h"
#include "TileSquare.h"
#include "TileWriter.h"
#include "TrackGeometry.h"
#include "UnitsAndEarth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {
double Plane(double lat, double lon) {
    return 500 + 2000 * (lat - 47) + 1000 * (lon - 11);
}

void WritePlaneTile(const ScratchDir& dir, int nLat, int nLon) {
    WriteGeoTiff(dir.File(TileSquare{nLat, nLon}.Name() + ".tif"),
                 GeoTiffOf(nLat, nLon, 120, true, true, Plane));
}

// Rows 900 plane units (9 km) north, level with and south of the origin; columns from 12 km
// west to 24 km east, the last beyond the tile, in N47E012.
constexpr float kSouth[2] = {-900, 900};
constexpr float kEast[2] = {-1200, 2400};
constexpr int kRows = 3;

std::vector<float> Grid(CTrackGround& ground, int nCols) {
    std::vector<float> feet(static_cast<size_t>(kRows * nCols), -1.0f);
    ground.GridFeet(kSouth[0], kSouth[1], kEast[0], kEast[1], kRows, nCols, feet.data());
    return feet;
}
} // namespace

TEST(TrackGround, PlaneHeightsInFeetAtThePlanePositionsAndOnlyWhereTilesAre) {
    ScratchDir dir;
    WritePlaneTile(dir, 47, 11);
    CElevationTiles tiles(dir.Path());
    auto track = std::make_unique<CTrack>();
    track->m_nCount = 1;
    track->m_fLat[0] = 47.5f;
    track->m_fLon[0] = 11.8f;
    CTrackGround ground(tiles, *track);

    const std::vector<float> feet = Grid(ground, 4);
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < 4; ++col) {
            const float fSouth = kSouth[0] + (kSouth[1] - kSouth[0]) * row / (kRows - 1);
            const float fEast = kEast[0] + (kEast[1] - kEast[0]) * col / 3;
            const PlanePosition p = DegreesOfPlane(47.5f, 11.8f, fSouth, fEast);
            const float got = feet[static_cast<size_t>(row * 4 + col)];
            if (col == 3)
                EXPECT_TRUE(std::isnan(got)) << row;
            else
                EXPECT_NEAR(got, Plane(p.lat, p.lon) * kFeetPerMetre, 1e-3) << row << ", " << col;
        }
    EXPECT_NEAR(feet[4 + 1], Plane(47.5, 11.8) * kFeetPerMetre, 1e-3);

    // The same box and size again reads no tile, not even one that came since.
    WritePlaneTile(dir, 47, 12);
    ASSERT_TRUE(tiles.Refresh());
    EXPECT_TRUE(std::isnan(Grid(ground, 4)[3]));
    EXPECT_FALSE(std::isnan(Grid(ground, 5)[4]));
}
