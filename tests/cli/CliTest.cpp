// The command-line tool as a user runs it: convert, info, and the messages for bad files.
#include "CliRunner.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const char kTwoPoints[] = "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.51 W122.25\t200 ft\t0.25 mi\n";

TEST(Cli, ConvertWritesTheDocumentBytes) {
    const ScratchDir scratch;
    const std::string in = scratch.File("in.txt"), out = scratch.File("out.vrl");
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
