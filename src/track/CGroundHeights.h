// The ground under and around a track for the 3D view: heights in feet at positions of the
// track's plane (CTrack::m_fSouth/m_fEast units), NaN where there is none. The terrain layer
// implements it (CTrackGround); the chart only sees this interface, so that it needs no GDAL.
#pragma once

class CGroundHeights {
public:
    virtual ~CGroundHeights() = default;
    // An nRows x nCols grid evenly spaced over [fSouthMin, fSouthMax] x [fEastMin, fEastMax]
    // (row 0 at fSouthMin, column 0 at fEastMin) into pFeet[row * nCols + col].
    virtual void GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax,
                          int nRows, int nCols, float* pFeet) = 0;
};
