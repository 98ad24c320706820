// GPX import: which points a file gives, their distances and elevations, what the user is told,
// and the clean failure of every kind of bad file.
#include "CGeodesy.h"
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackImporter.h"
#include "UnitsAndEarth.h"

#include <GeographicLib/Geodesic.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
)";

std::string Gpx(const std::string& body) {
    return kHead + body + "</gpx>\n";
}

std::string Pt(const char* lat, const char* lon, const char* ele = nullptr) {
    std::string s = std::string("<trkpt lat=\"") + lat + "\" lon=\"" + lon + "\">";
    if (ele)
        s += std::string("<ele>") + ele + "</ele>";
    return s + "</trkpt>\n";
}

struct Imported {
    ImportResult result;
    std::unique_ptr<CTrack> track = std::make_unique<CTrack>();
};

Imported Import(std::string bytes, const std::string& name = "walk.gpx") {
    Imported r;
    r.result = CTrackImporter().ImportGpx(bytes, name, *r.track);
    return r;
}

std::string ReadSample(const char* name) {
    std::ifstream in(std::string(VORLAN_SAMPLES) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The distance runs on the ellipsoid from the full positions, each segment's first point adding
// nothing, rounded to float once.
TEST(GpxImport, DistanceRunsOverSegmentsAndTracksWithoutTheGaps) {
    const Imported r = Import(Gpx("<trk><trkseg>" + Pt("47.5", "-121.5") + Pt("47.51", "-121.5") +
                                  "</trkseg><trkseg>" + Pt("47.6", "-121.4") +
                                  Pt("47.6", "-121.39") + "</trkseg></trk><trk><trkseg>" +
                                  Pt("48", "-120") + Pt("48.01", "-120.01") + "</trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    const CTrack& t = *r.track;
    ASSERT_EQ(6, t.m_nCount);
    const double d1 = CGeodesy::LegMetres(47.5, -121.5, 47.51, -121.5);
    const double d3 = d1 + CGeodesy::LegMetres(47.6, -121.4, 47.6, -121.39);
    const double d5 = d3 + CGeodesy::LegMetres(48, -120, 48.01, -120.01);
    const auto miles = [](double metres) { return static_cast<float>(metres / kMetresPerMile); };
    const std::vector<float> expected = {0, miles(d1), miles(d1), miles(d3), miles(d3), miles(d5)};
    EXPECT_EQ(expected, std::vector<float>(t.m_fDist, t.m_fDist + 6));
    EXPECT_EQ((std::vector<std::string>{"GPX: 6 points read.", "No elevation in this file."}),
              r.result.Notes());
}

// A walk logged every second near Sydney, 1.4 m a step: its length within 0.1 % of the geodesic
// (rounding the positions to float before measuring made such a walk 5.7 % too long).
TEST(GpxImport, ADenseWalkMeasuresItsTrueLength) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    std::string body = "<trk><trkseg>";
    double lat = -33.8688, lon = 151.2093, length = 0;
    char text[64];
    for (int i = 0; i < 3600; ++i) {
        std::snprintf(text, sizeof text, "<trkpt lat=\"%.7f\" lon=\"%.7f\"/>", lat, lon);
        body += text;
        const double azimuth = 40.0 + 30.0 * std::sin(i / 300.0);
        double nextLat = 0, nextLon = 0;
        wgs84.Direct(lat, lon, azimuth, 1.4, nextLat, nextLon);
        // The file holds seven decimals: the walk is measured between the points it holds.
        std::snprintf(text, sizeof text, "%.7f %.7f", nextLat, nextLon);
        double heldLat = 0, heldLon = 0;
        std::sscanf(text, "%lf %lf", &heldLat, &heldLon);
        if (i + 1 < 3600) {
            double leg = 0;
            wgs84.Inverse(lat, lon, heldLat, heldLon, leg);
            length += leg;
        }
        lat = heldLat, lon = heldLon;
    }
    const Imported r = Import(Gpx(body + "</trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    const double measured = r.track->m_fDist[r.track->m_nCount - 1] * kMetresPerMile;
    EXPECT_NEAR(length, measured, length * 0.001);
}

// Everything a device writes into a GPX point comes into the record: the time, Garmin's
// TrackPointExtension (v1 and v2), the common power element, Cluetrust's gpxdata, GPX 1.0's
// speed; the tracks' names, the waypoints and the writer; absent values stay absent.
TEST(GpxImport, TimesSensorsNamesAndWaypointsComeIntoTheRecord) {
    CGpxReader reader;
    reader.Feed(std::string(R"(<gpx version="1.1" creator="Edge 530"
  xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
  xmlns:gpxdata="http://www.cluetrust.com/XML/GPXDATA/1/0">
<wpt lat="47.2" lon="11.2"><ele>900</ele><time>2024-05-04T06:59:00Z</time><name>Hut</name></wpt>
<trk><name>Morning ride</name><trkseg>
<trkpt lat="47.1" lon="11.1"><ele>812.4</ele><time>2024-05-04T07:00:00Z</time><extensions>
 <gpxtpx:TrackPointExtension><gpxtpx:atemp>14.5</gpxtpx:atemp><gpxtpx:hr>131</gpxtpx:hr>
 <gpxtpx:cad>88</gpxtpx:cad><gpxtpx:speed>7.25</gpxtpx:speed></gpxtpx:TrackPointExtension>
 <power>212</power></extensions></trkpt>
<trkpt lat="47.101" lon="11.1"><time>2024-05-04T07:00:01.250+02:00</time><extensions>
 <gpxdata:hr>133</gpxdata:hr><gpxdata:cadence>90</gpxdata:cadence></extensions></trkpt>
</trkseg></trk>
<trk><trkseg><trkpt lat="47.2" lon="11.2"><speed>3.5</speed></trkpt></trkseg></trk>
</gpx>)"));
    const ReadResult r = reader.Finish();
    ASSERT_FALSE(r.Failed()) << r.error;
    const CTrackRecord& record = r.record;
    ASSERT_EQ(3u, record.Size());
    EXPECT_EQ("Edge 530", record.m_source.creator);
    EXPECT_EQ((std::vector<std::string>{"Morning ride", ""}), record.TrackNames());
    EXPECT_EQ((std::vector<TimeMs>{1714806000000, 1714798801250, kNoTime}), record.Time());
    EXPECT_EQ(812.4, record.Ele()[0]);
    EXPECT_TRUE(std::isnan(record.Ele()[1]));
    const auto values = [&record](Sensor s) {
        std::vector<std::string> v;
        for (float f : record.SensorValues(s))
            v.push_back(std::isnan(f) ? "-" : std::to_string(f));
        return v;
    };
    EXPECT_EQ((std::vector<std::string>{"131.000000", "133.000000", "-"}),
              values(Sensor::heartRate));
    EXPECT_EQ((std::vector<std::string>{"88.000000", "90.000000", "-"}), values(Sensor::cadence));
    EXPECT_EQ((std::vector<std::string>{"212.000000", "-", "-"}), values(Sensor::power));
    EXPECT_EQ((std::vector<std::string>{"14.500000", "-", "-"}), values(Sensor::temperature));
    EXPECT_EQ((std::vector<std::string>{"7.250000", "-", "3.500000"}), values(Sensor::speed));
    ASSERT_EQ(1u, record.m_waypoints.size());
    EXPECT_EQ("Hut", record.m_waypoints[0].name);
    EXPECT_EQ(900.0, record.m_waypoints[0].ele);
    EXPECT_EQ(1714805940000, record.m_waypoints[0].time);
}

// Equal legs either side of the equator put the middle point exactly half-way: 150 m.
TEST(GpxImport, MissingElevationsAreInterpolatedAlongTheDistanceAndHeldAtTheEnds) {
    const Imported r = Import(Gpx("<trk><trkseg>" + Pt("-0.02", "10") + Pt("-0.01", "10", "100") +
                                  Pt("0", "10", "n/a") + Pt("0.01", "10", "200") +
                                  Pt("0.02", "10") + "</trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    const std::vector<float> feet = {328.08399f, 328.08399f, 492.125985f, 656.16798f, 656.16798f};
    EXPECT_EQ(feet, std::vector<float>(r.track->m_fElev, r.track->m_fElev + 5));
    EXPECT_FALSE(r.result.bNoElevation);
}

TEST(GpxImport, PointsWithoutAUsablePositionAreSkippedAndCounted) {
    const Imported r =
        Import(Gpx("<trk><trkseg>" + Pt("90", "-180", "1") + std::string("<trkpt lon=\"1\"/>") +
                   Pt("47.1", "x") + Pt("90.001", "0") + Pt("0", "180.5") +
                   Pt(" +45.25 ", "-180e0", "2") + Pt("inf", "0") + "</trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    EXPECT_EQ(2, r.track->m_nCount);
    EXPECT_EQ(45.25f, r.track->m_fLat[1]);
    EXPECT_EQ((std::vector<std::string>{"GPX: 2 points read.",
                                        "5 points skipped: 1 without a position, 2 with an "
                                        "unreadable position, 2 with a position out of range."}),
              r.result.Notes());
}

TEST(GpxImport, AFileWithRoutesOnlyGivesTheRoutePoints) {
    const Imported r = Import(ReadSample("route-only.gpx"), "route-only.gpx");
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    EXPECT_EQ(60, r.track->m_nCount);
    EXPECT_EQ(47.420504f, r.track->m_fLat[0]);
    EXPECT_EQ(
        std::vector<std::string>{"GPX: 60 points read from routes (the file has no track points)."},
        r.result.Notes());
    // Each route is a segment of its own: the second one starts where the first ended.
    EXPECT_EQ(r.track->m_fDist[29], r.track->m_fDist[30]);
}

TEST(GpxImport, AFileWithoutElevationsIsFlatAtZero) {
    const Imported r = Import(ReadSample("no-elevation.gpx"), "no-elevation.gpx");
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    ASSERT_EQ(300, r.track->m_nCount);
    for (int i = 0; i < r.track->m_nCount; ++i)
        ASSERT_EQ(0.0f, r.track->m_fElev[i]) << i;
    EXPECT_EQ((std::vector<std::string>{"GPX: 300 points read.", "No elevation in this file."}),
              r.result.Notes());
}

// Short decimals and every other way of writing the same number give the same position.
TEST(GpxImport, ANumberReadsTheSameHoweverItIsWritten) {
    const char* lats[] = {"47.25",    "047.2500", "+47.25",
                          " 47.25\n", "4725e-2",  "47.250000000000000000001"};
    const char* lons[] = {"-121.5",
                          "-121.50",
                          "-0121.5",
                          "-1215E-1",
                          "-12150000000000000000e-17",
                          "-121.4999999999999999999"};
    std::string body = "<trk><trkseg>";
    for (int i = 0; i < 6; ++i)
        body += Pt(lats[i], lons[i]);
    const Imported r = Import(Gpx(body + "</trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    ASSERT_EQ(6, r.track->m_nCount);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(47.25f, r.track->m_fLat[i]) << lats[i];
        EXPECT_EQ(-121.5f, r.track->m_fLon[i]) << lons[i];
    }
}

// The same track written with a prefix on every name, a BOM, CRLF line ends, GPX 1.0, a CDATA
// elevation and extensions gives the very same track; positions are the nearest floats.
TEST(GpxImport, PrefixesBomCrlfAndExtensionsMakeNoDifference) {
    const Imported plain =
        Import(Gpx("<trk><trkseg>" + Pt("47.123456789", "-121.987654321", "12.5") +
                   Pt("47.2", "-121.9", "20") + "</trkseg></trk>"));
    const std::string dressed =
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n"
        "<g:gpx version=\"1.0\" xmlns:g=\"http://www.topografix.com/GPX/1/0\" "
        "xmlns:x=\"urn:ext\">\r\n<g:trk><g:trkseg>\r\n"
        "<g:trkpt g:lat=\"47.123456789\" lon=\"-121.987654321\">\r\n"
        "  <g:ele><![CDATA[12.5]]></g:ele>\r\n"
        "  <g:extensions><x:hr>140</x:hr><x:atemp>21</x:atemp></g:extensions>\r\n"
        "</g:trkpt>\r\n<!-- a comment -->\r\n"
        "<g:trkpt lat=\"47.2\" lon=\"-121.9\"><g:ele>\r\n20\r\n</g:ele></g:trkpt>\r\n"
        "</g:trkseg></g:trk></g:gpx>\r\n";
    const Imported r = Import(dressed);
    ASSERT_TRUE(plain.result.Ok() && r.result.Ok()) << plain.result.Error() << r.result.Error();
    ASSERT_EQ(2, r.track->m_nCount);
    EXPECT_EQ(static_cast<float>(47.123456789), r.track->m_fLat[0]);
    EXPECT_EQ(static_cast<float>(-121.987654321), r.track->m_fLon[0]);
    EXPECT_EQ(static_cast<float>(12.5 * 3.2808399), r.track->m_fElev[0]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(plain.track->m_fLat[i], r.track->m_fLat[i]);
        EXPECT_EQ(plain.track->m_fLon[i], r.track->m_fLon[i]);
        EXPECT_EQ(plain.track->m_fElev[i], r.track->m_fElev[i]);
        EXPECT_EQ(plain.track->m_fDist[i], r.track->m_fDist[i]);
        EXPECT_EQ(plain.track->m_fSmooth[i], r.track->m_fSmooth[i]);
    }
}

// Thousands of empty elements inside a point leave the point and its elevation as they are.
TEST(GpxImport, ADocumentLargerThanItsMemoryIsReadWhole) {
    std::string tiny;
    for (int i = 0; i < 20000; ++i)
        tiny += "<a/>";
    const std::string point = "<trkpt lat=\"1\" lon=\"2\"><extensions>" + tiny + "</extensions>";
    const Imported r = Import(
        Gpx("<trk><trkseg>" + point + "<ele>5</ele></trkpt>" + point + "</trkpt></trkseg></trk>"));
    ASSERT_TRUE(r.result.Ok()) << r.result.Error();
    EXPECT_EQ(2, r.track->m_nCount);
    EXPECT_EQ(static_cast<float>(5 * 3.2808399), r.track->m_fElev[1]);
}

// A file reaches the reader in pieces of whatever size the file system or a pipe gives; one
// byte at a time reads the same as the whole, a BOM and a split multi-byte character included.
TEST(GpxImport, AFileFedAByteAtATimeReadsTheSameAsWhole) {
    const std::string gpx =
        "\xEF\xBB\xBF" +
        Gpx("<trk><name>K\xC3\xA4se</name><trkseg>" + Pt("47.5", "-121.5", "10") +
            "<trkpt lon=\"1\"/>" + "</trkseg><trkseg>" + Pt("47.6", "-121.4") + "</trkseg></trk>");
    const Imported whole = Import(gpx);
    CGpxReader reader;
    for (const char& c : gpx)
        ASSERT_TRUE(reader.Feed(std::span<const char>(&c, 1)));
    Imported bytewise;
    bytewise.result = CTrackImporter::ImportRead(reader, "walk.gpx", "GPX", *bytewise.track);
    ASSERT_TRUE(whole.result.Ok() && bytewise.result.Ok()) << bytewise.result.Error();
    EXPECT_EQ(whole.result.Notes(), bytewise.result.Notes());
    ASSERT_EQ(2, bytewise.track->m_nCount);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(whole.track->m_fLat[i], bytewise.track->m_fLat[i]);
        EXPECT_EQ(whole.track->m_fElev[i], bytewise.track->m_fElev[i]);
        EXPECT_EQ(whole.track->m_fDist[i], bytewise.track->m_fDist[i]);
    }
}

std::string BillionLaughs() {
    std::string s = "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        s += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            s += "&l" + std::to_string(i - 1) + ";";
        s += "\">\n";
    }
    return s + "]>\n<gpx><trk><name>&l9;</name><trkseg><trkpt lat=\"&l9;\" lon=\"1\"/>"
               "</trkseg></trk></gpx>\n";
}

TEST(GpxImport, BadFilesFailWithOneLineNamingTheFileAndLeaveTheTrackAlone) {
    const struct {
        std::string bytes;
        const char* error;
    } cases[] = {
        {"", "walk.gpx: the file is empty."},
        {Gpx("<trk><trkseg>\n" + Pt("1", "2")).substr(0, 150),
         "walk.gpx: XML error: unclosed token on line 4."},
        {kHead + "<trk>\n<trkseg>\n</trk>\n</gpx>",
         "walk.gpx: XML error: mismatched tag on line 5."},
        {kHead + "<trk>\n<trkseg>\n" + Pt("1", "2") + "</trkseg>\n</trk>\n",
         "walk.gpx: XML error: no element found on line 8."}, // the end of the file
        {std::string("\x0e\x10\x00\x00\x00\x2e\x46\x49\x54\x00\x00", 11),
         "walk.gpx: not a text file (a NUL byte) on line 1."},
        {"<kml xmlns=\"http://www.opengis.net/kml/2.2\"/>",
         "walk.gpx: not a GPX file (the root element is <kml>)."},
        {Gpx("<wpt lat=\"1\" lon=\"2\"/>\n<trk><trkseg></trkseg></trk>"),
         "No track points in walk.gpx."},
        {BillionLaughs(),
         "walk.gpx: XML error: limit on input amplification factor (from DTD and entities) "
         "breached on line 14."},
    };
    for (const auto& c : cases) {
        const auto track = std::make_unique<CTrack>();
        track->m_nCount = 7;
        std::string bytes = c.bytes;
        const ImportResult r = CTrackImporter().ImportGpx(bytes, "walk.gpx", *track);
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(c.error, r.Error());
        EXPECT_EQ(7, track->m_nCount);
    }
}

} // namespace
