// Files read through GPSBabel: a missing, failing or hanging converter gives a clean message, the
// converter is found only in absolute PATH entries and ends with everything it started, its
// warnings are quoted when it gives no points, and every format offered through it reads back
// the sample it wrote. FIT, TCX, KML and IGC files that gpsbabel writes from a sample GPX give our
// own readers the positions gpsbabel itself reads from them. The real conversions are skipped
// when gpsbabel is not installed.
#include "CFitReader.h"
#include "CGpsbabel.h"
#include "CGpsbabelFormats.h"
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackFileTypes.h"
#include "CTrackImporter.h"
#include "ReadWith.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HaveGpsbabel() {
    return std::system("command -v gpsbabel >/dev/null 2>&1") == 0;
}

// A scratch folder per process and test, removed afterwards.
class GpsbabelImport : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("vorlan-gpsbabel-" + std::to_string(::getpid()) + "-" + info->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const std::string& name, const std::string& text, bool bExecutable = false) {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << text;
        if (bExecutable)
            fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }

    ImportResult Import(const std::string& path, const std::string& format,
                        CGpsbabel gpsbabel = CGpsbabel()) {
        return CTrackImporter(std::move(gpsbabel)).ImportConverted(path, format, *m_track);
    }

    fs::path m_dir;
    std::unique_ptr<CTrack> m_track = std::make_unique<CTrack>();
};

TEST_F(GpsbabelImport, AMissingProgramIsNamedWithItsPackage) {
    const std::string fit = Write("ride.fit", "not really");
    const ImportResult r =
        Import(fit, "garmin_fit", CGpsbabel((m_dir / "no-such-gpsbabel").string()));
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ("Cannot convert " + fit + ": gpsbabel is not installed (Debian package gpsbabel).",
              r.Error());
}

TEST_F(GpsbabelImport, AFailingOrHangingConverterGivesItsFirstErrorLineOrTheTimeLimit) {
    const std::string fit = Write("ride.fit", "not really");
    const std::string failing =
        Write("failing", "#!/bin/sh\necho '<gpx>' \necho '\n  FIT: bad header\nmore' >&2\nexit 1\n",
              true);
    ImportResult r = Import(fit, "garmin_fit", CGpsbabel(failing));
    EXPECT_EQ("GPSBabel could not read " + fit + ": FIT: bad header", r.Error());

    const std::string silent = Write("silent", "#!/bin/sh\nkill -9 $$\n", true);
    r = Import(fit, "garmin_fit", CGpsbabel(silent));
    EXPECT_EQ("GPSBabel could not read " + fit + " (signal 9).", r.Error());

    const std::string hanging = Write("hanging", "#!/bin/sh\nsleep 60\n", true);
    r = Import(fit, "garmin_fit", CGpsbabel(hanging, std::chrono::milliseconds(300)));
    EXPECT_EQ("GPSBabel did not finish converting " + fit + " within 0.3 s and was stopped.",
              r.Error());
    EXPECT_EQ(0, m_track->m_nCount);

    // A conversion that writes nothing still asks its caller now and then whether to go on, so
    // that a cancelled import stops it long before the time limit.
    struct Stopped {};
    int nAsked = 0;
    EXPECT_THROW(CTrackImporter(CGpsbabel(hanging))
                     .ImportConverted(fit, "garmin_fit", *m_track,
                                      [&nAsked](std::uint64_t) {
                                          if (++nAsked == 2)
                                              throw Stopped();
                                      }),
                 Stopped);
}

// The error line is the converter's, and the converter may be fed a hostile file: what reaches
// the message is at most 80 characters with its escape sequences shown, not acted on.
TEST_F(GpsbabelImport, TheConvertersErrorLineIsQuotedShortAndHarmless) {
    const std::string fit = Write("ride.fit", "not really");
    const std::string noisy =
        Write("noisy", "#!/bin/sh\nprintf '\\033[31mFIT: bad %010000d\\n' 0 >&2\nexit 1\n", true);
    const ImportResult r = Import(fit, "garmin_fit", CGpsbabel(noisy));
    EXPECT_EQ("GPSBabel could not read " + fit + ": \\x1b[31mFIT: bad " + std::string(63, '0') +
                  "...",
              r.Error());
}

// Restores the working folder and PATH that a test changes.
class WorkingFolderAndPath {
public:
    WorkingFolderAndPath() : m_folder(fs::current_path()), m_path(std::getenv("PATH")) {}
    ~WorkingFolderAndPath() {
        fs::current_path(m_folder);
        setenv("PATH", m_path.c_str(), 1);
    }
    WorkingFolderAndPath(const WorkingFolderAndPath&) = delete;
    WorkingFolderAndPath& operator=(const WorkingFolderAndPath&) = delete;

private:
    fs::path m_folder;
    std::string m_path;
};

// An empty or relative PATH entry stands for a folder the file being read may share: a
// "gpsbabel" planted there must never run.
TEST_F(GpsbabelImport, TheConverterIsFoundOnlyInAbsolutePathEntries) {
    const WorkingFolderAndPath restore;
    const std::string ran = (m_dir / "ran").string();
    Write("gpsbabel", "#!/bin/sh\n: > '" + ran + "'\necho '<gpx/>'\n", true);
    const std::string fit = Write("ride.fit", "not really");
    fs::current_path(m_dir);
    for (const char* path : {"", "/nonexistent:", ":/nonexistent", ".", "./"}) {
        setenv("PATH", path, 1);
        EXPECT_EQ("Cannot convert " + fit +
                      ": gpsbabel is not installed (Debian package gpsbabel).",
                  CGpsbabel().ToGpx(fit, "garmin_fit", fit, [](std::span<const char>) {}).error)
            << "PATH=" << path;
    }
    EXPECT_FALSE(fs::exists(ran));
    setenv("PATH", ("/nonexistent::" + m_dir.string()).c_str(), 1);
    EXPECT_EQ("", CGpsbabel().ToGpx(fit, "garmin_fit", fit, [](std::span<const char>) {}).error);
    EXPECT_TRUE(fs::exists(ran));
}

// A process that starts a session of its own leaves the converter's process group; at the time
// limit it must end with the converter all the same. The script hands over its pid through a
// FIFO, so it is known before the limit passes.
TEST_F(GpsbabelImport, WhatTheConverterStartedEndsWithItAtTheTimeLimit) {
    const std::string fifo = (m_dir / "ready").string(), pidFile = (m_dir / "pid").string();
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string escaping = Write(
        "escaping",
        "#!/bin/sh\nsetsid sh -c 'echo $$ > \"$1\"; exec sleep 60' escapee '" + fifo +
            "' &\nread pid < '" + fifo + "'\necho \"$pid\" > '" + pidFile + "'\nexec sleep 60\n",
        true);
    const std::string fit = Write("ride.fit", "not really");
    const ConversionResult r = CGpsbabel(escaping, std::chrono::seconds(2))
                                   .ToGpx(fit, "garmin_fit", fit, [](std::span<const char>) {});
    EXPECT_EQ("GPSBabel did not finish converting " + fit + " within 2 s and was stopped.",
              r.error);
    const pid_t escapee = static_cast<pid_t>(std::atoi(ReadText(pidFile).c_str()));
    ASSERT_GT(escapee, 0);
    const bool bAlive = ::kill(escapee, 0) == 0;
    EXPECT_FALSE(bAlive);
    if (bAlive)
        ::kill(escapee, SIGKILL);
}

// The converter is asked for GPX with the extensions that carry time and sensors; a conversion
// without points quotes its first two warning lines instead of just saying there were none.
TEST_F(GpsbabelImport, AConversionWithoutPointsQuotesTheConvertersWarnings) {
    const std::string args = (m_dir / "args").string();
    const std::string warning =
        Write("warning",
              "#!/bin/sh\necho \"$@\" > '" + args +
                  "'\necho '<gpx version=\"1.1\"/>'\nprintf '\\nnmea: No date found within "
                  "track (all points dropped)!\\n  nmea: Please use option \"date\" to preset a "
                  "valid date for those tracks.\\nthird\\n' >&2\n",
              true);
    const std::string log = Write("log.txt", "$GPGGA");
    const ImportResult r = Import(log, "nmea", CGpsbabel(warning));
    EXPECT_EQ("-t -r -i nmea -f " + log + " -o gpx,garminextensions -F -\n", ReadText(args));
    EXPECT_EQ("No track points in " + log +
                  ". GPSBabel said: nmea: No date found within track (all points dropped)! / "
                  "nmea: Please use option \"date\" to preset a valid date for those tracks.",
              r.Error());
}

// Every format offered through GPSBabel reads back what gpsbabel writes of the sample: all of
// its 900 + 1500 points, or those of its first track where the format holds one.
TEST_F(GpsbabelImport, EveryOtherFormatReadsBackTheSampleGpsbabelWrote) {
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed";
    const std::string gpx = std::string(VORLAN_SAMPLES) + "/two-tracks.gpx";
    const std::map<std::string, std::size_t> firstTrackOnly = {
        {"ht", 900}, {"plt", 900}, {"rdn", 900}};
    for (const GpsbabelFormat& f : CGpsbabelFormats::All()) {
        const std::string out = (m_dir / (std::string("ride.") + f.extension)).string();
        const std::string cmd = "gpsbabel -t -i gpx -f '" + gpx + "' -o " + f.gpsbabelName +
                                " -F '" + out + "' 2>/dev/null";
        ASSERT_EQ(0, std::system(cmd.c_str())) << cmd;
        const ImportResult r = Import(out, f.gpsbabelName);
        ASSERT_TRUE(r.Ok()) << r.Error();
        const auto only = firstTrackOnly.find(f.extension);
        EXPECT_EQ(only == firstTrackOnly.end() ? 2400u : only->second, r.nRead) << f.extension;
        EXPECT_EQ(std::string(f.description) + " via GPSBabel", r.format);
    }
}

// What gpsbabel makes of a file, read by the GPX reader: the way these formats were read before
// the readers of our own.
ReadResult ReadThroughGpsbabel(const std::string& path, const char* format) {
    CGpxReader reader;
    const ConversionResult converted = CGpsbabel().ToGpx(
        path, format, path, [&reader](std::span<const char> gpx) { reader.Feed(gpx); });
    EXPECT_EQ("", converted.error);
    return reader.Finish();
}

// TCX and KML keep both tracks of the sample; IGC one flight, which gpsbabel reads as a track of
// each altitude: the first of them is compared.
TEST_F(GpsbabelImport, OurReadersGiveThePositionsGpsbabelReadsFromItsOwnFiles) {
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed";
    const std::string gpx = std::string(VORLAN_SAMPLES) + "/two-tracks.gpx";
    const struct {
        const char* ext;
        const char* format;
        std::size_t nPoints;
    } formats[] = {{"tcx", "gtrnctr", 2400}, {"kml", "kml", 2400}, {"igc", "igc", 1500}};
    for (const auto& f : formats) {
        const std::string out = (m_dir / (std::string("ride.") + f.ext)).string();
        const std::string cmd =
            "gpsbabel -t -i gpx -f '" + gpx + "' -o " + f.format + " -F '" + out + "' 2>/dev/null";
        ASSERT_EQ(0, std::system(cmd.c_str())) << cmd;
        const ReadResult before = ReadThroughGpsbabel(out, f.format);
        const ReadResult ours = ReadWith(CTrackFileTypes::Of(out)->makeReader, ReadText(out));
        ASSERT_EQ("", ours.error) << f.ext;
        ASSERT_EQ(f.nPoints, ours.record.Size()) << f.ext;
        ASSERT_LE(f.nPoints, before.record.Size()) << f.ext;
        for (std::size_t i = 0; i < f.nPoints; ++i) {
            ASSERT_NEAR(before.record.Lat()[i], ours.record.Lat()[i], 1e-6) << f.ext << " " << i;
            ASSERT_NEAR(before.record.Lon()[i], ours.record.Lon()[i], 1e-6) << f.ext << " " << i;
        }
    }
}

// What gpsbabel cannot read is one line naming the file, whatever it printed.
TEST_F(GpsbabelImport, AFileGpsbabelRefusesIsOneLine) {
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed";
    const std::string rejected = Write("broken.gdb", std::string(64, '\x7f'));
    const ImportResult bad = Import(rejected, "gdb");
    EXPECT_FALSE(bad.Ok());
    EXPECT_EQ(0u, bad.Error().rfind("GPSBabel could not read " + rejected + ": ", 0)) << bad.Error();
    EXPECT_EQ(std::string::npos, bad.Error().find('\n'));
}

// gpsbabel writes a FIT file of the two-track sample and reads it back: our reader finds the
// same points in it, at the positions (to gpsbabel's 9 decimals) and elevations (to its
// millimetres) that gpsbabel reads.
TEST_F(GpsbabelImport, AFitFileGpsbabelWroteReadsAsGpsbabelReadsIt) {
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed";
    const std::string gpx = std::string(VORLAN_SAMPLES) + "/two-tracks.gpx";
    const fs::path fit = m_dir / "ride.fit", back = m_dir / "back.gpx";
    for (const std::string& cmd :
         {"gpsbabel -t -i gpx -f '" + gpx + "' -o garmin_fit -F '" + fit.string() + "'",
          "gpsbabel -t -i garmin_fit -f '" + fit.string() + "' -o gpx -F '" + back.string() + "'"})
        ASSERT_EQ(0, std::system((cmd + " 2>/dev/null").c_str())) << cmd;
    CFitReader fitReader;
    fitReader.Feed(ReadText(fit));
    const ReadResult ours = fitReader.Finish();
    CGpxReader gpxReader;
    gpxReader.Feed(ReadText(back));
    const ReadResult theirs = gpxReader.Finish();
    ASSERT_FALSE(ours.Failed() || theirs.Failed()) << ours.error << theirs.error;
    EXPECT_TRUE(ours.notes.empty());
    ASSERT_EQ(2400u, ours.record.Size());
    ASSERT_EQ(theirs.record.Size(), ours.record.Size());
    for (std::size_t i = 0; i < ours.record.Size(); ++i) {
        ASSERT_NEAR(theirs.record.Lat()[i], ours.record.Lat()[i], 5e-10) << i;
        ASSERT_NEAR(theirs.record.Lon()[i], ours.record.Lon()[i], 5e-10) << i;
        ASSERT_NEAR(theirs.record.Ele()[i], ours.record.Ele()[i], 5e-4) << i;
    }
}

} // namespace
