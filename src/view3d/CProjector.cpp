#include "CProjector.h"

#include <cmath>

namespace {
// Degrees to radians as the camera has always converted them: a ten-decimal pi, then 1/180.
constexpr double kPi = 3.1415926536;
constexpr double kOneOver180 = 0.005555555555555556;

float ToRadians(float fDegrees) {
    return static_cast<float>(fDegrees * kPi * kOneOver180);
}
} // namespace

void CProjector::SetView(float fAzimuth, float fElevation, float fDistance) {
    m_fAzimuthRad = ToRadians(fAzimuth);
    m_fElevationRad = ToRadians(fElevation);
    m_fDistance = fDistance;

    // The sines and cosines come from the stored (float) radians; the products are formed from
    // the unrounded values and rounded once, when stored.
    const double sinAz = std::sin(static_cast<double>(m_fAzimuthRad));
    const double cosAz = std::cos(static_cast<double>(m_fAzimuthRad));
    const double sinEl = std::sin(static_cast<double>(m_fElevationRad));
    const double cosEl = std::cos(static_cast<double>(m_fElevationRad));
    m_fSinAz = static_cast<float>(sinAz);
    m_fCosAz = static_cast<float>(cosAz);
    m_fSinEl = static_cast<float>(sinEl);
    m_fCosEl = static_cast<float>(cosEl);
    m_fCosAzSinEl = static_cast<float>(cosAz * sinEl);
    m_fSinAzSinEl = static_cast<float>(sinAz * sinEl);
    m_fCosAzCosEl = static_cast<float>(cosAz * cosEl);
    m_fSinAzCosEl = static_cast<float>(sinAz * cosEl);

    m_fFocal = static_cast<float>(fDistance * 0.5);

    // The eye used to judge which box faces are seen. Its x and y leave out cos(elevation), so
    // the side faces are judged as if the camera stood level with the origin.
    m_fEyeX = static_cast<float>(fDistance * cosAz);
    m_fEyeY = static_cast<float>(fDistance * sinAz);
    m_fEyeZ = static_cast<float>(fDistance * sinEl);
}

void CProjector::Project(float x, float y, float z) {
    m_fPointX = x;
    m_fPointY = y;
    m_fPointZ = z;

    const double dx = x;
    const double dy = y;
    const double dz = z;
    m_fViewX = static_cast<float>(dy * m_fCosAz - dx * m_fSinAz);
    m_fViewY = static_cast<float>(dz * m_fCosEl - (dx * m_fCosAzSinEl + dy * m_fSinAzSinEl));
    m_fDepth =
        static_cast<float>(m_fDistance - (dx * m_fCosAzCosEl + dy * m_fSinAzCosEl + dz * m_fSinEl));

    // A point on (or within one unit of) the camera plane would divide by almost nothing; it is
    // divided by +1 instead. Points further behind the camera keep their negative depth and
    // land mirrored through the centre.
    if (!(std::fabs(m_fDepth) >= 1.0f))
        m_fDepth = 1.0f;

    m_fProjX = static_cast<float>(static_cast<double>(m_fViewX) / m_fDepth * m_fFocal);
    m_fProjY = static_cast<float>(static_cast<double>(m_fViewY) / m_fDepth * m_fFocal);
}
