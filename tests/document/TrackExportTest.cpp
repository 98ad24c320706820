// Export Track: a record written as GPX reads back point for point, channel for channel, and as
// CSV gives a header with units and a row a point.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackExport.h"
#include "CTrackRecord.h"
#include "ScratchDir.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

// Two tracks, the first of two segments; odd numbers, channels on some points only, a name
// that XML must escape, a waypoint.
CTrackRecord Ride() {
    CTrackRecord record;
    record.BeginTrack("Morning <ride> & back");
    for (int i = 0; i < 30; ++i) {
        if (i == 20)
            record.BeginSegment();
        RecordPoint p;
        p.lat = 46.5 + i * 1.234567e-5 + 1e-13;
        p.lon = -0.1 - i * 3.3e-5;
        p.ele = i % 7 == 3 ? RecordPoint::kAbsent : 1000.1 + i / 3.0;
        p.time = 1625126400123 + i * 1000;
        p.At(Sensor::heartRate) = i % 5 == 0 ? RecordPoint::kAbsentSensor : 120.0f + i;
        p.At(Sensor::power) = 0.1f * i;
        p.At(Sensor::temperature) = -3.25f;
        record.AddPoint(p);
    }
    record.BeginTrack();
    for (int i = 0; i < 3; ++i) {
        RecordPoint p;
        p.lat = -33.9 + i * 1e-4;
        p.lon = 151.2;
        p.At(Sensor::cadence) = 88;
        p.At(Sensor::speed) = 4.125f;
        record.AddPoint(p);
    }
    record.m_waypoints.push_back({"Hut \"Alpha\"", 46.51, -0.11, 1234.5, 1625126400000});
    return record;
}

CTrackRecord ReadBack(const std::string& path) {
    CTrackRecord record;
    const auto pTrack = std::make_unique<CTrack>();
    CMapSourceFormat format;
    const CFileResult r = ImportTrackFile(path, record, *pTrack, format);
    EXPECT_TRUE(r.Ok()) << r.Error();
    return record;
}

TEST(TrackExport, GpxReadsBackPointForPointAndChannelForChannel) {
    const ScratchDir scratch;
    const CTrackRecord ride = Ride();
    const std::string path = scratch.File("ride.gpx");
    ASSERT_TRUE(CTrackExport::Write(path, ride, CTrackExport::Format::gpx, "Vorlan test").Ok());
    const CTrackRecord back = ReadBack(path);
    EXPECT_EQ(ride.Lat(), back.Lat());
    EXPECT_EQ(ride.Lon(), back.Lon());
    ASSERT_EQ(ride.Ele().size(), back.Ele().size());
    for (std::size_t i = 0; i < ride.Ele().size(); ++i)
        EXPECT_TRUE(ride.Ele()[i] == back.Ele()[i] ||
                    (std::isnan(ride.Ele()[i]) && std::isnan(back.Ele()[i])))
            << i;
    EXPECT_EQ(ride.Time(), back.Time());
    for (const CTrackRecord::SensorInfo& info : CTrackRecord::Sensors()) {
        const auto& a = ride.SensorValues(info.sensor);
        const auto& b = back.SensorValues(info.sensor);
        ASSERT_EQ(a.size(), b.size()) << info.pszName;
        for (std::size_t i = 0; i < a.size(); ++i)
            EXPECT_TRUE(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))
                << info.pszName << " " << i;
    }
    EXPECT_EQ(ride.SegmentStarts(), back.SegmentStarts());
    EXPECT_EQ(ride.TrackStarts(), back.TrackStarts());
    EXPECT_EQ(ride.TrackNames(), back.TrackNames());
    ASSERT_EQ(1u, back.m_waypoints.size());
    EXPECT_EQ("Hut \"Alpha\"", back.m_waypoints[0].name);
    EXPECT_EQ(1234.5, back.m_waypoints[0].ele);
    EXPECT_EQ("Vorlan test", back.m_source.creator);
}

TEST(TrackExport, CsvHasAHeaderWithUnitsAndARowAPoint) {
    const ScratchDir scratch;
    const std::string path = scratch.File("ride.csv");
    ASSERT_EQ(CTrackExport::Format::csv, CTrackExport::OfPath(path));
    ASSERT_TRUE(CTrackExport::Write(path, Ride(), CTrackExport::Format::csv, "").Ok());
    std::ifstream in(path);
    std::string header, first, fourth, line;
    std::getline(in, header);
    std::getline(in, first);
    std::getline(in, line), std::getline(in, line), std::getline(in, fourth);
    EXPECT_EQ("track,segment,time_utc,latitude_deg,longitude_deg,distance_m,elevation_m,"
              "heart_rate_bpm,cadence_rpm,power_w,temperature_c,speed_m_s",
              header);
    EXPECT_EQ("1,1,2021-07-01T08:00:00.123Z,46.5000000000001,-0.1,0,1000.1,,,0,-3.25,", first);
    // The fourth point has no elevation: an empty cell.
    EXPECT_EQ(0u, fourth.find("1,1,2021-07-01T08:00:03.123Z,")) << fourth;
    EXPECT_NE(std::string::npos, fourth.find(",,123,,0.3,-3.25,")) << fourth;
    std::size_t nRows = 0;
    while (std::getline(in, line))
        ++nRows;
    EXPECT_EQ(33u - 4u, nRows);
    EXPECT_EQ(std::nullopt, CTrackExport::OfPath(scratch.File("ride.txt")));
}

} // namespace
