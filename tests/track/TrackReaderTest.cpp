// Reading MapSource text exports: format detection, scan formats, units, hemispheres, the point
// cap and the faults a damaged or foreign export must not cause.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "ScratchDir.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class ReaderTest : public ::testing::Test {
protected:
    // Writes the text to a scratch file and reads it into the track.
    short Read(const std::string& text) {
        std::ofstream(m_path, std::ios::binary) << text;
        std::FILE* fp = std::fopen(m_path.c_str(), "rb");
        const short r = m_track->ReadMapSource(fp, m_format);
        std::fclose(fp);
        return r;
    }

    ScratchDir m_scratch;
    std::string m_path = m_scratch.File("track.txt");
    std::unique_ptr<CTrack> m_track = std::make_unique<CTrack>();
    CMapSourceFormat m_format;
};

const char kHeader[] = "Grid\tLat/Lon hddd mm.mmm'\r\nDatum\tWGS 84\r\n\r\n"
                       "Header\tPosition\tTime\tAltitude\tDepth\tLeg Length\r\n\r\n";

std::string Line(const std::string& position, const std::string& time, const std::string& elev,
                 const std::string& leg) {
    return "Trackpoint\t" + position + "\t" + time + "\t" + elev + "\t\t" + leg + "\r\n";
}

TEST_F(ReaderTest, DegreesAndMinutesWithDateReadsTheDocumentedPoint) {
    const std::string line =
        Line("N47 38.938 W122 20.887", "5/22/2002 8:32:28 AM", "52 ft", "0.1 mi");
    ASSERT_EQ(1, Read(kHeader + line + line));
    EXPECT_EQ(2, m_format.Get());
    ASSERT_EQ(1, m_track->m_nCount);
    EXPECT_NEAR(47.64897, m_track->m_fLat[0], 0.000005);
    EXPECT_NEAR(-122.34811, m_track->m_fLon[0], 0.000005);
    EXPECT_EQ(52.0f, m_track->m_fElev[0]);
    EXPECT_EQ(0.1f, m_track->m_fDist[0]);
    EXPECT_EQ(0.0f, m_track->m_fLeg[0]);
    // Degrees plus minutes times the single-precision 1/60, rounded once.
    EXPECT_EQ(static_cast<float>(38.938f * static_cast<double>(0.016666668f) + 47.0f),
              m_track->m_fLat[0]);
}

// An export whose Depth column is filled reads its legs from the Leg Length column, and one whose
// columns come in another order reads them by the Header line's names: both give what the usual
// export gives. Each point's time comes along, read as local time (UTC here).
TEST_F(ReaderTest, ColumnsAreReadByTheHeadersNames) {
    const char* pszTz = std::getenv("TZ");
    const std::string oldTz = pszTz ? pszTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const std::string points[2][4] = {
        {"N47 38.938 W122 20.887", "5/22/2002 8:32:28 AM", "52 ft", "0.1 mi"},
        {"N47 38.950 W122 20.880", "5/22/2002 8:33:28 PM", "60 ft", "0.2 mi"}};
    std::string usual = kHeader, depth = kHeader;
    std::string reordered = "Header\tTime\tLeg Length\tAltitude\tPosition\r\n\r\n";
    for (int k : {0, 0, 1}) {
        const auto& p = points[k];
        usual += Line(p[0], p[1], p[2], p[3]);
        depth += "Trackpoint\t" + p[0] + "\t" + p[1] + "\t" + p[2] + "\t0.0 m\t" + p[3] + "\r\n";
        reordered += "Trackpoint\t" + p[1] + "\t" + p[3] + "\t" + p[2] + "\t" + p[0] + "\r\n";
    }
    ASSERT_EQ(1, Read(usual));
    const auto expected = std::move(m_track);
    m_track = std::make_unique<CTrack>();
    for (const std::string& text : {depth, reordered}) {
        std::ofstream(m_path, std::ios::binary) << text;
        std::FILE* fp = std::fopen(m_path.c_str(), "rb");
        std::vector<TimeMs> times;
        ASSERT_EQ(1, m_track->ReadMapSource(fp, m_format, nullptr, &times));
        std::fclose(fp);
        ASSERT_EQ(2, m_track->m_nCount);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(expected->m_fLat[i], m_track->m_fLat[i]);
            EXPECT_EQ(expected->m_fLon[i], m_track->m_fLon[i]);
            EXPECT_EQ(expected->m_fElev[i], m_track->m_fElev[i]);
            EXPECT_EQ(expected->m_fDist[i], m_track->m_fDist[i]);
        }
        EXPECT_EQ((std::vector<TimeMs>{1022056348000, 1022099608000}), times);
    }
    setenv("TZ", oldTz.c_str(), 1);
    tzset();
}

TEST_F(ReaderTest, DetectsEachCoordinateFormatFromTheFirstLine) {
    struct Case {
        const char* position;
        int format;
    } cases[] = {
        {"N47.64897 W122.34811", 1},
        {"N47 38.938 W122 20.887", 2},
        {"N47 38 56.3 W122 20 53.2", 3},
    };
    for (const Case& c : cases) {
        m_format = CMapSourceFormat();
        const std::string line = Line(c.position, "", "52 ft", "0.1 mi");
        Read(line + line);
        EXPECT_EQ(c.format, m_format.Get()) << c.position;
        EXPECT_NEAR(47.64897, m_track->m_fLat[0], 0.0001) << c.position;
        EXPECT_NEAR(-122.34811, m_track->m_fLon[0], 0.0001) << c.position;
    }
}

TEST_F(ReaderTest, BlankAfterKeywordCountsOneMoreBlank) {
    const std::string line = "Trackpoint N47 38.938 W122 20.887\t52 ft\t0.1 mi\n";
    Read(line + line);
    EXPECT_EQ(3, m_format.Get());
}

TEST_F(ReaderTest, UnknownBlankCountKeepsThePreviousFormat) {
    const std::string dm = Line("N47 38.938 W122 20.887", "", "52 ft", "0.1 mi");
    Read(dm + dm);
    ASSERT_EQ(2, m_format.Get());
    const std::string odd = "Trackpoint\tN47  38  56  .3 W122 20.887\t52 ft\t0.1 mi\n";
    Read(odd + dm);
    EXPECT_EQ(2, m_format.Get());
    EXPECT_EQ(1, m_track->m_nCount);
}

TEST_F(ReaderTest, FirstTrackpointLineIsOnlyAProbe) {
    const std::string a = Line("N10.5 E20.5", "", "100 ft", "1 mi");
    const std::string b = Line("N11.5 E21.5", "", "200 ft", "2 mi");
    Read(a);
    EXPECT_EQ(0, m_track->m_nCount);
    Read(std::string("no points here\n"));
    EXPECT_EQ(0, m_track->m_nCount);
    Read(a + b + a);
    ASSERT_EQ(2, m_track->m_nCount);
    EXPECT_EQ(200.0f, m_track->m_fElev[0]);
    EXPECT_EQ(2.0f, m_track->m_fDist[0]); // the first stored point's own leg
    EXPECT_EQ(3.0f, m_track->m_fDist[1]);
}

TEST_F(ReaderTest, HemisphereLettersSetTheSigns) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    Read(probe + Line("S12.5 w45.25", "", "0 ft", "0 mi") + Line("s1.5 W2.5", "", "0 ft", "0 mi") +
         Line("X3.5 e4.5", "", "0 ft", "0 mi") + Line("12.5 E9", "", "0 ft", "0 mi"));
    ASSERT_EQ(4, m_track->m_nCount);
    EXPECT_EQ(-12.5f, m_track->m_fLat[0]);
    EXPECT_EQ(-45.25f, m_track->m_fLon[0]);
    EXPECT_EQ(-1.5f, m_track->m_fLat[1]);
    EXPECT_EQ(-2.5f, m_track->m_fLon[1]);
    EXPECT_EQ(3.5f, m_track->m_fLat[2]);
    EXPECT_EQ(4.5f, m_track->m_fLon[2]);
    EXPECT_EQ(2.5f, m_track->m_fLat[3]); // no hemisphere letter: the first digit is lost
}

TEST_F(ReaderTest, ConvertsUnits) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    Read(probe + Line("N1.0 E1.0", "", "1.5 mi", "5280 ft") +
         Line("N1.0 E1.0", "", "2 miles", "3 mi") + Line("N1.0 E1.0", "", "100 m", "1000 m") +
         Line("N1.0 E1.0", "", "7 yd", "2 km") + Line("N1.0 E1.0", "", "7 ft", "2 furlongs"));
    ASSERT_EQ(5, m_track->m_nCount);
    EXPECT_EQ(7920.0f, m_track->m_fElev[0]);
    EXPECT_EQ(0.99999994f, m_track->m_fDist[0]);
    EXPECT_EQ(10560.0f, m_track->m_fElev[1]);
    EXPECT_EQ(static_cast<float>(100 * 3.2808399), m_track->m_fElev[2]);
    EXPECT_EQ(7.0f, m_track->m_fElev[3]); // other words are taken as feet and miles
    EXPECT_EQ(7.0f, m_track->m_fElev[4]);

    Read(probe + Line("N1.0 E1.0", "", "0 ft", "1000 m") + Line("N1.0 E1.0", "", "0 ft", "2 km"));
    EXPECT_EQ(static_cast<float>(1000 * 0.000621371192), m_track->m_fDist[0]);
    EXPECT_EQ(static_cast<float>(static_cast<double>(static_cast<float>(2 * 0.621371192)) +
                                 m_track->m_fDist[0]),
              m_track->m_fDist[1]);
}

TEST_F(ReaderTest, DatedAndUndatedLinesInOneFile) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    Read(probe + Line("N1.0 E1.0", "5/22/2002 8:32:28 PM", "10 ft", "1 mi") +
         Line("N1.0 E1.0", "", "20 ft", "1 mi") +
         Line("N1.0 E1.0", "10.12.2005 12:02:14", "30 ft", "1 mi") +
         Line("N1.0 E1.0", "10/12/2005 12:02:14 (UTC-7)", "40 ft", "1 mi") +
         Line("N1.0 E1.0", "5/22/2002 8:32:28 am", "50 ft", "1 mi"));
    ASSERT_EQ(5, m_track->m_nCount);
    EXPECT_EQ(10.0f, m_track->m_fElev[0]);
    EXPECT_EQ(20.0f, m_track->m_fElev[1]);
    EXPECT_EQ(30.0f, m_track->m_fElev[2]); // 24-hour export: no AM/PM word to skip
    EXPECT_EQ(40.0f, m_track->m_fElev[3]);
    EXPECT_EQ(50.0f, m_track->m_fElev[4]);
    EXPECT_EQ(5.0f, m_track->m_fDist[4]);
}

TEST_F(ReaderTest, ShortLineKeepsPreviousTokensAndZeroNumbers) {
    const std::string probe = Line("N1.0 E1.0", "", "0 m", "0 km");
    Read(probe + "Trackpoint\tN2.0 E3.0\n" + Line("N1.0 E1.0", "", "5 ft", "1 mi") +
         "Trackpoint\tN4.0\n");
    ASSERT_EQ(3, m_track->m_nCount);
    EXPECT_EQ(2.0f, m_track->m_fLat[0]);
    EXPECT_EQ(3.0f, m_track->m_fLon[0]);
    EXPECT_EQ(0.0f, m_track->m_fElev[0]);
    EXPECT_EQ(4.0f, m_track->m_fLat[2]);
    EXPECT_EQ(1.0f, m_track->m_fLon[2]); // longitude token of the previous line
}

TEST_F(ReaderTest, StopsAtTenThousandPoints) {
    std::string text = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    for (int i = 0; i < CTrack::kMaxPoints + 5; ++i)
        text += Line("N1.0 E1.0", "", std::to_string(i) + " ft", "0.5 mi");
    Read(text);
    ASSERT_EQ(CTrack::kMaxPoints, m_track->m_nCount);
    EXPECT_EQ(9999.0f, m_track->m_fElev[9999]);
    EXPECT_EQ(5000.0f, m_track->m_fDist[9999]);
}

TEST_F(ReaderTest, MissingFileReturnsZeroAndClears) {
    const std::string line = Line("N1.0 E1.0", "", "5 ft", "1 mi");
    Read(line + line);
    ASSERT_EQ(1, m_track->m_nCount);
    EXPECT_FALSE(ImportTrackFile("/nonexistent/vorlan/track.txt", *m_track, m_format).Ok());
    EXPECT_EQ(0, m_track->m_nCount);
    EXPECT_EQ(0.0f, m_track->m_fElev[0]);
}

TEST_F(ReaderTest, LongTokensAreCutNotOverflowed) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    const std::string huge(300, '7');
    Read(probe + "Trackpoint\tN12.250000000000000000001 E" + huge +
         "\t5 ftftftftftftftftftftftft\t1 mi\n" +
         Line("N1.0 E1.0", "", "6 mileeeeeeeeeeeeeeeeeeeeee", "1 mi"));
    ASSERT_GE(m_track->m_nCount, 1);
    EXPECT_FLOAT_EQ(12.25f, m_track->m_fLat[0]); // "12.250000000000" after the cut
    EXPECT_EQ(6.0f * 5280, m_track->m_fElev[m_track->m_nCount - 1]);
}

TEST_F(ReaderTest, NothingIsStoredBeforeAnyFormatWasDetected) {
    const std::string undetectable = "Trackpoint\t47.1\t122.2\t5\tft\t1\tmi\n";
    Read(undetectable + undetectable + undetectable);
    EXPECT_EQ(0, m_format.Get());
    EXPECT_EQ(0, m_track->m_nCount);
}

TEST_F(ReaderTest, NonFiniteNumbersAreMissingFields) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    Read(probe + Line("Nnan Einf", "", "nan ft", "inf mi") +
         Line("N1e39 E2.0", "", "1e39 ft", "1e38 mi") +
         Line("N1.0 E1.0", "", "3e38 mi", "3e38 mi") + Line("N1.0 E1.0", "", "1 ft", "3e38 mi"));
    ASSERT_EQ(4, m_track->m_nCount);
    for (int i = 0; i < m_track->m_nCount; ++i) {
        EXPECT_TRUE(std::isfinite(m_track->m_fLat[i])) << i;
        EXPECT_TRUE(std::isfinite(m_track->m_fLon[i])) << i;
        EXPECT_TRUE(std::isfinite(m_track->m_fElev[i])) << i;
        EXPECT_TRUE(std::isfinite(m_track->m_fDist[i])) << i;
        EXPECT_TRUE(std::isfinite(m_track->m_fLeg[i])) << i;
    }
    EXPECT_EQ(0.0f, m_track->m_fElev[0]);
    EXPECT_EQ(0.0f, m_track->m_fLat[1]);
    EXPECT_EQ(0.0f, m_track->m_fElev[2]); // 3e38 miles is no elevation in feet
}

TEST_F(ReaderTest, LongFileNamesOpenWhole) {
    // Three nested folders of 100 characters make a path well beyond 255 characters.
    std::string path = m_scratch.Path();
    for (char c : {'a', 'b', 'c'}) {
        path += std::string(100, c) + "/";
        mkdir(path.c_str(), 0700);
    }
    path += "track.txt";
    ASSERT_GT(path.size(), 300u);
    const std::string line = Line("N1.0 E1.0", "", "5 ft", "1 mi");
    std::ofstream(path, std::ios::binary) << line << line;
    EXPECT_TRUE(ImportTrackFile(path, *m_track, m_format).Ok());
    EXPECT_EQ(1, m_track->m_nCount);
}

TEST_F(ReaderTest, LinesLongerThanTheBufferArriveInPieces) {
    const std::string probe = Line("N1.0 E1.0", "", "0 ft", "0 mi");
    const std::string longLine =
        "Trackpoint\tN2.0 E2.0\t9 ft\t1 mi" + std::string(300, ' ') + "x\n";
    Read(probe + longLine + Line("N1.0 E1.0", "", "5 ft", "1 mi"));
    ASSERT_EQ(2, m_track->m_nCount);
    EXPECT_EQ(9.0f, m_track->m_fElev[0]);
}

} // namespace
