// The command-line tool as a user runs it: convert, info, and the messages for bad files.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string kDir = ::testing::TempDir();

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const char kTwoPoints[] = "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.51 W122.25\t200 ft\t0.25 mi\n";

TEST(Cli, ConvertWritesTheDocumentBytes) {
    const std::string in = kDir + "cli_in.txt", out = kDir + "cli_out.vrl";
    WriteText(in, kTwoPoints);
    const CliResult r = RunCli("convert " + in + " " + out);
    ASSERT_EQ(0, r.status) << r.out;
    const std::string bytes = ReadAll(out);
    ASSERT_EQ(14u + 40u, bytes.size());
    EXPECT_EQ(std::string("\x02\x00", 2), bytes.substr(0, 2));
    // Zoom 1, azimuth 30, elevation 20 of a fresh chart.
    EXPECT_EQ(std::string("\x00\x00\x80\x3f\x00\x00\xf0\x41\x00\x00\xa0\x41", 12),
              bytes.substr(bytes.size() - 12));
}

TEST(Cli, InfoDescribesTextAndDocument) {
    const std::string in = kDir + "cli_info.txt", out = kDir + "cli_info.vrl";
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
    EXPECT_NE(std::string::npos, r.out.find("Points: 10000\n")) << r.out;

    const std::string bad = kDir + "cli_bad_" + std::to_string(getpid()) + ".gpx";
    WriteText(bad, "<gpx><trk>");
    r = RunCli("convert " + bad + " " + bad + ".vrl");
    std::remove(bad.c_str());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: " + bad + ": ")) << r.out;
    EXPECT_EQ(r.out.size() - 1, r.out.find('\n')) << r.out;
    EXPECT_TRUE(ReadAll(bad + ".vrl").empty());
}

TEST(Cli, FailuresNameTheFileAndWriteNothing) {
    const std::string out = kDir + "cli_never.vrl";
    std::remove(out.c_str());
    CliResult r = RunCli("convert /nonexistent/x.txt " + out);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("/nonexistent/x.txt")) << r.out;
    EXPECT_TRUE(ReadAll(out).empty());

    const std::string damaged = kDir + "cli_damaged.vrl";
    WriteText(damaged, std::string("\x05\x00\x01\x02", 4));
    r = RunCli("info " + damaged);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find(damaged)) << r.out;

    // A failed conversion leaves an existing output as it was.
    const std::string existing = kDir + "cli_existing.vrl";
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
