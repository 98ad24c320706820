// The perspective camera: view set-up, projection and the clamp of points on the camera plane.
#include "CProjector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
// Values are checked to four decimals.
constexpr double kTol = 0.00005;

TEST(ProjectorTest, OriginProjectsToCentreAtFullDepth) {
    CProjector proj;
    proj.SetView(30, 20, 1000);
    proj.Project(0, 0, 0);
    EXPECT_EQ(proj.m_fProjX, 0.0f);
    EXPECT_EQ(proj.m_fProjY, 0.0f);
    EXPECT_EQ(proj.m_fDepth, 1000.0f);
}

TEST(ProjectorTest, CameraOnXAxis) {
    CProjector proj;
    proj.SetView(0, 0, 1000);
    proj.Project(100, 200, 300);
    EXPECT_EQ(proj.m_fPointX, 100.0f);
    EXPECT_EQ(proj.m_fPointY, 200.0f);
    EXPECT_EQ(proj.m_fPointZ, 300.0f);
    EXPECT_NEAR(proj.m_fViewX, 200.0, kTol);
    EXPECT_NEAR(proj.m_fViewY, 300.0, kTol);
    EXPECT_NEAR(proj.m_fDepth, 900.0, kTol);
    EXPECT_NEAR(proj.m_fProjX, 111.1111, kTol);
    EXPECT_NEAR(proj.m_fProjY, 166.6667, kTol);
}

TEST(ProjectorTest, DefaultViewAngles) {
    CProjector proj;
    proj.SetView(30, 20, 1000);
    EXPECT_EQ(proj.m_fDistance, 1000.0f);
    EXPECT_EQ(proj.m_fFocal, 500.0f);
    EXPECT_NEAR(proj.m_fEyeX, 866.0254, kTol);
    EXPECT_NEAR(proj.m_fEyeY, 500.0, kTol);
    EXPECT_NEAR(proj.m_fEyeZ, 342.0201, kTol);
    EXPECT_NEAR(proj.m_fSinAz, 0.5, kTol);
    EXPECT_NEAR(proj.m_fCosAzSinEl, 0.2962, kTol);
    EXPECT_NEAR(proj.m_fSinAzCosEl, 0.4698, kTol);

    proj.Project(100, 200, 300);
    EXPECT_NEAR(proj.m_fViewX, 123.2051, kTol);
    EXPECT_NEAR(proj.m_fViewY, 218.0860, kTol);
    EXPECT_NEAR(proj.m_fDepth, 722.0449, kTol);
    EXPECT_NEAR(proj.m_fProjX, 85.3168, kTol);
    EXPECT_NEAR(proj.m_fProjY, 151.0197, kTol);
}

// At azimuth 0 and elevation 0 the camera stands at (1000, 0, 0); a point at x = 1000 + d has
// depth -d and u = y.
TEST(ProjectorTest, PointsNearCameraPlaneAreDividedByOne) {
    CProjector proj;
    proj.SetView(0, 0, 1000);
    for (const float x : {1000.0f, 1000.5f, 999.25f}) {
        proj.Project(x, 50, 0);
        EXPECT_EQ(proj.m_fDepth, 1.0f) << x;
        EXPECT_EQ(proj.m_fProjX, 25000.0f) << x;
    }
    proj.Project(std::numeric_limits<float>::quiet_NaN(), 50, 0);
    EXPECT_EQ(proj.m_fDepth, 1.0f);
}

TEST(ProjectorTest, PointBehindCameraIsMirrored) {
    CProjector proj;
    proj.SetView(0, 0, 1000);
    proj.Project(1002, 50, 20);
    EXPECT_EQ(proj.m_fDepth, -2.0f);
    EXPECT_EQ(proj.m_fProjX, -12500.0f);
    EXPECT_EQ(proj.m_fProjY, -5000.0f);
}

TEST(ProjectorTest, StraightDownKeepsLevelEye) {
    CProjector proj;
    proj.SetView(30, 90, 1000);
    proj.Project(100, 200, 300);
    const double cosAz = std::cos(30 * 3.1415926536 / 180);
    EXPECT_NEAR(proj.m_fViewY, -(100 * cosAz + 200 * 0.5), 0.0005);
    EXPECT_NEAR(proj.m_fDepth, 700.0, 0.0005);
    EXPECT_NEAR(proj.m_fEyeX, 866.0254, kTol);
    EXPECT_NEAR(proj.m_fEyeY, 500.0, kTol);
    EXPECT_NEAR(proj.m_fEyeZ, 1000.0, kTol);
}

TEST(ProjectorTest, ZeroDistanceProjectsEverythingToCentre) {
    CProjector proj;
    proj.SetView(30, 20, 0);
    EXPECT_EQ(proj.m_fFocal, 0.0f);
    proj.Project(100, 200, 300);
    EXPECT_EQ(proj.m_fProjX, 0.0f);
    EXPECT_EQ(proj.m_fProjY, 0.0f);
}
} // namespace
