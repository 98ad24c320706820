// The ground of a folder of elevation tiles as the 3D view asks for it: heights in feet on a grid
// of the track's plane, whose origin is the track's first point. The last grid is kept, so that
// a repaint with the same box, grid size and track origin reads no tile. Make a new one when the
// folder changes.
#pragma once

#include "CGroundHeights.h"

#include <vector>

class CElevationTiles;
class CTrack;

class CTrackGround : public CGroundHeights {
public:
    CTrackGround(CElevationTiles& tiles, const CTrack& track);

    void GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax, int nRows,
                  int nCols, float* pFeet) override;

private:
    struct Grid {
        float fSouthMin = 0, fSouthMax = 0, fEastMin = 0, fEastMax = 0;
        int nRows = 0, nCols = 0;
        int nPoints = 0;
        float fLat0 = 0, fLon0 = 0;
        bool operator==(const Grid&) const = default;
    };

    void Sample(const Grid& grid);

    CElevationTiles& m_tiles;
    const CTrack& m_track;
    Grid m_grid;
    std::vector<float> m_feet;
    std::vector<double> m_lat, m_lon, m_metres;
};
