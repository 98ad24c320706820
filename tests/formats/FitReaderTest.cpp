// The FIT reader on files written here (tests/support/FitWriter.h): every channel, lap, total and
// the device of a small activity; any split of the file reads the same; damaged, cut and foreign
// files; a multisport file; the import of a FIT file into the designed track.
#include "CFitReader.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "FitWriter.h"
#include "ScratchDir.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using F = FitWriter;

// FIT seconds, 2021-09-08T01:47:09Z: the low 5 bits are 29, so that the compressed timestamp
// two seconds later rolls over.
constexpr std::uint32_t kT0 = 1000000029;
constexpr TimeMs kT0Ms = (kT0 + F::kEpochUnixSeconds) * 1000;
constexpr std::uint16_t kFileId = 0, kSession = 18, kLap = 19, kRecord = 20, kEvent = 21;
constexpr std::uint64_t kInvalidSint32 = 0x7FFFFFFF, kInvalidUint16 = 0xFFFF;
constexpr std::uint64_t kTimer = 0, kStart = 0, kStopAll = 4;

std::uint64_t Signed(std::int64_t v) {
    return static_cast<std::uint64_t>(v);
}

double Degrees(std::uint64_t semicircles) {
    return static_cast<std::int32_t>(semicircles) * 180.0 / 2147483648.0;
}

const std::uint64_t kLat[] = {F::Semicircles(47.25), F::Semicircles(47.2501),
                              F::Semicircles(47.2503)};
const std::uint64_t kLon[] = {F::Semicircles(-121.5), F::Semicircles(-121.4999),
                              F::Semicircles(-121.4997)};

void DefineEvent(FitWriter& w) {
    w.Define(3, kEvent, {{253, 4, F::kUint32}, {0, 1, F::kEnum}, {1, 1, F::kEnum}});
}

// Lap and session totals: elapsed 3 s, moving 2.5 s, 123.45 m, 15 kcal, 80 m up, 2 m down.
void WriteTotals(FitWriter& w, std::uint8_t nLocal, std::uint16_t nGlobal, bool bBigEndian,
                 std::uint32_t start, std::uint32_t end) {
    const std::uint8_t ascent = nGlobal == kLap ? 21 : 22;
    w.Define(nLocal, nGlobal,
             {{253, 4, F::kUint32},
              {2, 4, F::kUint32},
              {7, 4, F::kUint32},
              {8, 4, F::kUint32},
              {9, 4, F::kUint32},
              {11, 2, F::kUint16},
              {ascent, 2, F::kUint16},
              {static_cast<std::uint8_t>(ascent + 1), 2, F::kUint16}},
             bBigEndian);
    w.Data(nLocal, {end, start, 3000, 2500, 12345, 15, 80, 2});
}

// Three points a second apart, the last after a pause of the timer and with a compressed
// timestamp; between them a record without a position.
struct Activity {
    std::string file;
    std::size_t nCut = 0; // inside the third point's message
};

Activity WriteActivity() {
    FitWriter w;
    w.Define(0, kFileId, {{0, 1, F::kEnum}, {1, 2, F::kUint16}, {2, 2, F::kUint16}});
    w.Data(0, {4, 1, 3121});
    DefineEvent(w);
    w.Data(3, {kT0, kTimer, kStart});
    // Little-endian, with a developer field of 2 bytes.
    w.Define(1, kRecord,
             {{253, 4, F::kUint32},
              {0, 4, F::kSint32},
              {1, 4, F::kSint32},
              {2, 2, F::kUint16},
              {3, 1, F::kUint8},
              {4, 1, F::kUint8},
              {6, 2, F::kUint16},
              {7, 2, F::kUint16},
              {13, 1, F::kSint8}},
             false, {2});
    w.Data(1, {kT0, kLat[0], kLon[0], 2600, 120, 80, 2500, 200, Signed(-5)});
    w.Data(1, {kT0 + 1, kLat[1], kLon[1], kInvalidUint16, 121, 81, 2600, 210, Signed(-4)});
    w.Data(1, {kT0 + 2, kInvalidSint32, kInvalidSint32, 2700, 122, 82, 2700, 220, Signed(-3)});
    w.Data(3, {kT0 + 2, kTimer, kStopAll});
    w.Data(3, {kT0 + 2, kTimer, kStart});
    // Big-endian, without a timestamp field: the enhanced altitude and speed win.
    w.Define(2, kRecord,
             {{0, 4, F::kSint32},
              {1, 4, F::kSint32},
              {78, 4, F::kUint32},
              {2, 2, F::kUint16},
              {73, 4, F::kUint32},
              {6, 2, F::kUint16},
              {3, 1, F::kUint8},
              {4, 1, F::kUint8},
              {7, 2, F::kUint16},
              {13, 1, F::kSint8}},
             true);
    Activity a;
    a.nCut = w.Offset() + 5;
    w.Compressed(2, kT0 + 3, {kLat[2], kLon[2], 3000, 9999, 3250, 9999, 125, 85, 250, 30});
    WriteTotals(w, 4, kLap, false, kT0, kT0 + 3);
    WriteTotals(w, 5, kSession, true, kT0, kT0 + 3);
    a.file = w.File();
    return a;
}

CTrackRecord ExpectedActivity() {
    CTrackRecord r;
    const float hr[] = {120, 121, 125}, cadence[] = {80, 81, 85}, power[] = {200, 210, 250};
    const float temperature[] = {-5, -4, 30}, speed[] = {2.5f, 2.6f, 3.25f};
    const double ele[] = {20, RecordPoint::kAbsent, 100};
    const TimeMs time[] = {kT0Ms, kT0Ms + 1000, kT0Ms + 3000};
    for (int i = 0; i < 3; ++i) {
        if (i == 2)
            r.BeginSegment();
        RecordPoint p;
        p.lat = Degrees(kLat[i]);
        p.lon = Degrees(kLon[i]);
        p.ele = ele[i];
        p.time = time[i];
        p.At(Sensor::heartRate) = hr[i];
        p.At(Sensor::cadence) = cadence[i];
        p.At(Sensor::power) = power[i];
        p.At(Sensor::temperature) = temperature[i];
        p.At(Sensor::speed) = speed[i];
        r.AddPoint(p);
    }
    DeviceTotals totals;
    totals.elapsedS = 3;
    totals.movingS = 2.5;
    totals.distanceM = 123.45;
    totals.calories = 15;
    totals.ascentM = 80;
    totals.descentM = 2;
    r.m_laps.push_back({0, 2, kT0Ms, totals});
    r.m_totals = totals;
    r.m_source.format = "FIT";
    r.m_source.creator = "Garmin (product 3121)";
    return r;
}

ReadResult Read(const std::string& file, std::size_t nPiece = 0) {
    CFitReader reader(file.size());
    const std::size_t n = nPiece == 0 ? file.size() : nPiece;
    for (std::size_t at = 0; at < file.size(); at += n)
        if (!reader.Feed(std::span<const char>(file).subspan(at, std::min(n, file.size() - at))))
            break;
    return reader.Finish();
}

TEST(FitReader, EveryValueOfTheFileIsInTheRecord) {
    const ReadResult r = Read(WriteActivity().file);
    ASSERT_FALSE(r.Failed()) << r.error;
    EXPECT_TRUE(r.notes.empty());
    EXPECT_EQ(1u, r.skipped.nMissing);
    EXPECT_EQ(1u, r.skipped.Total());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), r.record.SegmentStarts());
    EXPECT_TRUE(ExpectedActivity() == r.record);
}

TEST(FitReader, AFileFedAByteAtATimeReadsTheSameAsWhole) {
    const std::string file = WriteActivity().file;
    const ReadResult whole = Read(file);
    const ReadResult bytewise = Read(file, 1);
    EXPECT_TRUE(whole.record == bytewise.record);
    EXPECT_EQ(whole.notes, bytewise.notes);
    EXPECT_EQ(whole.skipped.nMissing, bytewise.skipped.nMissing);
}

// What is read of a damaged file, with its note, of files one after the other, or why a file is
// no FIT file at all; fed whole or a byte at a time.
TEST(FitReader, DamagedCutChainedAndForeignFiles) {
    const Activity a = WriteActivity();
    std::string badCrc = a.file;
    badCrc.back() ^= 1;
    FitWriter undefined, overrun;
    for (FitWriter* w : {&undefined, &overrun}) {
        w->Define(1, kRecord, {{0, 4, F::kSint32}, {1, 4, F::kSint32}});
        w->Data(1, {kLat[0], kLon[0]});
    }
    const std::size_t nUndefinedAt = undefined.Offset();
    undefined.Raw(std::string("\x07\x01\x02\x03", 4));
    // The header leaves room for 8 more bytes; the file ends where the next definition says it
    // has 2 fields (12 bytes).
    const std::size_t nOverrunAt = overrun.Offset();
    overrun.Raw(std::string("\x41\x00\x00\x14\x00\x02", 6));
    overrun.AnnounceDataBytes(nOverrunAt - 14 + 8);
    const std::string overrunFile = overrun.File().substr(0, overrun.Offset());
    std::string smallHeader = a.file;
    smallHeader[0] = 5;
    const auto damaged = [](std::size_t nAt) {
        return std::vector<std::string>{"The file is damaged after byte " + std::to_string(nAt) +
                                        "; read up to there."};
    };
    const struct {
        const char* what;
        std::string file;
        std::size_t nPoints;
        std::vector<std::string> notes;
        std::string error;
    } cases[] = {
        {"checksum", badCrc, 3, {"The file's checksum does not match; read anyway."}, ""},
        {"cut", a.file.substr(0, a.nCut), 2, {"The file ends early; read up to there."}, ""},
        {"chained", a.file + a.file, 6, {}, ""},
        {"undefined type", undefined.File(), 1, damaged(nUndefinedAt), ""},
        {"overrun", overrunFile, 1, damaged(nOverrunAt), ""},
        {"xml", "<?xml version=\"1.0\"?><gpx/>", 0, {}, "not a FIT file (no .FIT signature)"},
        {"header size",
         smallHeader,
         0,
         {},
         "not a FIT file (its header says it has fewer than 12 bytes)"},
        {"short", a.file.substr(0, 11), 0, {}, "not a FIT file (shorter than its header)"},
    };
    for (const auto& c : cases)
        for (const std::size_t nPiece : {std::size_t{0}, std::size_t{1}}) {
            const ReadResult r = Read(c.file, nPiece);
            EXPECT_EQ(c.error, r.error) << c.what << nPiece;
            EXPECT_EQ(c.notes, r.notes) << c.what << nPiece;
            EXPECT_EQ(c.nPoints, r.record.Size()) << c.what << nPiece;
        }
}

// A run and a ride: the points of each session are a track of their own.
TEST(FitReader, EachSessionOfAMultisportFileIsATrack) {
    FitWriter w;
    w.Use12ByteHeader();
    w.Define(1, kRecord, {{253, 4, F::kUint32}, {0, 4, F::kSint32}, {1, 4, F::kSint32}});
    for (const std::uint32_t t : {kT0, kT0 + 1, kT0 + 2, kT0 + 10, kT0 + 11})
        w.Data(1, {t, kLat[0] + t - kT0, kLon[0]});
    WriteTotals(w, 4, kSession, false, kT0, kT0 + 2);
    WriteTotals(w, 4, kSession, false, kT0 + 10, kT0 + 11);
    const ReadResult r = Read(w.File());
    ASSERT_FALSE(r.Failed()) << r.error;
    EXPECT_EQ(5u, r.record.Size());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 3}), r.record.SegmentStarts());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1}), r.record.TrackStarts());
    EXPECT_EQ(246.9, r.record.m_totals.distanceM);
    EXPECT_EQ(6.0, r.record.m_totals.elapsedS);
}

TEST(FitReader, AnImportGivesTheNotesAndTheTrack) {
    const ScratchDir dir;
    const std::string path = dir.File("ride.fit");
    std::ofstream(path, std::ios::binary) << WriteActivity().file;
    auto track = std::make_unique<CTrack>();
    CMapSourceFormat format;
    const CFileResult r = ImportTrackFile(path, *track, format);
    ASSERT_TRUE(r.Ok()) << r.Error();
    EXPECT_EQ(
        (std::vector<std::string>{"FIT: 3 points read.", "1 point skipped: 1 without a position."}),
        r.m_notes);
    ASSERT_EQ(3, track->m_nCount);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(static_cast<float>(Degrees(kLat[i])), track->m_fLat[i]) << i;
        EXPECT_EQ(static_cast<float>(Degrees(kLon[i])), track->m_fLon[i]) << i;
    }
    EXPECT_EQ(static_cast<float>(20 * 3.2808399), track->m_fElev[0]);
    EXPECT_EQ(static_cast<float>(100 * 3.2808399), track->m_fElev[2]);
}

} // namespace
