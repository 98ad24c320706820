// Documents of every version: the frozen documents of each version open with their known values,
// every sample comes back identical through version 2 and byte for byte as before through
// version 1, a newer minor version opens, and a damaged or cut document is refused with a reason
// and changes nothing.
//
// The frozen documents in tests/data/document were written once and must never be regenerated:
// they are what earlier versions of the program wrote, and every later one must open them.
// They were made when version 2 came in: two-tracks-v1.vrl and two-tracks-v2.vrl from
// samples/two-tracks.gpx by `vorlan-cli convert --doc-version 1` and `vorlan-cli convert`;
// channels-v2.vrl from KnownRecord() (tests/support/KnownRecord.h), its track built by
// CTrackBuilder, with zoom 2, azimuth -45 and elevation 70, by CDocumentFile::Write.
#include "CByteWriter.h"
#include "CChunkedFile.h"
#include "CDocumentFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "KnownRecord.h"
#include "RecordOfTrack.h"
#include "ScratchDir.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kFrozen = VORLAN_TEST_DATA "/document/";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every array of the designed track up to its count, and its bounds, bit for bit.
bool SameTrack(const CTrack& a, const CTrack& b) {
    const auto same = [&](const float* x, const float* y) {
        return std::memcmp(x, y, sizeof(float) * static_cast<std::size_t>(a.m_nCount)) == 0;
    };
    return a.m_nCount == b.m_nCount && same(a.m_fLat, b.m_fLat) && same(a.m_fLon, b.m_fLon) &&
           same(a.m_fElev, b.m_fElev) && same(a.m_fDist, b.m_fDist) && same(a.m_fLeg, b.m_fLeg) &&
           same(a.m_fSouth, b.m_fSouth) && same(a.m_fEast, b.m_fEast) &&
           same(a.m_fSmooth, b.m_fSmooth) &&
           std::memcmp(a.m_fRange, b.m_fRange, sizeof a.m_fRange) == 0;
}

bool SameView(const CViewValues& a, const CViewValues& b) {
    return a.m_fZoom == b.m_fZoom && a.m_fAzimuth == b.m_fAzimuth &&
           a.m_fElevation == b.m_fElevation;
}

// What a document read gives, on the heap for the track's arrays.
struct Opened {
    std::unique_ptr<CTrack> track = std::make_unique<CTrack>();
    CTrackRecord record;
    CViewValues view;
    int nVersion = 0;
    CFileResult Parse(const std::string& bytes) {
        return CDocumentFile::Parse("doc.vrl", bytes, *track, record, view, &nVersion);
    }
};

// A view no fresh chart has, so that a view that did not come back shows.
CViewValues TurnedView() {
    CViewValues view;
    view.m_fZoom = 2.0f;
    view.m_fAzimuth = -45.0f;
    view.m_fElevation = 70.0f;
    return view;
}

std::vector<std::string> Samples() {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(VORLAN_SAMPLES)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".txt" || ext == ".gpx")
            paths.push_back(entry.path().string());
    }
    return paths;
}

// Version 1 as it was always written: count, the five arrays, zoom and the two angles.
std::string DesignedLayout(const CTrack& t, const CViewValues& view) {
    std::string bytes;
    CByteWriter out(bytes);
    out.Put(t.m_nCount);
    for (const float* array : {t.m_fElev, t.m_fDist, t.m_fLeg, t.m_fLat, t.m_fLon})
        out.PutBytes(std::string_view(reinterpret_cast<const char*>(array),
                                      sizeof(float) * static_cast<std::size_t>(t.m_nCount)));
    out.Put(view.m_fZoom);
    out.Put(view.m_fAzimuth);
    out.Put(view.m_fElevation);
    return bytes;
}

// The document's chunks written again at version major.minor, each through edit (which may
// change a chunk's contents or drop it by returning false), with extra chunks before the end.
std::string Rewritten(const std::string& bytes, DocumentVersion version,
                      const std::function<bool(std::string_view, std::string&)>& edit,
                      const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    DocumentVersion read;
    std::vector<FileChunk> chunks;
    EXPECT_EQ("", CChunkedFile::Split(bytes, CDocumentFile::kNewestVersion, read, chunks));
    CChunkedFile file(version);
    for (const FileChunk& chunk : chunks) {
        std::string contents(chunk.contents);
        if (edit(chunk.tag, contents))
            file.Add(chunk.tag, contents);
    }
    for (const auto& [tag, contents] : extra)
        file.Add(tag, contents);
    return file.Finish();
}

std::string ChannelsDocument() {
    return ReadBytes(kFrozen + "channels-v2.vrl");
}

TEST(DocumentVersions, FrozenDocumentsOpenWithTheirKnownValues) {
    Opened v1, v2, channels;
    const std::string v1Bytes = ReadBytes(kFrozen + "two-tracks-v1.vrl");
    ASSERT_EQ(48014u, v1Bytes.size());
    ASSERT_TRUE(v1.Parse(v1Bytes).Ok());
    EXPECT_EQ(1, v1.nVersion);
    EXPECT_EQ(2400, v1.track->m_nCount);
    EXPECT_EQ(47.42050552368164f, v1.track->m_fLat[0]);
    EXPECT_EQ(173.5930633544922f, v1.track->m_fLon[2399]);
    EXPECT_EQ(11.929767608642578f, v1.track->m_fDist[2399]);
    EXPECT_TRUE(SameView(CViewValues(), v1.view));
    CTrackRecord designed = RecordOfTrack(*v1.track, "Vorlan 1 document");
    designed.m_source.fileName = "doc.vrl";
    EXPECT_TRUE(designed == v1.record);
    EXPECT_EQ(v1Bytes, CDocumentFile::Bytes(*v1.track, v1.record, v1.view, 1));

    ASSERT_TRUE(v2.Parse(ReadBytes(kFrozen + "two-tracks-v2.vrl")).Ok());
    EXPECT_EQ(2, v2.nVersion);
    EXPECT_TRUE(SameTrack(*v1.track, *v2.track));
    EXPECT_TRUE(SameView(CViewValues(), v2.view));
    const CTrackRecord& r = v2.record;
    ASSERT_EQ(2400u, r.Size());
    EXPECT_EQ(47.420504, r.Lat()[0]);
    EXPECT_EQ(-121.445997, r.Lon()[0]);
    EXPECT_EQ(659.5, r.Ele()[0]);
    EXPECT_EQ(-42.394430, r.Lat()[1200]);
    EXPECT_EQ(173.593069, r.Lon()[2399]);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 450, 900}), r.SegmentStarts());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), r.TrackStarts());
    // The GPX reader of that commit kept no track names.
    EXPECT_EQ((std::vector<std::string>{"", ""}), r.TrackNames());
    EXPECT_FALSE(r.HasTime());
    EXPECT_EQ("two-tracks.gpx", r.m_source.fileName);
    EXPECT_EQ("GPX", r.m_source.format);

    ASSERT_TRUE(channels.Parse(ChannelsDocument()).Ok());
    EXPECT_TRUE(KnownRecord() == channels.record);
    EXPECT_TRUE(SameView(TurnedView(), channels.view));
    EXPECT_EQ(8, channels.track->m_nCount);
}

TEST(DocumentVersions, EverySampleComesBackThroughVersion2AndAsBeforeThroughVersion1) {
    for (const std::string& path : Samples()) {
        SCOPED_TRACE(path);
        Opened imported;
        CMapSourceFormat format;
        ASSERT_TRUE(ImportTrackFile(path, imported.record, *imported.track, format).Ok());
        const CViewValues view = TurnedView();

        Opened v2;
        ASSERT_TRUE(v2.Parse(CDocumentFile::Bytes(*imported.track, imported.record, view)).Ok());
        EXPECT_TRUE(imported.record == v2.record);
        EXPECT_TRUE(SameTrack(*imported.track, *v2.track));
        EXPECT_TRUE(SameView(view, v2.view));

        const std::string v1Bytes = CDocumentFile::Bytes(*imported.track, imported.record, view, 1);
        EXPECT_EQ(DesignedLayout(*imported.track, view), v1Bytes);
        Opened v1, back;
        ASSERT_TRUE(v1.Parse(v1Bytes).Ok());
        ASSERT_TRUE(back.Parse(CDocumentFile::Bytes(*v1.track, v1.record, v1.view)).Ok());
        EXPECT_EQ(v1Bytes, CDocumentFile::Bytes(*back.track, back.record, back.view, 1));
    }
}

TEST(DocumentVersions, ANewerMinorVersionWithAChunkOfANewKindOpens) {
    const std::string newer =
        Rewritten(ChannelsDocument(), {2, 7}, [](std::string_view, std::string&) { return true; },
                  {{"WNDW", std::string(40, '\x07')}});
    Opened doc;
    ASSERT_TRUE(doc.Parse(newer).Ok());
    EXPECT_TRUE(KnownRecord() == doc.record);
    EXPECT_EQ(2, doc.nVersion);
}

// A lap's own figures from the device (a FIT file's) come back, in a chunk that documents written
// before them lack: those open with laps of no figures.
TEST(DocumentVersions, TheDevicesLapFiguresComeBack) {
    Opened doc;
    ASSERT_TRUE(doc.Parse(ChannelsDocument()).Ok());
    CTrackRecord record = doc.record;
    ASSERT_FALSE(record.m_laps.empty());
    record.m_laps.front().totals.distanceM = 1234.5;
    record.m_laps.back().totals.calories = 61;
    Opened again;
    ASSERT_TRUE(again.Parse(CDocumentFile::Bytes(*doc.track, record, doc.view, 2)).Ok());
    EXPECT_TRUE(record == again.record);
}

// A document that is damaged or cut is refused with the reason and leaves the track, record and
// view as they were: those of the frozen channels document.
void ExpectRefused(const std::string& bytes, const std::string& reason = std::string()) {
    Opened doc;
    ASSERT_TRUE(doc.Parse(ChannelsDocument()).Ok());
    const CFileResult r = doc.Parse(bytes);
    ASSERT_EQ(CFileResult::Fault::format, r.GetFault());
    EXPECT_FALSE(r.GetReason().empty());
    if (!reason.empty()) {
        EXPECT_EQ(reason, r.GetReason());
    }
    EXPECT_EQ(8, doc.track->m_nCount);
    EXPECT_TRUE(KnownRecord() == doc.record);
    EXPECT_TRUE(SameView(TurnedView(), doc.view));
}

TEST(DocumentVersions, AFlippedByteAnywhereIsRefused) {
    const std::string good = ChannelsDocument();
    for (std::size_t i = 0; i < good.size(); ++i) {
        SCOPED_TRACE(i);
        std::string bad = good;
        bad[i] = static_cast<char>(~bad[i]);
        ExpectRefused(bad);
    }
    // The header's minor version, the first byte of the first chunk's contents.
    std::string bad = good;
    bad[12] ^= 1;
    ExpectRefused(bad, "the checksum of its header does not match");
    bad = good;
    bad[CChunkedFile::kHeaderBytes + CChunkedFile::kChunkHeaderBytes] ^= 1;
    ExpectRefused(bad, "the checksum of the chunk \"VIEW\" at byte 18 does not match its contents");
}

TEST(DocumentVersions, ADocumentCutAnywhereIsRefused) {
    const std::string good = ReadBytes(kFrozen + "two-tracks-v2.vrl");
    for (std::size_t n = 0; n < good.size(); n += 97) {
        SCOPED_TRACE(n);
        ExpectRefused(good.substr(0, n));
    }
    ExpectRefused(good.substr(0, good.size() - CChunkedFile::kChunkHeaderBytes),
                  "it is cut off after 43206 bytes: its end chunk is missing");
    ExpectRefused(good.substr(0, 20000), "the chunk \"TRAK\" at byte 42 is cut off: it has 19946 "
                                         "of its 20080 bytes");
}

// Documents whose chunks are whole but whose contents are not what the program writes.
TEST(DocumentVersions, RefusalsOfWellFormedChunksSayWhatIsWrong) {
    const auto replace = [](std::string_view tag, std::string contents) {
        return [tag, contents](std::string_view t, std::string& c) {
            if (t == tag)
                c = contents;
            return true;
        };
    };
    const auto drop = [](std::string_view tag) {
        return [tag](std::string_view t, std::string&) { return t != tag; };
    };
    const auto keep = [](std::string_view, std::string&) { return true; };
    std::string farNorth, badLap;
    CByteWriter(farNorth).Put(std::uint32_t{8});
    CByteWriter(farNorth).Put(std::uint8_t{0});
    for (double lat : {47.0, 91.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0})
        CByteWriter(farNorth).Put(lat);
    CByteWriter(badLap).Put(std::uint32_t{1});
    for (std::uint32_t v : {3u, 8u, 0u, 0u})
        CByteWriter(badLap).Put(v);
    const std::string doc = ChannelsDocument();
    const struct {
        std::string bytes, reason;
    } cases[] = {
        {Rewritten(doc, {3, 0}, keep),
         "its version 3.0 is newer than this program reads (2.x); a newer Vorlan wrote it"},
        {Rewritten(doc, {2, 0}, drop("VIEW")), "its view values chunk is missing"},
        {Rewritten(doc, {2, 0}, drop("LON ")), "its longitude chunk is missing"},
        {Rewritten(doc, {2, 0}, keep, {{"HRT ", ""}}), "it holds the heart rate chunk twice"},
        {Rewritten(doc, {2, 0}, replace("LAT ", farNorth)),
         "the position of record point 2 is not a latitude within 90 and a longitude within 180 "
         "degrees"},
        {Rewritten(doc, {2, 0}, replace("LAT ", std::string("\x07\x00\x00\x00\x00", 5))),
         "its latitude chunk holds 7 values for 8"},
        {Rewritten(doc, {2, 0}, replace("LAPS", badLap)),
         "its lap 1 does not lie within the record's 8 points"},
        {Rewritten(doc, {2, 0}, replace("TRAK", std::string("\x11\x27", 2))),
         "the point count 10001 is above 10000"},
        {Rewritten(doc, {2, 0}, keep, {{"WIND", std::string("\x01\x00\x03\x01", 4)}}),
         "its windows chunk is too short for its windows"},
        {Rewritten(doc, {2, 0}, keep, {{"GRPH", std::string("\x01\x02", 2)}}),
         "its graphs chunk holds 2 panes for 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        ExpectRefused(c.bytes, c.reason);
    }
}

// A sample track file imported into record and track.
bool ImportSample(const char* pszName, CTrackRecord& record, CTrack& track) {
    CMapSourceFormat format;
    return ImportTrackFile(std::string(VORLAN_SAMPLES) + "/" + pszName, record, track, format).Ok();
}

} // namespace

// Which record point each chart point is travels with a version 2 document; a document without
// that list finds points of the same places by their positions.
TEST(DocumentVersions, TheTrackKnowsItsRecordPointsAcrossASave) {
    const ScratchDir scratch;
    const auto track = std::make_unique<CTrack>();
    const auto back = std::make_unique<CTrack>();
    CTrackRecord record, backRecord;
    ASSERT_TRUE(ImportSample("long-30000.gpx", record, *track));
    ASSERT_EQ(10000, track->m_nCount);
    EXPECT_EQ(0u, track->m_nRecordIndex[0]);
    EXPECT_EQ(29999u, track->m_nRecordIndex[9999]);
    const std::string path = scratch.File("long.vrl");
    ASSERT_TRUE(CDocumentFile::Write(path, *track, record, CViewValues()).Ok());
    CViewValues view;
    ASSERT_TRUE(CDocumentFile::Read(path, *back, backRecord, view).Ok());
    EXPECT_TRUE(
        std::equal(track->m_nRecordIndex, track->m_nRecordIndex + 10000, back->m_nRecordIndex));
    // By position: a point of the same place, in order (of points that share a place after
    // rounding to float, the first).
    std::fill(back->m_nRecordIndex, back->m_nRecordIndex + 10000, 0u);
    IndexRecordByPosition(*back, backRecord);
    for (int k = 0; k < 10000; ++k) {
        const std::uint32_t r = back->m_nRecordIndex[k];
        ASSERT_EQ(static_cast<float>(backRecord.Lat()[r]), back->m_fLat[k]) << k;
        ASSERT_EQ(static_cast<float>(backRecord.Lon()[r]), back->m_fLon[k]) << k;
        ASSERT_TRUE(k == 0 || r > back->m_nRecordIndex[k - 1]) << k;
    }
}

// The windows of a document come back as they were saved: two here, the first split into the
// chart and the 3D view side by side.
TEST(DocumentVersions, TheWindowsAndTheirPanesComeBack) {
    const ScratchDir scratch;
    const auto track = std::make_unique<CTrack>();
    const auto back = std::make_unique<CTrack>();
    CTrackRecord record, backRecord;
    ASSERT_TRUE(ImportSample("two-tracks.gpx", record, *track));
    CViewValues view, read;
    view.m_windows = {
        {1, 2, 0.5f, 0.375f, {{0, 2.0f, 30.0f, 20.0f, 0x22}, {3, 1.0f, 45.5f, -10.0f, 0}}},
        {1, 1, 0.5f, 0.5f, {{3, 1.0f, 30.0f, 20.0f, 0}}}};
    const std::string path = scratch.File("windows.vrl");
    ASSERT_TRUE(CDocumentFile::Write(path, *track, record, view).Ok());
    ASSERT_TRUE(CDocumentFile::Read(path, *back, backRecord, read).Ok());
    ASSERT_EQ(2u, read.m_windows.size());
    const WindowView& w = read.m_windows[0];
    EXPECT_EQ(2, w.nCols);
    EXPECT_EQ(0.375f, w.fColShare);
    ASSERT_EQ(2u, w.panes.size());
    EXPECT_EQ(0, w.panes[0].nPlot);
    EXPECT_EQ(2.0f, w.panes[0].fZoom);
    EXPECT_EQ(0x22, w.panes[0].nGraphs);
    EXPECT_EQ(3, w.panes[1].nPlot);
    EXPECT_EQ(45.5f, w.panes[1].fAzimuth);
    EXPECT_EQ(-10.0f, w.panes[1].fElevation);
    // A version 1 document keeps none.
    ASSERT_TRUE(CDocumentFile::Write(path, *track, record, view, 1).Ok());
    ASSERT_TRUE(CDocumentFile::Read(path, *back, backRecord, read).Ok());
    EXPECT_TRUE(read.m_windows.empty());
}
