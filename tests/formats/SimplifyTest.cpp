// Tracks longer than the document holds: exactly 10000 of the file's own points, the ones that
// carry the shape and the ends, each with its distance along the whole track.
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackBuilder.h"
#include "CTrackSimplifier.h"
#include "TrackGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

ReadResult ReadSample(const char* name) {
    std::ifstream in(std::string(VORLAN_SAMPLES) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    CGpxReader reader;
    reader.Feed(s.str());
    return reader.Finish();
}

// The 30000-point ride cut into three segments.
TEST(Simplify, KeepsTenThousandPointsWithEndsExtremesAndFullDistance) {
    ReadResult read = ReadSample("long-30000.gpx");
    ASSERT_EQ(30000u, read.points.size());
    read.segmentStarts = {0, 12000, 20000};
    // Some points without elevation, so the extremes are looked for after the filling.
    read.points[5].ele = read.points[29999].ele = TrackPoint::kNoElevation;
    const auto track = std::make_unique<CTrack>();
    const BuildResult built = CTrackBuilder::Build(read, *track);
    EXPECT_TRUE(built.bSimplified);
    ASSERT_EQ(10000, track->m_nCount);

    const std::vector<std::uint32_t> kept =
        CTrackSimplifier::Simplify(read.points, read.segmentStarts, CTrack::kMaxPoints);
    ASSERT_EQ(10000u, kept.size());
    const std::set<std::uint32_t> keptSet(kept.begin(), kept.end());
    const auto byEle = [](const TrackPoint& a, const TrackPoint& b) { return a.ele < b.ele; };
    const auto high = std::max_element(read.points.begin(), read.points.end(), byEle);
    const auto low = std::min_element(read.points.begin(), read.points.end(), byEle);
    for (std::uint32_t must : {0u, 11999u, 12000u, 19999u, 20000u, 29999u,
                               static_cast<std::uint32_t>(high - read.points.begin()),
                               static_cast<std::uint32_t>(low - read.points.begin())})
        EXPECT_TRUE(keptSet.count(must)) << must;

    // The full-resolution distance, summed here point by point with the first point of every
    // segment adding nothing.
    std::vector<float> dist(read.points.size(), 0.0f);
    for (std::size_t i = 1; i < dist.size(); ++i) {
        const bool bStart = i == 12000 || i == 20000;
        const auto& a = read.points[i - 1];
        const auto& b = read.points[i];
        const float leg =
            LegMiles(TrigOfLatitude(static_cast<float>(a.lat)), static_cast<float>(a.lon),
                     TrigOfLatitude(static_cast<float>(b.lat)), static_cast<float>(b.lon));
        dist[i] = bStart ? dist[i - 1] : static_cast<float>(static_cast<double>(leg) + dist[i - 1]);
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const TrackPoint& p = read.points[kept[k]];
        ASSERT_EQ(static_cast<float>(p.lat), track->m_fLat[k]) << k;
        ASSERT_EQ(static_cast<float>(p.lon), track->m_fLon[k]) << k;
        ASSERT_EQ(static_cast<float>(p.ele * 3.2808399), track->m_fElev[k]) << k;
        ASSERT_EQ(dist[kept[k]], track->m_fDist[k]) << k;
    }
}

// A zigzag of 20000 points with one sharp spike: the spike survives, the straight runs between
// the corners thin out first.
TEST(Simplify, RemovesTheFlattestPointsFirst) {
    std::vector<TrackPoint> points;
    for (int i = 0; i < 20000; ++i) {
        const double corner = (i / 1000) % 2 == 0 ? i % 1000 : 1000 - i % 1000;
        points.push_back({45.0 + i * 1e-5, 7.0 + corner * 1e-5, 500.0});
    }
    points[7777].lon += 0.01;
    const std::vector<std::uint32_t> starts = {0};
    const auto kept = CTrackSimplifier::Simplify(points, starts, 100);
    ASSERT_EQ(100u, kept.size());
    EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), 7777u));
    for (std::uint32_t corner = 1000; corner < 20000; corner += 1000)
        EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), corner)) << corner;
}

} // namespace
