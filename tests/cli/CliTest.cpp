// The command-line tool as a user runs it: convert, info, and the messages for bad files.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string out;
};

Result RunCli(const std::string& args) {
    Result r;
    const std::string cmd = std::string(VORLAN_CLI) + " " + args + " 2>&1";
    std::FILE* p = popen(cmd.c_str(), "r");
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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
    const Result r = RunCli("convert " + in + " " + out);
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
    Result r = RunCli("info " + in);
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
    const std::string out = kDir + "cli_never.vrl";
    std::remove(out.c_str());
    Result r = RunCli("convert /nonexistent/x.txt " + out);
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
    const Result v = RunCli("--version");
    EXPECT_EQ(0, v.status);
    EXPECT_NE(std::string::npos, v.out.find("vorlan-cli 1.1")) << v.out;
    EXPECT_EQ(2, RunCli("convert onlyone.txt").status);
    EXPECT_EQ(2, RunCli("frobnicate").status);
}

} // namespace
