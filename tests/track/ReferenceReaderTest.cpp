// Cross-check of the MapSource reader against a plain reading of the same steps with fgets and
// sscanf and the scan format strings of each coordinate format. On well-formed exports with a
// 12-hour clock or no clock the two must agree to the last bit; on a 24-hour export the plain
// reading loses every elevation, which is what the reader's date handling exists to prevent.
#include "CMapSourceFormat.h"
#include "CTrack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct PlainTrack {
    int nFormat = 0;
    std::vector<float> lat, lon, elev, dist;
};

// The coordinate format from the first Trackpoint line: blanks from its first N/S letter to its
// first E/W letter.
int DetectFormat(const char* line, int nPrevious) {
    const char* p = std::strpbrk(line, "NSns");
    if (!p)
        return nPrevious;
    int nBlanks = 0;
    for (; *p && !std::strchr("EWew", *p); ++p)
        nBlanks += *p == ' ';
    return nBlanks >= 1 && nBlanks <= 3 ? nBlanks : nPrevious;
}

PlainTrack ReadPlain(const std::string& path) {
    PlainTrack t;
    std::FILE* fp = std::fopen(path.c_str(), "r");
    EXPECT_NE(nullptr, fp) << path;
    if (!fp)
        return t;
    char line[256];
    char latD[16] = "", latM[16] = "", latS[16] = "", lonD[16] = "", lonM[16] = "", lonS[16] = "";
    char elevUnit[16] = "", legUnit[16] = "";
    bool bProbe = false;
    while (!bProbe && std::fgets(line, sizeof line, fp))
        bProbe = std::strncmp(line, "Trackpoint", 10) == 0;
    if (bProbe) {
        std::sscanf(line, "%*s %*s %*s %15s %15s", elevUnit, legUnit);
        t.nFormat = DetectFormat(line, 0);
    }
    float sum = 0;
    while (bProbe && t.elev.size() < 10000 && std::fgets(line, sizeof line, fp)) {
        if (std::strncmp(line, "Trackpoint", 10) != 0 || t.nFormat == 0)
            continue;
        const bool bDated = std::strpbrk(line, "/:") != nullptr;
        float elev = 0, leg = 0, ld = 0, lm = 0, ls = 0, od = 0, om = 0, os = 0;
        switch (t.nFormat * 2 + bDated) {
        case 2:
            std::sscanf(line, "%*s %15s %15s %f %15s %f %15s", latD, lonD, &elev, elevUnit, &leg,
                        legUnit);
            break;
        case 3:
            std::sscanf(line, "%*s %15s %15s %*s %*s %*s %f %15s %f %15s", latD, lonD, &elev,
                        elevUnit, &leg, legUnit);
            break;
        case 4:
            std::sscanf(line, "%*s %15s %15s %15s %15s %f %15s %f %15s", latD, latM, lonD, lonM,
                        &elev, elevUnit, &leg, legUnit);
            break;
        case 5:
            std::sscanf(line, "%*s %15s %15s %15s %15s %*s %*s %*s %f %15s %f %15s", latD, latM,
                        lonD, lonM, &elev, elevUnit, &leg, legUnit);
            break;
        case 6:
            std::sscanf(line, "%*s %15s %15s %15s %15s %15s %15s %f %15s %f %15s", latD, latM, latS,
                        lonD, lonM, lonS, &elev, elevUnit, &leg, legUnit);
            break;
        default:
            std::sscanf(line, "%*s %15s %15s %15s %15s %15s %15s %*s %*s %*s %f %15s %f %15s", latD,
                        latM, latS, lonD, lonM, lonS, &elev, elevUnit, &leg, legUnit);
            break;
        }
        if (t.nFormat >= 2) {
            std::sscanf(latM, "%f", &lm);
            std::sscanf(lonM, "%f", &om);
        }
        if (t.nFormat == 3) {
            std::sscanf(latS, "%f", &ls);
            std::sscanf(lonS, "%f", &os);
        }
        if (std::strncmp(elevUnit, "mi", 2) == 0)
            elev = static_cast<float>(elev * 5280.0);
        else if (std::strcmp(elevUnit, "m") == 0)
            elev = static_cast<float>(elev * 3.2808399);
        if (std::strncmp(legUnit, "ft", 2) == 0)
            leg = static_cast<float>(leg * static_cast<double>(0.00018939393f));
        else if (std::strcmp(legUnit, "m") == 0)
            leg = static_cast<float>(leg * 0.000621371192);
        else if (std::strcmp(legUnit, "km") == 0)
            leg = static_cast<float>(leg * 0.621371192);
        std::sscanf(latD + 1, "%f", &ld);
        std::sscanf(lonD + 1, "%f", &od);
        const auto degrees = [](float d, float m, float s) {
            return static_cast<float>(s * static_cast<double>(0.00027777778f) +
                                      m * static_cast<double>(0.016666668f) + d);
        };
        const float lat = degrees(ld, lm, ls), lon = degrees(od, om, os);
        t.lat.push_back(latD[0] == 'S' || latD[0] == 's' ? -lat : lat);
        t.lon.push_back(lonD[0] == 'W' || lonD[0] == 'w' ? -lon : lon);
        t.elev.push_back(elev);
        sum = t.dist.empty() ? leg : static_cast<float>(static_cast<double>(leg) + sum);
        t.dist.push_back(sum);
    }
    std::fclose(fp);
    return t;
}

std::unique_ptr<CTrack> ReadTrack(const std::string& path, CMapSourceFormat& format) {
    auto track = std::make_unique<CTrack>();
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(1, track->ReadMapSource(fp, format));
    std::fclose(fp);
    return track;
}

std::string Sample(const char* name) {
    return std::string(VORLAN_SAMPLES) + "/" + name;
}

TEST(ReferenceReader, SamplesReadAsPlainScanfReadsThem) {
    for (const char* name :
         {"ridge-dm.txt", "ridge-ddd.txt", "ridge-dm-blank.txt", "long-10000.txt"}) {
        SCOPED_TRACE(name);
        const PlainTrack plain = ReadPlain(Sample(name));
        CMapSourceFormat format;
        const auto t = ReadTrack(Sample(name), format);
        EXPECT_EQ(plain.nFormat, format.Get());
        ASSERT_EQ(static_cast<int>(plain.elev.size()), t->m_nCount);
        for (int i = 0; i < t->m_nCount; ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(plain.lat[i], t->m_fLat[i]);
            ASSERT_EQ(plain.lon[i], t->m_fLon[i]);
            ASSERT_EQ(plain.elev[i], t->m_fElev[i]);
            ASSERT_EQ(plain.dist[i], t->m_fDist[i]);
        }
    }
}

TEST(ReferenceReader, TwentyFourHourClockKeepsTheElevationsThatPlainScanfLoses) {
    const PlainTrack plain = ReadPlain(Sample("ridge-dms.txt"));
    CMapSourceFormat format;
    const auto t = ReadTrack(Sample("ridge-dms.txt"), format);
    ASSERT_EQ(static_cast<int>(plain.elev.size()), t->m_nCount);
    for (int i = 0; i < t->m_nCount; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(plain.lat[i], t->m_fLat[i]);
        ASSERT_EQ(plain.lon[i], t->m_fLon[i]);
        // Skipping three words after the position swallows the altitude's number.
        ASSERT_EQ(0.0f, plain.elev[i]);
        ASSERT_GT(t->m_fElev[i], 2000.0f);
    }
}

} // namespace
