// IGC: the B records' times, positions and altitudes exactly as written, the recorder, pilot and
// glider; the roll over midnight, the pressure altitude where the GNSS altitude is not valid,
// both date headers, a log without a date and records that are not fixes.
#include "CIgcReader.h"
#include "ReadWith.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ReadResult Read(const std::string& igc) {
    return ReadWith(&CIgcReader::Make, igc);
}

// Degrees and thousandths of minutes as a B record writes them: 37 deg 12.345 min.
double Angle(int degrees, int milliminutes) {
    return degrees + milliminutes / 60000.0;
}

TEST(IgcReader, ReadsTheFixesRecorderPilotAndGliderAsWritten) {
    const ReadResult r = Read("AXYZJ5TFLIGHT:1\r\n"
                              "HFDTEDATE:040524,01\r\n"
                              "HFPLTPILOTINCHARGE: Jane Doe\r\n"
                              "HFGTYGLIDERTYPE:ASK 21\r\n"
                              "HFFTYFRTYPE:MAKER,RECORDER 1\r\n"
                              "I013638FXA\r\n"
                              "B1159583712345N12254321WA0123401250012\r\n"
                              "LXNAComment between fixes\r\n"
                              "B1200003712350S12254330EA-001201251013\r\n"
                              "B1200023712360N00054340WV0123600000014\r\n"
                              "G0123ABCD\r\n");
    ASSERT_EQ("", r.error);
    const CTrackRecord& rec = r.record;
    ASSERT_EQ(3u, rec.Size());
    EXPECT_EQ((std::vector<double>{Angle(37, 12345), -Angle(37, 12350), Angle(37, 12360)}),
              rec.Lat());
    EXPECT_EQ((std::vector<double>{-Angle(122, 54321), Angle(122, 54330), -Angle(0, 54340)}),
              rec.Lon());
    // GNSS altitudes where the fix is valid, the pressure altitude of the V fix.
    EXPECT_EQ((std::vector<double>{1250, 1251, 1236}), rec.Ele());
    const TimeMs midnight = 1'714'780'800'000; // 2024-05-04
    EXPECT_EQ(
        (std::vector<TimeMs>{midnight + 43'198'000, midnight + 43'200'000, midnight + 43'202'000}),
        rec.Time());
    EXPECT_EQ((std::vector<std::string>{"Jane Doe (ASK 21)"}), rec.TrackNames());
    EXPECT_EQ("MAKER,RECORDER 1", rec.m_source.creator);
    EXPECT_EQ("IGC", rec.m_source.format);
    EXPECT_EQ((std::vector<std::string>{"Elevations of 1 point from the pressure altitude (no "
                                        "valid GNSS altitude there)."}),
              r.notes);
}

TEST(IgcReader, TrickyFiles) {
    const TimeMs newYearsEve = 1'703'980'800'000; // 2023-12-31
    const struct {
        const char* name;
        std::string file;
        std::vector<TimeMs> times;
        std::vector<double> ele;
        std::vector<std::string> notes;
        std::size_t nUnparsable;
        std::string creator;
    } cases[] = {
        {"times past midnight roll to the next day (old date header)",
         "AXXXABC\nHFDTE311223\nB2359594700000N01100000EA0010000110\n"
         "B0000014700100N01100000EA0010100111\n",
         {newYearsEve + 86'399'000, newYearsEve + 86'401'000},
         {110, 111},
         {},
         0,
         "XXXABC"},
        {"no valid GNSS altitude: the pressure altitude, with a note",
         "HFDTE311223\nB1000004700000N01100000EV0050000510\nB1000014700000N01100000EA0050100000\n",
         {newYearsEve + 36'000'000, newYearsEve + 36'001'000},
         {500, 501},
         {"Elevations from the pressure altitude (no GNSS altitude in this file)."},
         0,
         ""},
        {"no date: no times, with a note",
         "B1000004700000N01100000EA0050000510\r\nB1000014700000N01100000EA0050100511\n",
         {},
         {510, 511},
         {"No date in this file; times are left out."},
         0,
         ""},
        {"records that are not fixes are counted",
         "HFDTE311223\nB100000470000\nB1000004700000X01100000EA0050000510\n"
         "B1000004760000N01100000EA0050000510\nB1000004700000N01100000EA0050000510\n",
         {newYearsEve + 36'000'000},
         {510},
         {},
         3,
         ""},
    };
    for (const auto& c : cases) {
        const ReadResult r = Read(c.file);
        EXPECT_EQ(c.times, r.record.Time()) << c.name;
        EXPECT_EQ(c.ele, r.record.Ele()) << c.name;
        EXPECT_EQ(c.notes, r.notes) << c.name;
        EXPECT_EQ(c.nUnparsable, r.skipped.nUnparsable) << c.name;
        EXPECT_EQ(c.creator, r.record.m_source.creator) << c.name;
    }
}

} // namespace
