// KML: a gx:Track's times, positions and altitudes paired in order and a LineString's tuples,
// exactly as written; segments of MultiGeometry and gx:MultiTrack, tuples with and without
// altitude, and the files that are not KML.
#include "CKmlReader.h"
#include "ReadWith.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

ReadResult Read(const std::string& kml) {
    return ReadWith(&CKmlReader::Make, kml);
}

std::string Kml(const std::string& body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2" xmlns:gx="http://www.google.com/kml/ext/2.2">
<Document><name>Outings</name><Folder><name>May</name>
)" + body + "</Folder></Document></kml>\n";
}

std::string Placemark(const std::string& name, const std::string& shapes) {
    return "<Placemark><name>" + name + "</name>" + shapes + "</Placemark>\n";
}

std::string Line(const std::string& coordinates) {
    return "<LineString><tessellate>1</tessellate><coordinates>" + coordinates +
           "</coordinates></LineString>";
}

TEST(KmlReader, ReadsTrackTimesAndPositionsAndLineTuplesAsWritten) {
    const ReadResult r = Read(Kml(Placemark("Morning ride", R"(<gx:Track>
  <altitudeMode>absolute</altitudeMode>
  <when>2024-05-04T07:00:00Z</when>
  <when>2024-05-04T07:00:01.500Z</when>
  <gx:coord>-121.445997 47.420504 659.5</gx:coord>
  <gx:coord>-121.44578 47.4206 661.25</gx:coord>
  <gx:angles>0 0 0</gx:angles>
</gx:Track>)") + Placemark("Walk back", Line("\n  11.5,47.25,600.5\n  11.55,47.3,601 \n"))));
    ASSERT_EQ("", r.error);
    const CTrackRecord& rec = r.record;
    ASSERT_EQ(4u, rec.Size());
    EXPECT_EQ((std::vector<double>{47.420504, 47.4206, 47.25, 47.3}), rec.Lat());
    EXPECT_EQ((std::vector<double>{-121.445997, -121.44578, 11.5, 11.55}), rec.Lon());
    EXPECT_EQ((std::vector<double>{659.5, 661.25, 600.5, 601}), rec.Ele());
    const TimeMs t0 = 1'714'806'000'000; // 2024-05-04T07:00:00Z
    EXPECT_EQ((std::vector<TimeMs>{t0, t0 + 1500, kNoTime, kNoTime}), rec.Time());
    EXPECT_EQ((std::vector<std::string>{"Morning ride", "Walk back"}), rec.TrackNames());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), rec.SegmentStarts());
    EXPECT_EQ("KML", rec.m_source.format);
    EXPECT_TRUE(r.notes.empty());
}

TEST(KmlReader, TrickyFiles) {
    const struct {
        const char* name;
        std::string file;
        std::vector<double> lat;
        std::vector<double> ele; // NaN: absent
        std::vector<std::uint32_t> segments;
        std::size_t nUnparsable;
        std::string error;
    } cases[] = {
        {"a LineString without altitudes",
         Kml(Placemark("a", Line("1,2 3,4"))),
         {2, 4},
         {},
         {0},
         0,
         ""},
        {"altitudes in some tuples, blanks around commas",
         Kml(Placemark("a", Line("1, 2 3 ,4,5\t5,6,7"))),
         {2, 4, 6},
         {NAN, 5, 7},
         {0},
         0,
         ""},
        {"a gx:Track without times or altitudes",
         Kml(Placemark("a", "<gx:Track><gx:coord>1 2</gx:coord><gx:coord>3 4</gx:coord>"
                            "</gx:Track>")),
         {2, 4},
         {},
         {0},
         0,
         ""},
        {"MultiGeometry: a segment each LineString",
         Kml(Placemark("a",
                       "<MultiGeometry>" + Line("1,2 1,3") + Line("5,6") + "</MultiGeometry>")),
         {2, 3, 6},
         {},
         {0, 2},
         0,
         ""},
        {"gx:MultiTrack: a segment each gx:Track",
         Kml(Placemark("a", "<gx:MultiTrack><gx:Track><gx:coord>1 2 3</gx:coord></gx:Track>"
                            "<gx:Track><gx:coord>4 5 6</gx:coord></gx:Track></gx:MultiTrack>")),
         {2, 5},
         {3, 6},
         {0, 1},
         0,
         ""},
        {"points and polygons are no path",
         Kml(Placemark("p", "<Point><coordinates>1,2</coordinates></Point>") +
             Placemark("q", "<Polygon><outerBoundaryIs><LinearRing><coordinates>1,2 3,4 1,2"
                            "</coordinates></LinearRing></outerBoundaryIs></Polygon>")),
         {},
         {},
         {},
         0,
         ""},
        {"tuples that are not positions are skipped",
         Kml(Placemark("a",
                       Line("1,2 x,3 7 4,5 8,9,") + "<gx:Track><gx:coord>1</gx:coord></gx:Track>")),
         {2, 5},
         {},
         {0},
         4,
         ""},
        {"another XML file", "<gpx/>", {}, {}, {}, 0, "not a KML file (the root element is <gpx>)"},
    };
    for (const auto& c : cases) {
        const ReadResult r = Read(c.file);
        EXPECT_EQ(c.error, r.error) << c.name;
        EXPECT_EQ(c.lat, r.record.Lat()) << c.name;
        ASSERT_EQ(c.ele.size(), r.record.Ele().size()) << c.name;
        for (std::size_t i = 0; i < c.ele.size(); ++i)
            EXPECT_TRUE(c.ele[i] == r.record.Ele()[i] ||
                        (std::isnan(c.ele[i]) && std::isnan(r.record.Ele()[i])))
                << c.name << " " << i;
        EXPECT_EQ(c.segments, r.record.SegmentStarts()) << c.name;
        EXPECT_EQ(c.nUnparsable, r.skipped.nUnparsable) << c.name;
    }
}

// The XML layer hands over at most 64 KB of an element's text: a longer LineString is left out
// and said so, never read in part.
TEST(KmlReader, ALineStringLongerThanTheTextLimitIsLeftOutWithANote) {
    std::string tuples;
    while (tuples.size() <= CKmlReader::kMaxCoordinatesBytes)
        tuples += "11.123456,47.123456,1234.5 ";
    const ReadResult r =
        Read(Kml(Placemark("long", Line(tuples)) + Placemark("short", Line("1,2"))));
    EXPECT_EQ(1u, r.record.Size());
    EXPECT_EQ(
        (std::vector<std::string>{"1 LineString left out: the coordinates are empty or longer "
                                  "than this program reads (64 KB)."}),
        r.notes);
}

} // namespace
