// vorlan-cli under an address-space limit: a GPX file of any shape is read within twice its size
// plus 100 MB, and running out of memory is a one-line error, never an abort. The limit is set in
// the child's shell (ulimit -v); the sanitizers reserve terabytes of address space, so these tests
// run in the plain build only.
#include "CliRunner.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kShapeBytes = 20 * kMiB;
// The bound: twice the file's size plus this.
constexpr std::size_t kAllowanceBytes = 100 * kMiB;
// Too little for the points of a 25 MB file, enough for the program itself.
constexpr std::size_t kTooLittleBytes = 30 * kMiB;
constexpr int kTimeLimit = 60;

const char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<gpx version=\"1.1\" creator=\"test\" "
                     "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
const char kTail[] = "</trkseg></trk>\n</gpx>\n";

// A GPX file of about nBytes: unit again and again between two real points.
void WriteShape(const std::string& path, const std::string& unit, std::size_t nBytes) {
    std::ofstream out(path, std::ios::binary);
    out << kHead << "<trkpt lat=\"1\" lon=\"2\"/>\n";
    std::string block;
    while (block.size() < kMiB)
        block += unit;
    for (std::size_t n = 0; n < nBytes; n += block.size())
        out << block;
    out << "\n<trkpt lat=\"1.01\" lon=\"2\"/>\n" << kTail;
}

// A logger's points: elevation and time on each, every one a little further on.
void WriteLoggerTrack(const std::string& path, std::size_t nBytes) {
    std::ofstream out(path, std::ios::binary);
    out << kHead;
    char point[200];
    for (std::size_t n = 0, i = 0; n < nBytes; ++i) {
        const int len = std::snprintf(
            point, sizeof point,
            "      <trkpt lat=\"%.7f\" lon=\"%.7f\">\n        <ele>%.1f</ele>\n"
            "        <time>2021-07-01T%02zu:%02zu:%02zuZ</time>\n      </trkpt>\n",
            46.5 + static_cast<double>(i % 5000) * 4e-5, 8.0 + static_cast<double>(i) * 6e-6,
            1500.0 + static_cast<double>(i % 800), i / 3600 % 24, i / 60 % 60, i % 60);
        out.write(point, len);
        n += static_cast<std::size_t>(len);
    }
    out << kTail;
}

// vorlan-cli info PATH with at most nBytes of address space.
CliResult InfoWithin(const std::string& path, std::size_t nBytes) {
    CliResult r;
    const std::string cmd = "ulimit -v " + std::to_string(nBytes / 1024) + "; exec timeout " +
                            std::to_string(kTimeLimit) + " " + VORLAN_CLI + " info '" + path +
                            "' 2>&1";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class Memory : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "the sanitizers need more address space than any limit here allows";
#endif
    }
    ScratchDir m_scratch;
};

TEST_F(Memory, EveryShapeOfFileIsReadWithinTwiceItsSizePlus100MB) {
    const struct {
        const char* name;
        std::string unit; // empty for the logger's track
    } shapes[] = {
        {"logger.gpx", ""},
        {"short.gpx", "<trkpt lat=\"1\" lon=\"2\"/>\n"},
        {"attributes.gpx", "<trkpt lat=\"1\" lon=\"2\" a=\"\" b=\"\" c=\"\" d=\"\" e=\"\" f=\"\" "
                           "g=\"\" h=\"\" i=\"\" j=\"\" k=\"\" l=\"\" m=\"\" n=\"\" o=\"\" "
                           "p=\"\"/>\n"},
        {"empty.gpx", "<a/>"},
    };
    for (const auto& s : shapes) {
        const std::string path = m_scratch.File(s.name);
        if (s.unit.empty())
            WriteLoggerTrack(path, kShapeBytes);
        else
            WriteShape(path, s.unit, kShapeBytes);
        const CliResult r = InfoWithin(path, 2 * kShapeBytes + kAllowanceBytes);
        EXPECT_EQ(0, r.status) << s.name << "\n" << r.out.substr(0, 300);
        EXPECT_EQ(0u, r.out.find("vorlan-cli: GPX: ")) << s.name << "\n" << r.out.substr(0, 300);
    }
}

// Every different element name stays in the stream parser's tables: such a file is refused once
// they outgrow the bytes read, instead of taking eight times its size. A declared Latin-1 is read
// by the stream parser (the pieces of UTF-8 keep no names from one piece to the next).
TEST_F(Memory, AFileOfDifferentNamesIsRefusedWithinTheBound) {
    const std::string path = m_scratch.File("names.gpx");
    {
        std::ofstream out(path, std::ios::binary);
        std::string head = kHead;
        head.replace(head.find("UTF-8"), 5, "ISO-8859-1");
        out << head;
        for (std::size_t n = 0, i = 0; n < kShapeBytes; ++i) {
            const std::string name = "<e" + std::to_string(i) + "/>";
            out << name;
            n += name.size();
        }
        out << kTail;
    }
    const CliResult r = InfoWithin(path, 2 * kShapeBytes + kAllowanceBytes);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: " + path +
                  ": XML error: the document needs more memory than its size allows on line 4.\n",
              r.out);
}

TEST_F(Memory, RunningOutIsAOneLineErrorNamingTheFile) {
    const std::string path = m_scratch.File("points.gpx");
    WriteShape(path, "<trkpt lat=\"1\" lon=\"2\"/>\n", 25 * kMiB);
    const CliResult r = InfoWithin(path, kTooLittleBytes);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: not enough memory to read " + path + "\n", r.out);
}

} // namespace
