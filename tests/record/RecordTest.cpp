// The record of a track file: channels that exist only where the file has them, tracks and
// segments, and distances on the WGS84 ellipsoid against GeographicLib's exact geodesics.
#include "CGeodesy.h"
#include "CTrackRecord.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

RecordPoint At(double lat, double lon) {
    RecordPoint p;
    p.lat = lat;
    p.lon = lon;
    return p;
}

// A channel's array exists once a point has it, absent values are NaN or kNoTime, never zero;
// empty segments are dropped, and a point before any track or segment opens one.
TEST(TrackRecord, KeepsOnlyTheChannelsTheFileHas) {
    CTrackRecord record;
    record.AddPoint(At(47.0, 11.0));
    RecordPoint second = At(47.001, 11.0);
    second.At(Sensor::heartRate) = 141;
    second.time = 1'700'000'000'123;
    record.AddPoint(second);
    record.BeginSegment();
    record.BeginSegment();
    record.BeginTrack("second");
    RecordPoint third = At(47.002, 11.0);
    third.ele = 0.0;
    record.AddPoint(third);

    ASSERT_EQ(3u, record.Size());
    EXPECT_FALSE(record.HasSensor(Sensor::power));
    ASSERT_TRUE(record.HasSensor(Sensor::heartRate));
    EXPECT_TRUE(std::isnan(record.SensorValues(Sensor::heartRate)[0]));
    EXPECT_EQ(141.0f, record.SensorValues(Sensor::heartRate)[1]);
    EXPECT_TRUE(std::isnan(record.SensorValues(Sensor::heartRate)[2]));
    EXPECT_EQ((std::vector<TimeMs>{kNoTime, 1'700'000'000'123, kNoTime}), record.Time());
    ASSERT_TRUE(record.HasElevation());
    EXPECT_TRUE(std::isnan(record.Ele()[0]));
    EXPECT_EQ(0.0, record.Ele()[2]);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), record.SegmentStarts());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1}), record.TrackStarts());
    EXPECT_EQ((std::vector<std::string>{"", "second"}), record.TrackNames());
    // Position 16, elevation 8, time 8, heart rate 4.
    EXPECT_EQ(36u, record.BytesPerPoint());
}

// Tracks started after their points: at a segment's first point, inside a segment, and where a
// track starts already (which keeps its name).
TEST(TrackRecord, TracksStartAtPointsAlreadyAdded) {
    CTrackRecord record;
    record.BeginTrack("walk");
    for (int i = 0; i < 8; ++i) {
        if (i == 3)
            record.BeginSegment();
        if (i == 6)
            record.BeginTrack("ride");
        record.AddPoint(At(47.0, 11.0 + i * 0.001));
    }
    const std::uint32_t starts[] = {3, 4, 6};
    record.StartTracksAt(starts);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 3, 4, 6}), record.SegmentStarts());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1, 2, 3}), record.TrackStarts());
    EXPECT_EQ((std::vector<std::string>{"walk", "", "", "ride"}), record.TrackNames());
}

// Removing points in place: a segment and a track left empty go, a lap keeps the points it has
// left (and goes with none), a channel whose only values went goes too.
TEST(TrackRecord, RemovingPointsRenumbersSegmentsTracksAndLaps) {
    CTrackRecord record;
    record.BeginTrack("a");
    for (int i = 0; i < 3; ++i)
        record.AddPoint(At(i, 0)); // 0 1 2
    record.BeginSegment();
    RecordPoint withHeartRate = At(3, 0);
    withHeartRate.At(Sensor::heartRate) = 120;
    record.AddPoint(withHeartRate); // 3, removed: its segment goes
    record.BeginTrack("b");
    record.AddPoint(At(4, 0)); // 4, removed: its track goes
    record.BeginTrack("c");
    record.AddPoint(At(5, 0));
    record.AddPoint(At(6, 0));
    record.m_laps = {{0, 2, 10, {}}, {3, 4, 20, {}}, {1, 6, 30, {}}};
    const std::size_t nRemoved =
        record.RemovePoints([](std::size_t i) { return i == 0 || i == 3 || i == 4; });
    EXPECT_EQ(3u, nRemoved);
    EXPECT_EQ((std::vector<double>{1, 2, 5, 6}), record.Lat());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), record.SegmentStarts());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1}), record.TrackStarts());
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), record.TrackNames());
    ASSERT_EQ(2u, record.m_laps.size());
    EXPECT_EQ(0u, record.m_laps[0].nFirst);
    EXPECT_EQ(1u, record.m_laps[0].nLast);
    EXPECT_EQ(0u, record.m_laps[1].nFirst);
    EXPECT_EQ(3u, record.m_laps[1].nLast);
    EXPECT_EQ(30, record.m_laps[1].start);
    EXPECT_FALSE(record.HasSensor(Sensor::heartRate));
}

// Legs from a metre to 2000 km, at the equator, near Sydney, in Norway and near the pole, in
// eight directions, within a hundred-thousandth of the geodesic; across the 180th meridian the
// short way round.
TEST(Geodesy, LegsAgreeWithTheGeodesicOnTheEllipsoid) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    for (const double lat : {0.0, -33.87, 60.4, 85.0})
        for (const double metres : {1.0, 30.0, 999.0, 1001.0, 10000.0, 250000.0, 2000000.0})
            for (double azimuth = 0; azimuth < 360; azimuth += 45) {
                double lat2 = 0, lon2 = 0;
                wgs84.Direct(lat, 179.99, azimuth, metres, lat2, lon2);
                const double leg = CGeodesy::LegMetres(lat, 179.99, lat2, lon2);
                EXPECT_NEAR(metres, leg, metres * 1e-5) << lat << " " << azimuth << " " << metres;
            }
}

// A segment's first point adds no distance: the gap between segments is not travelled.
TEST(Geodesy, CumulativeDistanceSkipsTheGapBetweenSegments) {
    CTrackRecord record;
    record.AddPoint(At(0.0, 0.0));
    record.AddPoint(At(0.0, 0.001));
    record.BeginSegment();
    record.AddPoint(At(10.0, 10.0));
    record.AddPoint(At(10.0, 10.001));
    const std::vector<double> dist = CGeodesy::CumulativeMetres(record);
    ASSERT_EQ(4u, dist.size());
    const double leg0 = CGeodesy::LegMetres(0, 0, 0, 0.001);
    EXPECT_DOUBLE_EQ(leg0, dist[1]);
    EXPECT_DOUBLE_EQ(leg0, dist[2]);
    EXPECT_DOUBLE_EQ(leg0 + CGeodesy::LegMetres(10, 10, 10, 10.001), dist[3]);
}

} // namespace
