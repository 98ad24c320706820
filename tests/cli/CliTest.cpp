// The command-line tool as a user runs it: convert, info, and the messages for bad files.
#include "CliRunner.h"
#include "ScratchDir.h"
#include "TileWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const char kTwoPoints[] = "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.51 W122.25\t200 ft\t0.25 mi\n";

// Version 2 unless --doc-version 1 asks for the designed layout; a document converts to the
// other version and back to the same bytes.
TEST(Cli, ConvertWritesEitherVersionBothWays) {
    const ScratchDir scratch;
    const std::string in = scratch.File("in.txt"), v1 = scratch.File("v1.vrl"),
                      v2 = scratch.File("v2.vrl"), back = scratch.File("back.vrl");
    WriteText(in, kTwoPoints);
    CliResult r = RunCli("convert --doc-version 1 " + in + " " + v1);
    ASSERT_EQ(0, r.status) << r.out;
    const std::string bytes = ReadAll(v1);
    ASSERT_EQ(14u + 40u, bytes.size());
    EXPECT_EQ(std::string("\x02\x00", 2), bytes.substr(0, 2));
    // Zoom 1, azimuth 30, elevation 20 of a fresh chart.
    EXPECT_EQ(std::string("\x00\x00\x80\x3f\x00\x00\xf0\x41\x00\x00\xa0\x41", 12),
              bytes.substr(bytes.size() - 12));

    ASSERT_EQ(0, RunCli("convert " + in + " " + v2).status);
    EXPECT_EQ(0u, ReadAll(v2).find(std::string("\xff\xffVRLDOC\r\n\x02\x00\x00\x00", 14)));
    ASSERT_EQ(0, RunCli("convert " + v1 + " " + v2).status);
    ASSERT_EQ(0, RunCli("convert " + v2 + " " + back + " --doc-version 1").status);
    EXPECT_EQ(bytes, ReadAll(back));

    r = RunCli("convert --doc-version 3 " + in + " " + v2);
    EXPECT_EQ(2, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: convert: --doc-version must be 1 or 2\n")) << r.out;
}

// What info says of a track file, it says of the document saved from it: the record's points
// beside the chart's, and its channels.
TEST(Cli, InfoOnADocumentSaysWhatItSaidOfItsTrackFile) {
    const ScratchDir scratch;
    const std::string gpx = std::string(VORLAN_SAMPLES) + "/long-30000.gpx";
    const std::string doc = scratch.File("long.vrl");
    ASSERT_EQ(0, RunCli("convert " + gpx + " " + doc).status);
    const std::string lines = "Source: long-30000.gpx (GPX, written by make_samples.py)\n"
                              "Points: 30000 (10000 in the chart)\n"
                              "Data: elevation, time\n";
    const CliResult fromFile = RunCli("info " + gpx), fromDoc = RunCli("info " + doc);
    EXPECT_NE(std::string::npos, fromFile.out.find("File: " + gpx + "\n" + lines)) << fromFile.out;
    EXPECT_NE(std::string::npos, fromDoc.out.find("File: " + doc + "\n" + lines)) << fromDoc.out;
    const auto statistics = [](const std::string& out) {
        return out.substr(out.find("  Total distance"));
    };
    EXPECT_EQ(statistics(fromFile.out), statistics(fromDoc.out));
}

// Four points ten seconds apart, the third where the second was: 30 s elapsed, 20 s moving.
TEST(Cli, InfoGivesTheTimesInTheMachinesZoneOrUtcAndEveryStatisticAsJson) {
    const ScratchDir scratch;
    const std::string gpx = scratch.File("walk.gpx");
    std::string points;
    const char* const lats[] = {"46.500", "46.501", "46.501", "46.502"};
    for (int i = 0; i < 4; ++i)
        points += std::string("<trkpt lat=\"") + lats[i] + "\" lon=\"8\"><ele>" +
                  std::to_string(500 + 10 * i) +
                  "</ele><time>2021-07-01T08:00:" + std::to_string(10 + 10 * i) +
                  "Z</time><extensions><hr>" + std::to_string(100 + 10 * i) +
                  "</hr></extensions></trkpt>";
    WriteText(gpx, "<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>");

    CliResult r = RunCli("info " + gpx);
    EXPECT_NE(std::string::npos, r.out.find("  Start: 2021-07-01 08:00:10 +00:00\n"
                                            "  End: 2021-07-01 08:00:40 +00:00\n"
                                            "  Elapsed time: 0:00:30\n"
                                            "  Moving time: 0:00:20\n"))
        << r.out;
    r = RunCli("info --utc " + gpx);
    EXPECT_NE(std::string::npos, r.out.find("  Start: 2021-07-01 08:00:10 UTC\n")) << r.out;
    r = RunCli("info --json " + gpx);
    ASSERT_EQ(0, r.status) << r.out;
    // The import's notes come first, on stderr.
    const auto json = nlohmann::json::parse(r.out.substr(r.out.find('{')));
    EXPECT_EQ("2021-07-01T08:00:10Z", json["start_time"]);
    EXPECT_EQ(30, json["elapsed_time_s"]);
    EXPECT_EQ(20, json["moving_time_s"]);
    EXPECT_EQ(115, json["heart_rate_avg_bpm"]);
    EXPECT_EQ(130, json["heart_rate_max_bpm"]);
    EXPECT_EQ(500, json["start_elevation_m"]);
    EXPECT_EQ((std::vector<std::string>{"elevation", "time", "heart_rate"}), json["channels"]);
    EXPECT_FALSE(json.contains("power_avg_w"));
}

// info --dem: the ground under the track from a folder of tiles, here a plane rising 1200 m a
// degree northwards (1600 m at 47.5 N, 1675 m at 47.5625 N, latitudes a text export's floats
// keep exactly), in words and as JSON; a folder without the tile names it.
TEST(Cli, InfoGivesTheGroundUnderTheTrackFromElevationTiles) {
    const ScratchDir scratch;
    const std::string track = scratch.File("north.txt");
    WriteText(track, "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                     "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                     "Trackpoint\tN47.5625 W122.25\t200 ft\t0.25 mi\n");
    const std::string dem = MakeFolder(scratch.File("dem"));
    WriteHgt(dem + "N47W123.hgt", HgtSamples(1201, 47, -123, [](double lat, double) {
                 return 1000 + 1200 * (lat - 47);
             }));
    CliResult r = RunCli("info --units metric --dem " + dem + " " + track);
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("  Lowest ground: 1600 m\n  Highest ground: 1675 m\n"
                                            "  Terrain ascent: 75 m\n  Terrain descent: 0 m\n"))
        << r.out;
    r = RunCli("info --json " + track + " --dem " + dem);
    const auto json = nlohmann::json::parse(r.out.substr(r.out.find('{')));
    EXPECT_EQ(1600, json["terrain_lowest_m"]);
    EXPECT_EQ(1675, json["terrain_highest_m"]);
    EXPECT_EQ(75, json["terrain_ascent_m"]);
    const std::string empty = MakeFolder(scratch.File("empty"));
    r = RunCli("info " + track + " --dem " + empty);
    EXPECT_NE(std::string::npos,
              r.out.find("  No elevation data for N47W123 (1 of 1 tile needed).\n"))
        << r.out;
    EXPECT_EQ(1, RunCli("info " + track + " --dem " + scratch.File("none")).status);
    // render --plot 3d --dem draws the ground's cells in the box; without it, the designed scene
    // has one polygon, the floor.
    const std::string svg = scratch.File("ground.svg");
    ASSERT_EQ(0, RunCli("render --plot 3d --dem " + dem + " " + track + " -o " + svg).status);
    const std::string ground = ReadAll(svg);
    EXPECT_LT(ground.find("<polygon"), ground.rfind("<polygon"));
    ASSERT_EQ(0, RunCli("render --plot 3d " + track + " -o " + svg).status);
    const std::string plain = ReadAll(svg);
    EXPECT_EQ(plain.find("<polygon"), plain.rfind("<polygon"));
}

// render --plot stl: the terrain model from the companion program, the tiles' folder from --dem or
// $VORLAN_DEM alike; 84 bytes and 50 a triangle. Never over the input; no tile, no file.
TEST(Cli, RenderMakesAnStlModelOfTheGroundFromElevationTiles) {
    const ScratchDir scratch;
    const std::string track = scratch.File("north.txt"), stl = scratch.File("north.stl");
    WriteText(track, kTwoPoints);
    const std::string dem = MakeFolder(scratch.File("dem"));
    WriteGeoTiff(dem + "N47W123.tif", GeoTiffOf(47, -123, 128, true, true, [](double lat, double) {
                     return 1000 + 1200 * (lat - 47);
                 }));
    CliResult r = RunCli("render --plot stl --dem " + dem + " " + track + " -o " + stl +
                         " --exaggeration 2 --base 5");
    ASSERT_EQ(0, r.status) << r.out;
    const std::string bytes = ReadAll(stl);
    ASSERT_GT(bytes.size(), 84u);
    EXPECT_EQ(0u, bytes.find("Vorlan terrain model"));
    const auto byte = [&](int i) {
        return std::uint32_t{static_cast<unsigned char>(bytes[80 + i])};
    };
    EXPECT_EQ(84 + 50 * (byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24), bytes.size());
    r = RunShell("VORLAN_DEM=" + dem + " " + VORLAN_CLI + " render --plot stl " + track + " -o " +
                 stl + ".env --exaggeration 2 --base 5 2>&1");
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_EQ(bytes, ReadAll(stl + ".env"));

    r = RunCli("render --plot stl --dem " + dem + " " + track + " -o " + track);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(kTwoPoints, ReadAll(track));
    const std::string empty = MakeFolder(scratch.File("empty"));
    r = RunCli("render --plot stl --dem " + empty + " " + track + " -o " + scratch.File("no.stl"));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("vorlan-cli: " + empty +
                                            ": No elevation data for N47W123 (1 of 1 tile "
                                            "needed).\n"))
        << r.out;
    EXPECT_FALSE(std::filesystem::exists(scratch.File("no.stl")));
    r = RunShell("env -u VORLAN_DEM " + std::string(VORLAN_CLI) + " render --plot stl " + track +
                 " -o " + stl + " 2>&1");
    EXPECT_EQ(2, r.status) << r.out;
    EXPECT_EQ(2,
              RunCli("render --plot 3d --base 5 " + track + " -o " + scratch.File("x.svg")).status);
}

// export: the format from the option or the output's extension; never over its input.
TEST(Cli, ExportWritesGpxOrCsvAndRefusesToOverwriteItsInput) {
    const ScratchDir scratch;
    const std::string gpx = std::string(VORLAN_SAMPLES) + "/two-tracks.gpx";
    const std::string csv = scratch.File("out.csv"), copy = scratch.File("out.xml");
    ASSERT_EQ(0, RunCli("export " + gpx + " -o " + csv).status);
    EXPECT_EQ(0u, ReadAll(csv).find("track,segment,time_utc,latitude_deg,longitude_deg,"));
    ASSERT_EQ(0, RunCli("export --format gpx " + gpx + " -o " + copy).status);
    EXPECT_NE(std::string::npos, ReadAll(copy).find("<gpx version=\"1.1\" creator=\"Vorlan "));
    CliResult r = RunCli("export " + gpx + " -o " + scratch.File("out.txt"));
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.out.find("--format must be given")) << r.out;
    EXPECT_EQ(2, RunCli("export --format kml " + gpx + " -o " + copy).status);
    r = RunCli("export " + copy + " -o " + copy + " --format gpx");
    EXPECT_EQ(1, r.status) << r.out;
}

TEST(Cli, InfoDescribesTextAndDocument) {
    const ScratchDir scratch;
    const std::string in = scratch.File("info.txt"), out = scratch.File("info.vrl");
    WriteText(in, kTwoPoints);
    CliResult r = RunCli("info " + in);
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Points: 2\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Coordinate format: 1 (decimal degrees)")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Distance: 0.75 miles")) << r.out;
    ASSERT_EQ(0, RunCli("convert " + in + " " + out).status);
    r = RunCli("info " + out);
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Points: 2\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Distance: 0.75 miles")) << r.out;
}

// info's statistics block in both units (the notes of the import among them) and render's
// --units: metric texts, imperial the same bytes as no option, anything else a usage error.
TEST(Cli, UnitsOfInfoAndRender) {
    const ScratchDir scratch;
    const std::string in = scratch.File("three.txt"), empty = scratch.File("empty.txt");
    WriteText(in, kTwoPoints);
    WriteText(empty, "Grid\tLat/Lon hddd.ddddd\n");

    CliResult r = RunCli("info " + in);
    ASSERT_EQ(0, r.status) << r.out;
    // The distance from the positions, the export's own beside it; grades from the recorded
    // elevations over that distance.
    EXPECT_NE(std::string::npos, r.out.find("Elevation bounds: 90.0 to 211.0 ft\n"
                                            "Statistics (imperial):\n"
                                            "  Points: 2\n"
                                            "  Data: elevation\n"
                                            "  Total distance: 0.69 mi (device: 0.75 mi)\n"
                                            "  Start elevation: 100 ft\n"
                                            "  End elevation: 200 ft\n"
                                            "  Lowest elevation: 100 ft\n"
                                            "  Highest elevation: 200 ft\n"
                                            "  Total ascent: 100 ft\n"
                                            "  Total descent: 0 ft\n"
                                            "  Steepest climb: +2.7 % from 0.00 to 0.69 mi\n"
                                            "  Steepest descent: none\n"
                                            "  Latitude: 47.50000\u00b0 to 47.51000\u00b0\n"
                                            "  Longitude: -122.25000\u00b0 to -122.25000\u00b0\n"))
        << r.out;
    r = RunCli("info --units metric " + in);
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Distance: 1.21 km\n"
                                            "Elevation: 30.5 to 61.0 m\n"))
        << "the first lines in the units too";
    EXPECT_NE(std::string::npos, r.out.find("Statistics (metric):\n"
                                            "  Points: 2\n"
                                            "  Data: elevation\n"
                                            "  Total distance: 1.11 km (device: 1.21 km)\n"
                                            "  Start elevation: 30 m\n"
                                            "  End elevation: 61 m\n"
                                            "  Lowest elevation: 30 m\n"
                                            "  Highest elevation: 61 m\n"
                                            "  Total ascent: 30 m\n"
                                            "  Total descent: 0 m\n"
                                            "  Steepest climb: +2.7 % from 0.00 to 1.11 km\n"))
        << r.out;
    r = RunCli("info " + empty);
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("  Points: 0\n"
                                            "  Data: position only\n"
                                            "  Import note: No track points in " +
                                            empty +
                                            ".\n"
                                            "  Total distance: 0.00 mi\n"
                                            "  Start elevation: none\n"))
        << r.out;

    const std::string svg = scratch.File("out.svg");
    ASSERT_EQ(0, RunCli("render " + in + " -o " + svg + " --plot elevation").status);
    const std::string imperial = ReadAll(svg);
    ASSERT_EQ(0,
              RunCli("render " + in + " -o " + svg + " --plot elevation --units imperial").status);
    EXPECT_EQ(imperial, ReadAll(svg));
    ASSERT_EQ(0, RunCli("render " + in + " -o " + svg + " --plot elevation --units metric").status);
    const std::string metric = ReadAll(svg);
    EXPECT_NE(std::string::npos, metric.find(">Elevation vs Distance (1.21 km)</text>")) << metric;
    EXPECT_NE(std::string::npos, metric.find(">Distance, km</text>")) << metric;
    EXPECT_NE(std::string::npos, metric.find(">Elevation, m</text>")) << metric;

    EXPECT_EQ(2, RunCli("info " + in + " --units feet").status);
    EXPECT_EQ(2, RunCli("info " + in + " --units").status);
    EXPECT_EQ(2, RunCli("render " + in + " -o " + svg + " --plot 3d --units si").status);
}

// What the import found goes to stderr before the description; a file that gives no track is one
// line naming it, exit status 1.
TEST(Cli, InfoTellsWhatTheImportOfAGpxFileFound) {
    const std::string samples = VORLAN_SAMPLES;
    CliResult r = RunCli("info " + samples + "/two-tracks.gpx");
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_EQ(0u, r.out.find("vorlan-cli: GPX: 2400 points read.\nFile: ")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Points: 2400\n")) << r.out;
    r = RunCli("info " + samples + "/long-30000.gpx");
    ASSERT_EQ(0, r.status) << r.out;
    EXPECT_EQ(0u, r.out.find("vorlan-cli: GPX: 30000 points read.\n"
                             "vorlan-cli: Simplified from 30000 to 10000 points.\nFile: "))
        << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Points: 30000 (10000 in the chart)\n")) << r.out;
    // What the output cannot take is an error, not a success.
    EXPECT_EQ(1, RunShell(std::string(VORLAN_CLI) + " info " + samples +
                          "/two-tracks.gpx > /dev/full 2>&1")
                     .status);

    const ScratchDir scratch;
    const std::string bad = scratch.File("bad.gpx");
    WriteText(bad, "<gpx><trk>");
    r = RunCli("convert " + bad + " " + bad + ".vrl");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: " + bad + ": ")) << r.out;
    EXPECT_EQ(r.out.size() - 1, r.out.find('\n')) << r.out;
    EXPECT_TRUE(ReadAll(bad + ".vrl").empty());
}

TEST(Cli, FailuresNameTheFileAndWriteNothing) {
    const ScratchDir scratch;
    const std::string out = scratch.File("never.vrl");
    CliResult r = RunCli("convert /nonexistent/x.txt " + out);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("/nonexistent/x.txt")) << r.out;
    EXPECT_TRUE(ReadAll(out).empty());

    const std::string damaged = scratch.File("damaged.vrl");
    WriteText(damaged, std::string("\x05\x00\x01\x02", 4));
    r = RunCli("info " + damaged);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find(damaged)) << r.out;

    // A failed conversion leaves an existing output as it was.
    const std::string existing = scratch.File("existing.vrl");
    WriteText(existing, "keep me");
    r = RunCli("convert /nonexistent/x.txt " + existing);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("keep me", ReadAll(existing));
}

TEST(Cli, HelpVersionAndUsage) {
    EXPECT_EQ(0, RunCli("--help").status);
    const CliResult v = RunCli("--version");
    EXPECT_EQ(0, v.status);
    EXPECT_NE(std::string::npos, v.out.find("vorlan-cli 1.1")) << v.out;
    EXPECT_EQ(2, RunCli("convert onlyone.txt").status);
    EXPECT_EQ(2, RunCli("frobnicate").status);
}

} // namespace
