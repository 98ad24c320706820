// Tracks longer than the document holds: exactly 10000 of the file's own points, the ones that
// carry the shape and the ends, each with its distance along the whole track.
#include "CGeodesy.h"
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackBuilder.h"
#include "CTrackSimplifier.h"
#include "UnitsAndEarth.h"

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

// The sample's points again, cut into segments at the given points, without an elevation at
// the points of gaps.
CTrackRecord Recut(const CTrackRecord& from, std::set<std::size_t> starts,
                   std::set<std::size_t> gaps) {
    CTrackRecord record;
    for (std::size_t i = 0; i < from.Size(); ++i) {
        if (starts.count(i))
            record.BeginSegment();
        RecordPoint p = from.PointAt(i);
        if (gaps.count(i))
            p.ele = RecordPoint::kAbsent;
        record.AddPoint(p);
    }
    return record;
}

// The 30000-point ride cut into three segments.
TEST(Simplify, KeepsTenThousandPointsWithEndsExtremesAndFullDistance) {
    const ReadResult read = ReadSample("long-30000.gpx");
    ASSERT_EQ(30000u, read.record.Size());
    // Some points without elevation, so the extremes are looked for after the filling.
    const CTrackRecord record = Recut(read.record, {12000, 20000}, {5, 29999});
    ASSERT_EQ((std::vector<std::uint32_t>{0, 12000, 20000}), record.SegmentStarts());
    const auto track = std::make_unique<CTrack>();
    const BuildResult built = CTrackBuilder::Build(record, *track);
    EXPECT_TRUE(built.bSimplified);
    ASSERT_EQ(10000, track->m_nCount);

    std::vector<double> ele = record.Ele();
    ele[5] = ele[4];
    ele[29999] = ele[29998];
    const std::vector<std::uint32_t> kept = CTrackSimplifier::Simplify(
        {record.Lat(), record.Lon(), ele}, record.SegmentStarts(), CTrack::kMaxPoints);
    ASSERT_EQ(10000u, kept.size());
    const std::set<std::uint32_t> keptSet(kept.begin(), kept.end());
    const auto high = std::max_element(ele.begin(), ele.end());
    const auto low = std::min_element(ele.begin(), ele.end());
    for (std::uint32_t must : {0u, 11999u, 12000u, 19999u, 20000u, 29999u,
                               static_cast<std::uint32_t>(high - ele.begin()),
                               static_cast<std::uint32_t>(low - ele.begin())})
        EXPECT_TRUE(keptSet.count(must)) << must;

    // The full-resolution distance on the ellipsoid, the first point of every segment adding
    // nothing.
    const std::vector<double>& lat = record.Lat();
    const std::vector<double>& lon = record.Lon();
    std::vector<double> dist(record.Size(), 0.0);
    for (std::size_t i = 1; i < dist.size(); ++i) {
        const bool bStart = i == 12000 || i == 20000;
        dist[i] = dist[i - 1] +
                  (bStart ? 0.0 : CGeodesy::LegMetres(lat[i - 1], lon[i - 1], lat[i], lon[i]));
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const std::uint32_t i = kept[k];
        ASSERT_EQ(static_cast<float>(lat[i]), track->m_fLat[k]) << k;
        ASSERT_EQ(static_cast<float>(lon[i]), track->m_fLon[k]) << k;
        ASSERT_EQ(static_cast<float>(ele[i] * 3.2808399), track->m_fElev[k]) << k;
        ASSERT_EQ(static_cast<float>(dist[i] / kMetresPerMile), track->m_fDist[k]) << k;
    }
}

// A zigzag of 20000 points with one sharp spike: the spike survives, the straight runs between
// the corners thin out first.
TEST(Simplify, RemovesTheFlattestPointsFirst) {
    std::vector<double> lat, lon, ele;
    for (int i = 0; i < 20000; ++i) {
        const double corner = (i / 1000) % 2 == 0 ? i % 1000 : 1000 - i % 1000;
        lat.push_back(45.0 + i * 1e-5);
        lon.push_back(7.0 + corner * 1e-5);
        ele.push_back(500.0);
    }
    lon[7777] += 0.01;
    const std::vector<std::uint32_t> starts = {0};
    const auto kept = CTrackSimplifier::Simplify({lat, lon, ele}, starts, 100);
    ASSERT_EQ(100u, kept.size());
    EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), 7777u));
    for (std::uint32_t corner = 1000; corner < 20000; corner += 1000)
        EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), corner)) << corner;
}

} // namespace
