// The numbers over time, on series worked out by hand: moving time leaves out a pause at a
// summit and the gap between two segments; the fastest speed survives no single bad fix; laps add
// up to the track; times of day in the machine's zone and in UTC.
#include "CGeodesy.h"
#include "CTimeStatistics.h"
#include "CTrack.h"
#include "CTrackReadout.h"
#include "CTrackStatistics.h"
#include "TimeText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TimeMs kStart = 1625126400000; // 2021-07-01T08:00:00Z
constexpr double kLat0 = 46.5, kLon0 = 8.0;
// Northwards, about 5.6 m a second.
constexpr double kStepDeg = 0.00005;

RecordPoint At(double north, double east, double ele, double seconds) {
    RecordPoint p;
    p.lat = kLat0 + north;
    p.lon = kLon0 + east;
    p.ele = ele;
    p.time = kStart + static_cast<TimeMs>(seconds * 1000);
    return p;
}

double Metres(const RecordPoint& a, const RecordPoint& b) {
    return CGeodesy::LegMetres(a.lat, a.lon, b.lat, b.lon);
}

CTimeStatistics StatisticsOf(const CTrackRecord& record) {
    const CTrackStatistics whole(record, 0);
    return whole.m_time;
}

TEST(TimeStatistics, MovingTimeLeavesOutAPauseAndTheGapBetweenSegments) {
    CTrackRecord record;
    // 60 s up at a point a second, 120 s at the summit, 60 s down: then, an hour after the start,
    // a second segment 10 km away, 30 s on the flat.
    double north = 0;
    for (int s = 0; s <= 60; ++s)
        record.AddPoint(At(north = s * kStepDeg, 0, 1000 + s, s));
    for (int s = 70; s <= 180; s += 10)
        record.AddPoint(At(north, 0, 1060, s));
    for (int s = 181; s <= 240; ++s)
        record.AddPoint(At(north -= kStepDeg, 0, 1060 - (s - 180), s));
    record.BeginSegment();
    for (int s = 3600; s <= 3630; ++s)
        record.AddPoint(At(0.09 + (s - 3600) * kStepDeg, 0, 1000, s));

    const CTimeStatistics time = StatisticsOf(record);
    EXPECT_EQ(3630.0, time.ElapsedS());
    EXPECT_EQ(150.0, time.m_fMovingS);
    // A step north is a little longer further north: the same to 1e-5.
    const double leg = Metres(At(0, 0, 0, 0), At(kStepDeg, 0, 0, 0));
    EXPECT_NEAR(150 * leg, time.m_fMovingM, 1e-2);
    EXPECT_NEAR(leg, *time.MovingSpeed(), 1e-4);
    // Uphill only while moving up: the first minute. The climb is the smoothed one (60 ft).
    EXPECT_EQ(60.0, time.m_fUphillS);
    EXPECT_NEAR(time.m_fAscentFt * 60, *time.ClimbRateFtPerHour(), 1e-9);
    // Just over 20 km/h: a ride, read as a speed rather than a pace.
    EXPECT_FALSE(time.ShowsPace());
}

TEST(TimeStatistics, StopAndGoCountsOnlyTheStretchesAtWalkingSpeedOrMore) {
    CTrackRecord record;
    // Ten-second stretches: 30 m (3 m/s, moving), 3 m (0.3 m/s, waiting at a light), 30 m.
    const double metresPerDeg = Metres(At(0, 0, 0, 0), At(1e-3, 0, 0, 0)) / 1e-3;
    const double steps[] = {30, 3, 30, 3, 3, 30};
    double north = 0, t = 0;
    record.AddPoint(At(0, 0, 500, 0));
    for (double metres : steps)
        record.AddPoint(At(north += metres / metresPerDeg, 0, 500, t += 10));
    const CTimeStatistics time = StatisticsOf(record);
    EXPECT_EQ(30.0, time.m_fMovingS);
    EXPECT_EQ(60.0, time.ElapsedS());
    EXPECT_NEAR(3.0, *time.MovingSpeed(), 0.01);
    EXPECT_NEAR(99.0 / 60.0, *time.AverageSpeed(), 0.01);
    EXPECT_TRUE(time.ShowsPace());
}

TEST(TimeStatistics, OneBadFixDoesNotMakeTheFastestSpeedButTheDevicesSpeedDoes) {
    CTrackRecord record;
    // A run at one step a second; the fix at 30 s is 300 m off to the east (a second's jump of
    // 300 m, about 1080 km/h).
    for (int s = 0; s <= 60; ++s)
        record.AddPoint(At(s * kStepDeg, s == 30 ? 0.004 : 0, 500, s));
    const double steady = Metres(At(0, 0, 0, 0), At(10 * kStepDeg, 0, 0, 0)) / 10;
    EXPECT_NEAR(steady, *StatisticsOf(record).m_maxSpeedMps, 1e-4);

    CTrackRecord device;
    for (int s = 0; s <= 5; ++s) {
        RecordPoint p = At(s * kStepDeg, 0, 500, s);
        p.At(Sensor::speed) = s == 3 ? 7.5f : 5.0f;
        device.AddPoint(p);
    }
    const CTimeStatistics time = StatisticsOf(device);
    EXPECT_EQ(7.5, *time.m_maxSpeedMps);
    EXPECT_TRUE(time.m_bMaxSpeedFromDevice);
}

TEST(TimeStatistics, LapsAddUpToTheTrack) {
    CTrackRecord record;
    for (int s = 0; s <= 20; ++s) {
        RecordPoint p = At(s * kStepDeg, 0, 100 + (s <= 10 ? 4 * s : 80 - 4 * s), s * 10);
        p.At(Sensor::heartRate) = s <= 10 ? 120.0f : 150.0f;
        record.AddPoint(p);
    }
    record.m_laps = {{0, 10, kNoTime, {}}, {11, 20, kNoTime, {}}};
    const CTrackStatistics statistics(record, 0);
    ASSERT_EQ(2u, statistics.m_laps.size());
    const StretchFigures& first = statistics.m_laps[0];
    const StretchFigures& second = statistics.m_laps[1];
    // The first lap ends where the second begins: 11 steps and 110 s, then 9 steps and 90 s.
    EXPECT_NEAR(statistics.m_time.m_fDistanceM, first.fDistanceM + second.fDistanceM, 1e-9);
    EXPECT_EQ(110.0, *first.elapsedS);
    EXPECT_EQ(90.0, *second.elapsedS);
    EXPECT_EQ(120.0, *first.heartRateBpm);
    EXPECT_EQ(150.0, *second.heartRateBpm);
    EXPECT_EQ((std::vector<std::string>{"Lap", "Distance", "Time", "Ascent", "Descent",
                                        "Average speed", "Average heart rate"}),
              CTrackStatistics::LapColumns());
    EXPECT_EQ("0:01:50", statistics.LapTable(Units::metric)[0][2]);
    EXPECT_EQ("120 bpm", statistics.LapTable(Units::metric)[0][6]);
}

// A stretch from the second to the sixth point: 40 s, of which a 20 s pause does not move; up
// 10 m over its distance.
TEST(TimeStatistics, AStretchAddsUpItsOwnPointsOnly) {
    CTrackRecord record;
    const double north[] = {0, 1, 2, 2, 2, 3, 4};
    for (int i = 0; i < 7; ++i)
        record.AddPoint(At(north[i] * kStepDeg * 10, 0, 500 + (i >= 5 ? 10 : 0), i * 10));
    const std::vector<double> metres = CGeodesy::CumulativeMetres(record);
    const StretchFigures f = CTimeStatistics::Stretch(record, metres, 1, 5);
    EXPECT_DOUBLE_EQ(metres[5] - metres[1], f.fDistanceM);
    EXPECT_EQ(40.0, *f.elapsedS);
    EXPECT_EQ(20.0, *f.movingS);
    EXPECT_NEAR(10.0 / f.fDistanceM * 100.0, *f.gradePercent, 1e-12);
    EXPECT_NEAR(f.fDistanceM / 40.0, *f.speedMps, 1e-12);
    EXPECT_FALSE(f.heartRateBpm);
}

// The readout of a track point says what the record says of it: the point the track keeps is the
// record's third, 20 s after the start; its speed is the leg before it over its 10 s.
TEST(TimeStatistics, ReadoutGivesThePointsTimeSpeedAndSensorsFromTheRecord) {
    CTrackRecord record;
    for (int i = 0; i < 5; ++i) {
        RecordPoint p = At(i * 0.0009, 0, 500, i * 10);
        p.At(Sensor::heartRate) = 120.0f + 10 * i;
        record.AddPoint(p);
    }
    const auto track = std::make_unique<CTrack>();
    track->m_nCount = 3;
    for (int k = 0; k < 3; ++k) {
        track->m_fDist[k] = 0.1f * k;
        track->m_nRecordIndex[k] = static_cast<std::uint32_t>(2 * k);
    }
    const TrackReadout r = CTrackReadout::At(*track, 0.1, Units::metric, &record, TimeZone::utc);
    const double speed = Metres(At(0.0009, 0, 0, 0), At(0.0018, 0, 0, 0)) / 10;
    EXPECT_EQ(1, r.nIndex);
    EXPECT_NE(std::string::npos, r.text.find("  08:00:20  0:00:20  " +
                                             FormatSpeed(Units::metric, speed) + "  140 bpm"))
        << r.text;
    EXPECT_EQ(r.text.find("  08:00"), r.text.rfind("  08:00"));
    EXPECT_EQ(std::string::npos, CTrackReadout::At(*track, 0.1, Units::metric).text.find("bpm"));
}

TEST(TimeText, ClockInTheMachinesZoneAndInUtcDurationsAndPace) {
    const char* const saved = std::getenv("TZ");
    const std::string was = saved ? saved : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    EXPECT_EQ("2021-07-01 10:00:00 +02:00", FormatClock(kStart, TimeZone::local));
    EXPECT_EQ("2021-01-01 01:00:00 +01:00", FormatClock(1609459200000, TimeZone::local));
    saved ? setenv("TZ", was.c_str(), 1) : unsetenv("TZ");
    tzset();
    EXPECT_EQ("2021-07-01 08:00:00 UTC", FormatClock(kStart + 999, TimeZone::utc));
    EXPECT_EQ("1969-12-31T23:59:59.500Z", FormatIsoUtc(-500));
    EXPECT_EQ("2021-07-01T08:00:00Z", FormatIsoUtc(kStart));
    EXPECT_EQ("27:46:40", FormatDuration(100000));
    EXPECT_EQ("8:03 min/mi", FormatPace(Units::imperial, 1609.344 / 483));
    EXPECT_EQ("5:00 min/km", FormatPace(Units::metric, 1000.0 / 300));
    EXPECT_EQ("36.0 km/h", FormatSpeed(Units::metric, 10));
    EXPECT_EQ("64.4 \u00b0F", FormatTemperature(Units::imperial, 18));
}

} // namespace
