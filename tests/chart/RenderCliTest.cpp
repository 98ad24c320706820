// vorlan-cli render as a user runs it: the plots as SVG, the layout options, and the errors.
#include "CliRunner.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string kHill = std::string(VORLAN_TEST_DATA) + "/chart/hill.txt";

bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

std::ptrdiff_t FilesIn(const std::string& dir) {
    using std::filesystem::directory_iterator;
    return std::distance(directory_iterator(dir), directory_iterator());
}

class RenderCli : public testing::Test {
protected:
    // Renders and returns the document; the run must succeed.
    std::string Render(const std::string& args) {
        const std::string out = m_dir + "out.svg";
        std::remove(out.c_str());
        const CliResult r = RunCli("render " + args + " -o " + out);
        EXPECT_EQ(0, r.status) << r.out;
        EXPECT_EQ("", r.out);
        return ReadAll(out);
    }

    ScratchDir m_scratch;
    std::string m_dir = m_scratch.Path();
};

TEST_F(RenderCli, ElevationChartForAWindow) {
    const std::string svg = Render(kHill + " --plot elevation");
    EXPECT_NE(std::string::npos, svg.find("width=\"800\" height=\"600\""));
    EXPECT_NE(std::string::npos, svg.find("<rect x=\"30\" y=\"37\" width=\"725\" height=\"507\""));
    EXPECT_NE(std::string::npos, svg.find(">Elevation vs Distance (2.74 miles)</text>"));
    EXPECT_NE(std::string::npos, svg.find(">1210</text>"));

    // The client area is at least 120 x 80 mm; the zoom enlarges the page.
    EXPECT_NE(
        std::string::npos,
        Render("--plot elevation --size 300x200 " + kHill).find("width=\"453\" height=\"302\""));
    EXPECT_NE(std::string::npos,
              Render(kHill + " --plot elevation --zoom 2").find("width=\"1600\" height=\"1200\""));
    EXPECT_NE(std::string::npos,
              Render(kHill + " --plot elevation --dpi 192").find("<rect x=\"60\" y=\"75\""));
}

TEST_F(RenderCli, ElevationChartForAPrintedPage) {
    const std::string svg =
        Render(kHill + " --plot elevation --printer --size 4800x6600 --dpi 600 --zoom 4");
    EXPECT_NE(std::string::npos, svg.find("width=\"4800\" height=\"6600\""));
    EXPECT_NE(std::string::npos,
              svg.find("<rect x=\"590\" y=\"590\" width=\"3620\" height=\"2237\""));
}

TEST_F(RenderCli, DocumentBringsItsZoomAndAnglesUnlessGiven) {
    const std::string doc = m_dir + "hill.vrl";
    ASSERT_EQ(0, RunCli("convert --doc-version 1 " + kHill + " " + doc).status);
    // The last twelve bytes of version 1 are zoom, azimuth and elevation: set the zoom to 2.
    std::string bytes = ReadAll(doc);
    const float zoom = 2.0f;
    std::memcpy(&bytes[bytes.size() - 12], &zoom, 4);
    std::ofstream(doc, std::ios::binary) << bytes;

    EXPECT_NE(std::string::npos,
              Render(doc + " --plot elevation").find("width=\"1600\" height=\"1200\""));
    EXPECT_NE(std::string::npos,
              Render(doc + " --plot elevation --zoom 1").find("width=\"800\" height=\"600\""));

    const std::string atRest = Render(doc + " --plot 3d --zoom 1");
    EXPECT_NE(std::string::npos, atRest.find("width=\"800\" height=\"600\""));
    EXPECT_NE(std::string::npos, atRest.find("<polyline"));
    EXPECT_EQ(atRest, Render(kHill + " --plot 3d --azimuth 30 --elevation 20"));
    EXPECT_NE(atRest, Render(doc + " --plot 3d --zoom 1 --azimuth 60"));
    EXPECT_NE(atRest, Render(doc + " --plot 3d --zoom 1 --elevation -10"));
}

TEST_F(RenderCli, FilesThatCannotBeReadOrWrittenAreNamed) {
    const std::string out = m_dir + "never.svg";
    CliResult r = RunCli("render /nonexistent/track.txt --plot elevation -o " + out);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.rfind("vorlan-cli: /nonexistent/track.txt: cannot open file", 0)) << r.out;
    EXPECT_EQ(1, std::count(r.out.begin(), r.out.end(), '\n'));
    EXPECT_FALSE(Exists(out));

    r = RunCli("render " + kHill + " --plot elevation -o /nonexistent/dir/out.svg");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.rfind("vorlan-cli: /nonexistent/dir/out.svg: cannot write file", 0))
        << r.out;

    // A document of the wrong size is rejected.
    const std::string bad = m_dir + "bad.vrl";
    std::ofstream(bad, std::ios::binary) << "not a document";
    r = RunCli("render " + bad + " --plot 3d -o " + out);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find(bad)) << r.out;
    EXPECT_FALSE(Exists(out));
    EXPECT_EQ(1, FilesIn(m_dir)) << "no temporary file is left behind";
}

// A zoom below what Zoom Out reaches used to pass as "above 0": 1e-30 drew a page of 0 x 0.
TEST_F(RenderCli, ADocumentZoomedBelowTheCommandsIsRefused) {
    const std::string doc = m_dir + "hill.vrl", out = m_dir + "out.svg";
    ASSERT_EQ(0, RunCli("convert --doc-version 1 " + kHill + " " + doc).status);
    std::string bytes = ReadAll(doc);
    const float zoom = 1e-30f;
    std::memcpy(&bytes[bytes.size() - 12], &zoom, 4);
    std::ofstream(doc, std::ios::binary) << bytes;

    const CliResult r = RunCli("render " + doc + " --plot 3d -o " + out);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: " + doc +
                  ": not a Vorlan document: the zoom factor 1e-30 is not at least 0.505 and at "
                  "most 16\n",
              r.out);
    EXPECT_FALSE(Exists(out));
}

TEST_F(RenderCli, UsageErrors) {
    const std::string out = " -o " + m_dir + "out.svg";
    const std::string bad[] = {
        "",
        kHill + out,
        kHill + " --plot elevation",
        "--plot elevation" + out,
        kHill + " --plot pie" + out,
        kHill + " --plot elevation --size 0x600" + out,
        kHill + " --plot elevation --size 800" + out,
        kHill + " --plot elevation --size 800x600x3" + out,
        kHill + " --plot elevation --dpi 0" + out,
        kHill + " --plot elevation --dpi 96.5" + out,
        kHill + " --plot elevation --zoom 0" + out,
        kHill + " --plot elevation --zoom 0.5" + out,
        kHill + " --plot elevation --zoom nan" + out,
        kHill + " --plot elevation --zoom 17" + out,
        kHill + " --plot 3d --azimuth inf" + out,
        kHill + " --plot elevation --colour red" + out,
        kHill + " " + kHill + " --plot elevation" + out,
        kHill + " --plot elevation -o",
    };
    for (const std::string& args : bad) {
        const CliResult r = RunCli("render " + args);
        EXPECT_EQ(2, r.status) << args;
        EXPECT_NE(std::string::npos, r.out.find("Usage: vorlan-cli render IN -o OUT.svg")) << args;
    }
    EXPECT_EQ(0, FilesIn(m_dir));
}

} // namespace
