// Leg distances, plane offsets, widened bounds and smoothing of a track.
#include "TrackGeometry.h"
#include "CTrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<CTrack> TrackOf(const std::vector<float>& lat, const std::vector<float>& lon,
                                const std::vector<float>& elev) {
    auto track = std::make_unique<CTrack>();
    track->m_nCount = static_cast<short>(lat.size());
    for (size_t i = 0; i < lat.size(); ++i) {
        track->m_fLat[i] = lat[i];
        track->m_fLon[i] = lon[i];
        track->m_fElev[i] = elev[i];
    }
    track->ComputeGeometry();
    return track;
}

std::vector<float> Smoothed(const std::vector<float>& in) {
    std::vector<float> out(in.size(), -1.0f);
    SmoothSeries(in.data(), out.data(), static_cast<int>(in.size()));
    return out;
}

TEST(GreatCircle, OneDegreeOfLatitudeOnTheSphereOfTheTrack) {
    // 6377.5 km radius and the program's own degree factor.
    EXPECT_DOUBLE_EQ(std::acos(std::cos(0.017453292520882225)) * 6377.5,
                     GreatCircle(0.0f, 0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(111.308, GreatCircle(0.0f, 0.0f, 1.0f, 0.0f), 0.001);
}

TEST(GreatCircle, IdenticalPointsGiveZeroNeverNaN) {
    const float lats[] = {47.64897f, -33.8688f, 0.0f, 89.99f, 12.3456789f};
    for (float lat : lats)
        for (float lon : {-122.34811f, 151.2093f, 0.0f, 179.999f}) {
            const double d = GreatCircle(lat, lon, lat, lon);
            EXPECT_FALSE(std::isnan(d));
            EXPECT_GE(d, 0.0);
            EXPECT_LT(d, 1e-3);
        }
}

TEST(TrackGeometry, LegsAndOffsetsFollowTheFirstPoint) {
    auto t = TrackOf({47.0f, 47.01f, 46.99f, 47.0f}, {-122.0f, -122.0f, -121.99f, -122.01f},
                     {100, 110, 120, 130});
    EXPECT_EQ(0.0f, t->m_fLeg[0]);
    EXPECT_EQ(static_cast<float>(GreatCircle(47.0f, -122.0f, 47.01f, -122.0f) *
                                 static_cast<double>(0.62189054f)),
              t->m_fLeg[1]);
    EXPECT_EQ(0.0f, t->m_fSouth[0]);
    EXPECT_EQ(0.0f, t->m_fEast[0]);
    EXPECT_LT(t->m_fSouth[1], 0.0f); // north of the first point
    EXPECT_GT(t->m_fSouth[2], 0.0f); // south of it
    EXPECT_GT(t->m_fEast[2], 0.0f);  // east
    EXPECT_LT(t->m_fEast[3], 0.0f);  // west
    EXPECT_EQ(0.0f, t->m_fSouth[3]); // same latitude: positive zero
    EXPECT_FALSE(std::signbit(t->m_fSouth[3]));
    EXPECT_EQ(static_cast<float>(GreatCircle(47.0f, -122.0f, 47.01f, -122.0f) * 100.0f),
              -t->m_fSouth[1]);
    EXPECT_NEAR(111.3, -t->m_fSouth[1], 0.1); // 1.113 km in units of 10 m
}

TEST(TrackGeometry, EmptyAndSinglePointTracks) {
    for (int n : {0, 1}) {
        auto t = std::make_unique<CTrack>();
        t->m_nCount = static_cast<short>(n);
        t->m_fElev[0] = 250.0f;
        t->m_fLat[0] = 10.0f;
        t->m_fLon[0] = 20.0f;
        t->ComputeGeometry();
        EXPECT_EQ(0.0f, t->m_fLeg[0]);
        EXPECT_EQ(0.0f, t->m_fSouth[0]);
        EXPECT_EQ(0.0f, t->m_fEast[0]);
        EXPECT_EQ(0.0f, t->m_fRange[0][0]);
        EXPECT_EQ(0.0f, t->m_fRange[0][1]);
        EXPECT_EQ(0.0f, t->m_fRange[1][0]);
        EXPECT_EQ(0.0f, t->m_fRange[1][1]);
        EXPECT_EQ(250.0f, t->m_fRange[2][0]);
        EXPECT_EQ(250.0f, t->m_fRange[2][1]);
    }
}

TEST(TrackGeometry, BoundsWidenByATenthDownAndElevenHundredthsUp) {
    auto t = TrackOf({1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}, {0.0f, 100.0f, 50.0f});
    EXPECT_EQ(-10.0f, t->m_fRange[2][0]);
    EXPECT_EQ(111.0f, t->m_fRange[2][1]);
    // The z bounds are those of the raw elevation, not of the smoothed series.
    auto u = TrackOf({1.0f, 1.001f, 1.002f}, {1.0f, 1.0f, 1.0f}, {500.0f, 500.0f, 500.0f});
    EXPECT_EQ(500.0f, u->m_fRange[2][0]);
    EXPECT_EQ(500.0f, u->m_fRange[2][1]);
    // Going north the south offsets fall below the first point's 0.
    const double f = 0.1f;
    const float lo = u->m_fSouth[2];
    const float widenedLo = static_cast<float>(lo - f * (0.0 - lo));
    EXPECT_EQ(widenedLo, u->m_fRange[0][0]);
    EXPECT_EQ(static_cast<float>(0.0 + f * (0.0 - widenedLo)), u->m_fRange[0][1]);
}

// Plane offsets of points up to about 30 km from the origin come back as their degrees within
// 0.2 m: north and south, east and west, far north, and across the 180th meridian. The offsets
// themselves are no better close to the origin's meridian, where they take acos of almost 1.
TEST(TrackGeometry, PlaneOffsetsBackToDegrees) {
    const struct {
        float lat0, lon0;
    } origins[] = {{47.6f, -122.3f}, {-33.9f, 151.2f}, {69.7f, 18.9f}, {-16.5f, 179.9f}};
    for (const auto& o : origins) {
        std::vector<float> lat{o.lat0}, lon{o.lon0};
        for (const double dlat : {-0.27, -0.004, 0.0, 0.13, 0.26})
            for (const double dlon : {-0.41, -0.0007, 0.0, 0.19, 0.38}) {
                lat.push_back(static_cast<float>(o.lat0 + dlat));
                const double l = o.lon0 + dlon;
                lon.push_back(static_cast<float>(l > 180 ? l - 360 : l));
            }
        auto t = TrackOf(lat, lon, std::vector<float>(lat.size(), 0.0f));
        for (size_t i = 0; i < lat.size(); ++i) {
            const PlanePosition p = DegreesOfPlane(o.lat0, o.lon0, t->m_fSouth[i], t->m_fEast[i]);
            const double metresPerDegree = 111195.0;
            double dlon = p.lon - lon[i];
            dlon -= 360 * std::round(dlon / 360);
            EXPECT_NEAR(p.lat, lat[i], 0.01 / metresPerDegree) << i;
            EXPECT_NEAR(dlon * std::cos(lat[i] * M_PI / 180), 0, 0.2 / metresPerDegree) << i;
            EXPECT_LE(std::fabs(p.lon), 180.0);
        }
    }
}

TEST(Smoothing, ShortSeriesAreCopied) {
    EXPECT_EQ((std::vector<float>{5}), Smoothed({5}));
    EXPECT_EQ((std::vector<float>{5, 9}), Smoothed({5, 9}));
    EXPECT_EQ((std::vector<float>{5, 9, 2}), Smoothed({5, 9, 2}));
    EXPECT_TRUE(Smoothed({}).empty());
}

TEST(Smoothing, WeightedFormulas) {
    EXPECT_EQ((std::vector<float>{13, 19, 27, 35, 41}), Smoothed({9, 18, 27, 36, 45}));
    // Four values: start formulas at 0 and 1, end formulas at 2 and 3.
    const auto four = Smoothed({9, 18, 27, 36});
    EXPECT_EQ(static_cast<float>((6 * 9.0 + 2 * 18.0 + 27.0) * 0.1111111111111111), four[0]);
    EXPECT_EQ(static_cast<float>((3 * 9.0 + 3 * 18.0 + 2 * 27.0 + 36.0) * 0.1111111111111111),
              four[1]);
    EXPECT_EQ(static_cast<float>((3 * 36.0 + 3 * 27.0 + 2 * 18.0 + 9.0) * 0.1111111111111111),
              four[2]);
    EXPECT_EQ(static_cast<float>((6 * 36.0 + 2 * 27.0 + 18.0) * 0.1111111111111111), four[3]);
    EXPECT_EQ((std::vector<float>{7, 7, 7, 7, 7, 7}), Smoothed({7, 7, 7, 7, 7, 7}));
}

TEST(Smoothing, LeadingLowValuesAreKeptAndOnlyThem) {
    EXPECT_EQ((std::vector<float>{0, 0, 0, 100, 100, 100, 100, 100}),
              Smoothed({0, 0, 0, 100, 100, 100, 100, 100}));
    EXPECT_EQ((std::vector<float>{-5, 0.05f, 0, 0}), Smoothed({-5, 0.05f, 0, 0}));
    // A low value after the first real one is smoothed like any other.
    const auto s = Smoothed({100, 0, 100, 100, 100});
    EXPECT_NE(0.0f, s[1]);
}

TEST(TrackGeometry, RecomputingGivesTheSameResult) {
    auto t = TrackOf({47.0f, 47.01f, 46.99f}, {-122.0f, -121.98f, -122.03f}, {100, 200, 150});
    t->Smooth();
    const auto south = std::vector<float>(t->m_fSouth, t->m_fSouth + 3);
    const float range0 = t->m_fRange[0][0];
    t->ComputeGeometry();
    t->Smooth();
    EXPECT_EQ(south, std::vector<float>(t->m_fSouth, t->m_fSouth + 3));
    EXPECT_EQ(range0, t->m_fRange[0][0]);
}

} // namespace
