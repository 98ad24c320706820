// The perspective camera of the 3D plot: set the view once per layout, then project points one
// at a time and read the result from m_fProjX/m_fProjY. Owned by CPlot.
#pragma once

class CProjector {
public:
    CProjector() = default;
    virtual ~CProjector() = default;

    // Azimuth and elevation in degrees, camera distance in data units.
    void SetView(float fAzimuth, float fElevation, float fDistance);
    void Project(float x, float y, float z);

    float m_fAzimuthRad = 0;
    float m_fElevationRad = 0;
    float m_fDistance = 0;
    float m_fFocal = 0;
    float m_fSinAz = 0;
    float m_fSinEl = 0;
    float m_fCosAzSinEl = 0;
    float m_fSinAzSinEl = 0;
    float m_fCosAzCosEl = 0;
    float m_fSinAzCosEl = 0;
    float m_fCosAz = 0;
    float m_fCosEl = 0;
    float m_fViewX = 0;
    float m_fViewY = 0;
    float m_fDepth = 0;
    float m_fPointX = 0;
    float m_fPointY = 0;
    float m_fPointZ = 0;
    float m_fProjX = 0;
    float m_fProjY = 0;
    float m_fEyeX = 0;
    float m_fEyeY = 0;
    float m_fEyeZ = 0;
};
