// The import's dispatch by file name extension: each reader is chosen for its files, what the
// user is told about each, the files refused before any reading, and the note for a MapSource
// export cut at the point cap.
#include "TrackImport.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kSamples = VORLAN_SAMPLES;

// A scratch folder per process and test, removed afterwards.
class TrackImport : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("vorlan-import-" + std::to_string(::getpid()) + "-" + info->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CFileResult Import(const std::string& path) {
        return ImportTrackFile(path, *m_track, m_format);
    }

    fs::path m_dir;
    std::unique_ptr<CTrack> m_track = std::make_unique<CTrack>();
    CMapSourceFormat m_format;
};

TEST_F(TrackImport, TheExtensionChoosesTheReader) {
    const std::string gpx = kSamples + "/two-tracks.gpx";
    const std::string fit = (m_dir / "ride.FIT").string();
    const bool bGpsbabel = std::system(("gpsbabel -t -i gpx -f '" + gpx + "' -o garmin_fit -F '" +
                                        fit + "' >/dev/null 2>&1")
                                           .c_str()) == 0;
    const struct {
        std::string path;
        std::vector<std::string> notes;
        int nPoints;
        int nFormat; // the MapSource coordinate format after the import: others leave it
    } cases[] = {
        {kSamples + "/ridge-dm.txt", {}, 899, CMapSourceFormat::kMinutes},
        {gpx, {"GPX: 2400 points read."}, 2400, CMapSourceFormat::kMinutes},
        {fit, {"FIT: 2400 points read."}, 2400, CMapSourceFormat::kMinutes},
        {kSamples + "/long-30000.gpx",
         {"GPX: 30000 points read.", "Simplified from 30000 to 10000 points."},
         10000,
         CMapSourceFormat::kMinutes},
    };
    for (const auto& c : cases) {
        if (c.path == fit && !bGpsbabel)
            continue; // gpsbabel is not installed
        const CFileResult r = Import(c.path);
        ASSERT_TRUE(r.Ok()) << r.Error();
        EXPECT_EQ(c.notes, r.m_notes) << c.path;
        EXPECT_EQ(c.nPoints, m_track->m_nCount) << c.path;
        EXPECT_EQ(c.nFormat, m_format.Get()) << c.path;
    }
}

// A GPX file is refused by its size before anything is allocated; a converted format gets the
// regular-file check before GPSBabel sees it; a file without points is no track.
TEST_F(TrackImport, FilesRefusedBeforeReadingAndFilesWithoutPoints) {
    const std::string huge = (m_dir / "huge.gpx").string();
    std::ofstream(huge).close();
    fs::resize_file(huge, std::uintmax_t{2} << 30); // sparse: takes no room
    const std::string folder = (m_dir / "folder.gdb").string();
    fs::create_directory(folder);
    const std::string empty = (m_dir / "empty.gpx").string();
    std::ofstream(empty) << "<gpx version=\"1.1\"><trk><trkseg/></trk></gpx>";
    const struct {
        std::string path;
        CFileResult::Fault fault;
        std::string error;
    } cases[] = {
        {huge, CFileResult::Fault::refused,
         huge + ": is larger than 1 GiB, the most this program reads"},
        {folder, CFileResult::Fault::refused, folder + ": is a directory"},
        {empty, CFileResult::Fault::track, "No track points in " + empty + "."},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Import(kSamples + "/ridge-dm.txt").Ok());
        const CFileResult r = Import(c.path);
        EXPECT_EQ(c.fault, r.GetFault()) << c.path;
        EXPECT_EQ(c.error, r.Error());
        EXPECT_EQ(0, m_track->m_nCount) << c.path;
    }
}

// The same track in UTF-16 of either byte order, as a byte-order mark and the declaration say.
TEST_F(TrackImport, AGpxFileInUtf16WithAByteOrderMarkIsRead) {
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                             "<gpx version=\"1.1\" creator=\"test\"><trk><trkseg>\n"
                             "<trkpt lat=\"47.25\" lon=\"-121.5\"><ele>100</ele></trkpt>\n"
                             "<trkpt lat=\"47.26\" lon=\"-121.5\"><ele>110</ele></trkpt>\n"
                             "</trkseg></trk></gpx>\n";
    for (const bool bBigEndian : {false, true}) {
        std::string bytes = bBigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char c : text)
            bytes += bBigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        const std::string path = (m_dir / "utf16.gpx").string();
        std::ofstream(path, std::ios::binary) << bytes;
        const CFileResult r = Import(path);
        ASSERT_TRUE(r.Ok()) << r.Error();
        EXPECT_EQ(std::vector<std::string>{"GPX: 2 points read."}, r.m_notes);
        ASSERT_EQ(2, m_track->m_nCount);
        EXPECT_EQ(47.26f, m_track->m_fLat[1]);
        EXPECT_EQ(static_cast<float>(110 * 3.2808399), m_track->m_fElev[1]);
    }
}

// long-10000.txt holds exactly the 10000 points a track takes (its first Trackpoint line only
// sets the format); five more lines are counted, not stored.
TEST_F(TrackImport, AMapSourceExportCutAtTheCapSaysByHowMuch) {
    ASSERT_TRUE(Import(kSamples + "/long-10000.txt").Ok());
    EXPECT_TRUE(Import(kSamples + "/long-10000.txt").m_notes.empty());

    std::ifstream in(kSamples + "/long-10000.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::string longer = (m_dir / "longer.txt").string();
    std::ofstream out(longer, std::ios::binary);
    out << text;
    const std::string line = text.substr(text.rfind("Trackpoint"));
    for (int i = 0; i < 5; ++i)
        out << line;
    out.close();
    const CFileResult r = Import(longer);
    ASSERT_TRUE(r.Ok()) << r.Error();
    EXPECT_EQ(std::vector<std::string>{"Only the first 10000 of 10005 track points were read."},
              r.m_notes);
    EXPECT_EQ(10000, m_track->m_nCount);
}

// The progress follows the file's bytes to its size, for our readers and a MapSource export
// alike; a progress that says stop ends the import as cancelled, with nothing read.
TEST_F(TrackImport, AnImportReportsItsProgressAndCanBeCancelled) {
    const std::pair<std::string, std::size_t> files[] = {{"long-30000.gpx", 30000},
                                                         {"long-10000.txt", 10000}};
    for (const auto& [name, nPoints] : files) {
        SCOPED_TRACE(name);
        const std::string path = kSamples + "/" + name;
        CTrackRecord record;
        std::uint64_t nLast = 0, nTotal = 0;
        ASSERT_TRUE(ImportTrackFile(path, record, *m_track, m_format,
                                    [&](std::uint64_t nDone, std::uint64_t nSize) {
                                        EXPECT_GT(nDone, nLast);
                                        nLast = nDone, nTotal = nSize;
                                        return true;
                                    })
                        .Ok());
        EXPECT_EQ(fs::file_size(path), nTotal);
        EXPECT_EQ(nTotal, nLast);
        EXPECT_EQ(nPoints, record.Size());

        const CFileResult r =
            ImportTrackFile(path, record, *m_track, m_format,
                            [](std::uint64_t nDone, std::uint64_t) { return nDone < 100000; });
        EXPECT_EQ(CFileResult::Fault::cancelled, r.GetFault());
        EXPECT_TRUE(record.Empty());
        EXPECT_EQ(0, m_track->m_nCount);
    }
}

} // namespace
