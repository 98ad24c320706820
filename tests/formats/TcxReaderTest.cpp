// TCX: every channel of a Trackpoint, laps and the device's totals, exactly as written; multisport
// files, courses, blanks before the XML declaration and points without a position.
#include "CTcxReader.h"
#include "ReadWith.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

ReadResult Read(const std::string& tcx) {
    return ReadWith(&CTcxReader::Make, tcx);
}

std::string Tcx(const std::string& body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<TrainingCenterDatabase xmlns="http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2"
    xmlns:ns3="http://www.garmin.com/xmlschemas/ActivityExtension/v2">
)" + body + "</TrainingCenterDatabase>\n";
}

std::string Point(const std::string& lat, const std::string& lon) {
    return "<Trackpoint><Position><LatitudeDegrees>" + lat +
           "</LatitudeDegrees><LongitudeDegrees>" + lon +
           "</LongitudeDegrees></Position></Trackpoint>\n";
}

std::string Activity(const std::string& sport, const std::string& points) {
    return "<Activity Sport=\"" + sport + "\"><Lap><Track>" + points + "</Track></Lap></Activity>";
}

std::string Activities(const std::string& activities) {
    return "<Activities>" + activities + "</Activities>";
}

TEST(TcxReader, ReadsEveryChannelLapAndTotalAsWritten) {
    const ReadResult r = Read(Tcx(R"(<Activities><Activity Sport="Biking">
  <Id>2024-05-04T07:00:00Z</Id>
  <Lap StartTime="2024-05-04T07:00:00Z">
    <TotalTimeSeconds>600.5</TotalTimeSeconds><DistanceMeters>4100.25</DistanceMeters>
    <Calories>120</Calories>
    <Track>
      <Trackpoint>
        <Time>2024-05-04T07:00:00.250Z</Time>
        <Position><LatitudeDegrees>47.4205040</LatitudeDegrees>
          <LongitudeDegrees>-121.4459970</LongitudeDegrees></Position>
        <AltitudeMeters>659.5</AltitudeMeters><DistanceMeters>0.0</DistanceMeters>
        <HeartRateBpm><Value>131</Value></HeartRateBpm><Cadence>88</Cadence>
        <Extensions><ns3:TPX><ns3:Speed>7.25</ns3:Speed><ns3:Watts>212</ns3:Watts></ns3:TPX></Extensions>
      </Trackpoint>
      <Trackpoint>
        <Time>2024-05-04T09:00:01+02:00</Time>
        <Position><LatitudeDegrees>47.4206</LatitudeDegrees>
          <LongitudeDegrees>-121.44578</LongitudeDegrees></Position>
        <AltitudeMeters>661.25</AltitudeMeters>
      </Trackpoint>
    </Track>
  </Lap>
  <Lap StartTime="2024-05-04T07:10:00Z">
    <TotalTimeSeconds>300</TotalTimeSeconds><DistanceMeters>2000</DistanceMeters>
    <Calories>61</Calories>
    <Track>
      <Trackpoint>
        <Time>2024-05-04T07:10:00Z</Time>
        <Position><LatitudeDegrees>47.43</LatitudeDegrees>
          <LongitudeDegrees>-121.44</LongitudeDegrees></Position>
        <HeartRateBpm><Value>140</Value></HeartRateBpm>
        <Extensions><ns3:TPX><ns3:RunCadence>79</ns3:RunCadence></ns3:TPX></Extensions>
      </Trackpoint>
    </Track>
  </Lap>
  <Creator><Name>Trail computer 2</Name></Creator>
</Activity></Activities>
<Author><Name>Export tool</Name></Author>
)"));
    ASSERT_EQ("", r.error);
    const CTrackRecord& rec = r.record;
    ASSERT_EQ(3u, rec.Size());
    EXPECT_EQ((std::vector<double>{47.420504, 47.4206, 47.43}), rec.Lat());
    EXPECT_EQ((std::vector<double>{-121.445997, -121.44578, -121.44}), rec.Lon());
    EXPECT_EQ(659.5, rec.Ele()[0]);
    EXPECT_EQ(661.25, rec.Ele()[1]);
    EXPECT_TRUE(std::isnan(rec.Ele()[2]));
    const TimeMs t0 = 1'714'806'000'000; // 2024-05-04T07:00:00Z
    EXPECT_EQ((std::vector<TimeMs>{t0 + 250, t0 + 1000, t0 + 600'000}), rec.Time());
    EXPECT_EQ(131.0f, rec.SensorValues(Sensor::heartRate)[0]);
    EXPECT_EQ(140.0f, rec.SensorValues(Sensor::heartRate)[2]);
    EXPECT_EQ(88.0f, rec.SensorValues(Sensor::cadence)[0]);
    EXPECT_EQ(79.0f, rec.SensorValues(Sensor::cadence)[2]);
    EXPECT_EQ(7.25f, rec.SensorValues(Sensor::speed)[0]);
    EXPECT_EQ(212.0f, rec.SensorValues(Sensor::power)[0]);
    EXPECT_TRUE(std::isnan(rec.SensorValues(Sensor::power)[1]));
    EXPECT_FALSE(rec.HasSensor(Sensor::temperature));
    ASSERT_EQ(2u, rec.m_laps.size());
    EXPECT_EQ(0u, rec.m_laps[0].nFirst);
    EXPECT_EQ(1u, rec.m_laps[0].nLast);
    EXPECT_EQ(t0, rec.m_laps[0].start);
    EXPECT_EQ(2u, rec.m_laps[1].nFirst);
    EXPECT_EQ(2u, rec.m_laps[1].nLast);
    EXPECT_EQ(t0 + 600'000, rec.m_laps[1].start);
    EXPECT_EQ(900.5, rec.m_totals.movingS);
    EXPECT_EQ(6100.25, rec.m_totals.distanceM);
    EXPECT_EQ(181.0, rec.m_totals.calories);
    EXPECT_FALSE(rec.m_totals.elapsedS);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), rec.SegmentStarts());
    EXPECT_EQ((std::vector<std::string>{"Biking"}), rec.TrackNames());
    EXPECT_EQ("Trail computer 2", rec.m_source.creator);
    EXPECT_EQ("TCX", rec.m_source.format);
}

TEST(TcxReader, TrickyFiles) {
    const std::string multisport =
        Tcx("<Activities><MultiSportSession><Id>2024-05-04T07:00:00Z</Id><FirstSport>" +
            Activity("Running", Point("1", "2") + Point("1.5", "2")) +
            "</FirstSport><NextSport><Transition><TotalTimeSeconds>60</TotalTimeSeconds><Track>" +
            Point("9", "9") + "</Track></Transition>" + Activity("Biking", Point("3", "4")) +
            "</NextSport></MultiSportSession></Activities>");
    const struct {
        const char* name;
        std::string file;
        std::size_t nPoints;
        std::vector<std::string> tracks;
        std::size_t nMissing;
        std::string error;
        std::size_t errorLine;
    } cases[] = {
        {"every activity of a multisport session, without the transition",
         multisport,
         3,
         {"Running", "Biking"},
         0,
         "",
         0},
        {"blanks before the declaration",
         " \r\n\t\n" + Tcx(Activities(Activity("Other", Point("1", "2")))),
         1,
         {"Other"},
         0,
         "",
         0},
        {"a byte-order mark and blanks before the declaration",
         "\xEF\xBB\xBF\n  " + Tcx(Activities(Activity("Other", Point("1", "2")))),
         1,
         {"Other"},
         0,
         "",
         0},
        {"a course, named by its Name",
         Tcx("<Courses><Course><Name>Loop</Name><Lap><TotalTimeSeconds>9</TotalTimeSeconds></Lap>"
             "<Track>" +
             Point("5", "6") + "</Track></Course></Courses>"),
         1,
         {"Loop"},
         0,
         "",
         0},
        {"points without a position are skipped",
         Tcx(Activities(
             Activity("Running", "<Trackpoint><Time>2024-05-04T07:00:00Z</Time></Trackpoint>" +
                                     Point("1", "2") + "<Trackpoint/>"))),
         1,
         {"Running"},
         2,
         "",
         0},
        {"another XML file",
         "\n\n<?xml version=\"1.0\"?>\n<gpx/>",
         0,
         {},
         0,
         "not a TCX file (the root element is <gpx>)",
         0},
        {"an XML error counts the blank lines before it",
         "\n\n<?xml version=\"1.0\"?>\n<TrainingCenterDatabase>\n</Activities>",
         0,
         {},
         0,
         "XML error: mismatched tag",
         5},
    };
    for (const auto& c : cases) {
        const ReadResult r = Read(c.file);
        EXPECT_EQ(c.error, r.error) << c.name;
        EXPECT_EQ(c.errorLine, r.errorLine) << c.name;
        EXPECT_EQ(c.nPoints, r.record.Size()) << c.name;
        EXPECT_EQ(c.tracks, r.record.TrackNames()) << c.name;
        EXPECT_EQ(c.nMissing, r.skipped.nMissing) << c.name;
    }
}

} // namespace
