// NMEA: an RMC and a GGA of the same time made one point with the position, altitude, speed and
// date exactly as written; checksums, void fixes, a log without a date, mixed line ends and
// garbage, midnight.
#include "CNmeaReader.h"
#include "ReadWith.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

ReadResult Read(const std::string& nmea) {
    return ReadWith(&CNmeaReader::Make, nmea);
}

// "$BODY*CS\r\n", CS the XOR of the body's characters.
std::string Nmea(const std::string& body, const char* end = "\r\n") {
    unsigned sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char checksum[4];
    std::snprintf(checksum, sizeof checksum, "*%02X", sum);
    return "$" + body + checksum + end;
}

// Degrees and minutes as NMEA writes them: 47 deg 24.006 min.
double Angle(int degrees, double minutes) {
    return degrees + minutes / 60.0;
}

float Knots(double knots) {
    return static_cast<float>(knots * 1852.0 / 3600.0);
}

constexpr TimeMs kMay4 = 1'714'780'800'000;  // 2024-05-04
constexpr TimeMs kDec31 = 1'703'980'800'000; // 2023-12-31
constexpr TimeMs kEight = 8 * 3'600'000;     // 08:00

TEST(NmeaReader, MergesTheRmcAndGgaOfATimeIntoOnePointAsWritten) {
    const ReadResult r =
        Read(Nmea("GPGGA,080000.00,4724.0060,N,12126.0030,W,1,08,0.9,651.5,M,46.9,M,,") +
             Nmea("GPRMC,080000.00,A,4724.0060,N,12126.0030,W,2.5,54.7,040524,,,A") +
             Nmea("GNRMC,080001.50,A,4724.0120,S,00126.0060,E,10.0,54.7,040524,,,A") +
             Nmea("GNGGA,080001.50,4724.0120,S,00126.0060,E,2,08,0.9,-3.25,M,46.9,M,,"));
    ASSERT_EQ("", r.error);
    const CTrackRecord& rec = r.record;
    ASSERT_EQ(2u, rec.Size());
    EXPECT_EQ((std::vector<double>{Angle(47, 24.006), -Angle(47, 24.012)}), rec.Lat());
    EXPECT_EQ((std::vector<double>{-Angle(121, 26.003), Angle(1, 26.006)}), rec.Lon());
    EXPECT_EQ((std::vector<double>{651.5, -3.25}), rec.Ele());
    EXPECT_EQ((std::vector<float>{Knots(2.5), Knots(10.0)}), rec.SensorValues(Sensor::speed));
    EXPECT_EQ((std::vector<TimeMs>{kMay4 + kEight, kMay4 + kEight + 1500}), rec.Time());
    EXPECT_EQ("NMEA", rec.m_source.format);
    EXPECT_TRUE(r.notes.empty());
    EXPECT_EQ(0u, r.skipped.Total());
}

TEST(NmeaReader, TrickyLogs) {
    const std::string gga1 = "GPGGA,080001,4724.0000,N,01100.0000,E,1,08,0.9,500,M,,,,";
    const struct {
        const char* name;
        std::string log;
        std::vector<TimeMs> times;
        std::vector<double> ele;
        std::size_t nVoid;
        std::vector<std::string> notes;
    } cases[] = {
        {"a wrong checksum leaves its sentence out; one without a checksum counts",
         Nmea("GPRMC,080000,A,4724.0000,N,01100.0000,E,0,0,040524,,") +
             "$GPGGA,080000,4724.0000,N,01100.0000,E,1,08,0.9,400,M,,,,*00\r\n" + "$" + gga1 +
             "\r\n",
         {kMay4 + kEight, kMay4 + kEight + 1000},
         {NAN, 500},
         0,
         {"1 sentence with a wrong checksum left out."}},
        {"void fixes are counted, a position from either sentence of a time counts",
         Nmea("GPRMC,080000,V,4724.0000,N,01100.0000,E,0,0,040524,,") +
             Nmea("GPGGA,080000,4724.0000,N,01100.0000,E,0,00,,,M,,,,") +
             Nmea("GPGGA,080001,,,,,0,00,,,M,,,,") +
             Nmea("GPGGA,080002,4724.0000,N,01100.0000,E,1,08,0.9,502,M,,,,") +
             Nmea("GPRMC,080002,V,4724.0000,N,01100.0000,E,0,0,040524,,"),
         {},
         {502},
         2,
         {"No date in this file; times are left out."}},
        {"a log of GGA only has no date",
         Nmea("GPGGA,235959,4724.0000,N,01100.0000,E,1,08,0.9,500,M,,,,") + Nmea(gga1),
         {},
         {500, 500},
         0,
         {"No date in this file; times are left out."}},
        {"mixed line ends, garbage, sentences run together",
         "garbage\n\r\n" + Nmea(gga1, "") + Nmea(gga1, "\n") + "xx$GPGGA,1*FF\r" +
             Nmea("GPGGA,080002,4724.0000,N,01100.0000,E,1,08,0.9,501,M,,,,", "\n") + "\x01\xff",
         {},
         {500, 501},
         0,
         {"1 sentence with a wrong checksum left out.",
          "No date in this file; times are left out."}},
        {"past midnight without an RMC the day rolls on",
         Nmea("GPRMC,235959,A,4724.0000,N,01100.0000,E,0,0,311223,,") +
             Nmea("GPGGA,000001,4724.0000,N,01100.0000,E,1,08,0.9,500,M,,,,"),
         {kDec31 + 86'399'000, kDec31 + 86'401'000},
         {NAN, 500},
         0,
         {}},
        {"a fix before the first date has no time",
         Nmea(gga1) + Nmea("GPRMC,080002,A,4724.0000,N,01100.0000,E,0,0,040524,,"),
         {kNoTime, kMay4 + kEight + 2000},
         {500, NAN},
         0,
         {"1 point before the file's first date without a time."}},
    };
    for (const auto& c : cases) {
        const ReadResult r = Read(c.log);
        EXPECT_EQ(c.times, r.record.Time()) << c.name;
        ASSERT_EQ(c.ele.size(), r.record.Ele().size()) << c.name;
        for (std::size_t i = 0; i < c.ele.size(); ++i)
            EXPECT_TRUE(c.ele[i] == r.record.Ele()[i] ||
                        (std::isnan(c.ele[i]) && std::isnan(r.record.Ele()[i])))
                << c.name << " " << i;
        EXPECT_EQ(c.nVoid, r.skipped.nVoid) << c.name;
        EXPECT_EQ(c.notes, r.notes) << c.name;
    }
}

} // namespace
