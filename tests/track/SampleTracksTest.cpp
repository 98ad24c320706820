// Reading the bundled sample exports: counts, detected formats, first and last points, distance,
// and agreement between the exports of one route written in different formats and units.
// The samples are written by scripts/make_samples.py; the expected values below are the texts
// of their first stored (second Trackpoint) and last lines.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "TrackGeometry.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

constexpr float kFeetPerMetre = static_cast<float>(3.2808399);

// Each sample read as the first import of a run; the format found is left in *pFormat.
std::unique_ptr<CTrack> ReadSample(const std::string& name, int* pFormat = nullptr) {
    CMapSourceFormat format;
    auto track = std::make_unique<CTrack>();
    EXPECT_TRUE(ImportTrackFile(std::string(VORLAN_SAMPLES) + "/" + name, *track, format).Ok())
        << name;
    if (pFormat)
        *pFormat = format.Get();
    return track;
}

struct Point {
    double lat, lon;
    float elev;
};

struct Sample {
    const char* name;
    int count;
    int format;
    Point first, last;
    float firstLeg; // the first stored line's leg length, in miles
    double miles;   // the route length that the export's track line gives
};

const Sample kSamples[] = {
    {"ridge-dm.txt",
     899,
     2,
     {47 + 25.236 / 60, -(121 + 26.747 / 60), 2169},
     {47 + 25.227 / 60, -(121 + 26.759 / 60), 2164},
     64 * 0.00018939393f,
     9.03},
    {"ridge-ddd.txt",
     899,
     1,
     {47.42060, -121.44578, 2169},
     {47.42045, -121.44598, 2164},
     64 * 0.00018939393f,
     9.03},
    {"ridge-dms.txt",
     899,
     3,
     {47 + 25 / 60.0 + 14.2 / 3600, -(121 + 26 / 60.0 + 44.8 / 3600), 661 * kFeetPerMetre},
     {47 + 25 / 60.0 + 13.6 / 3600, -(121 + 26 / 60.0 + 45.5 / 3600), 660 * kFeetPerMetre},
     static_cast<float>(20 * 0.000621371192),
     14.53 * 0.621371192},
    {"long-10000.txt",
     10000,
     2,
     {-(42 + 23.998 / 60), 173 + 33.005 / 60, 49 * kFeetPerMetre},
     {-(42 + 24.001 / 60), 173 + 33.003 / 60, 49 * kFeetPerMetre},
     static_cast<float>(8 * 0.000621371192),
     82.25 * 0.621371192},
};

TEST(SampleTracks, EachSampleReadsItsPointsAndFormat) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        int format = 0;
        const auto t = ReadSample(s.name, &format);
        ASSERT_EQ(s.count, t->m_nCount);
        EXPECT_EQ(s.format, format);

        const int last = t->m_nCount - 1;
        EXPECT_NEAR(s.first.lat, t->m_fLat[0], 1e-5);
        EXPECT_NEAR(s.first.lon, t->m_fLon[0], 1e-5);
        EXPECT_FLOAT_EQ(s.first.elev, t->m_fElev[0]);
        EXPECT_NEAR(s.last.lat, t->m_fLat[last], 1e-5);
        EXPECT_NEAR(s.last.lon, t->m_fLon[last], 1e-5);
        EXPECT_FLOAT_EQ(s.last.elev, t->m_fElev[last]);
        EXPECT_FLOAT_EQ(s.firstLeg, t->m_fDist[0]);

        // The sum of the written legs is the route length within the rounding of each leg, and
        // close to the length measured from the coordinates (a 0.2 % larger earth, rounded
        // positions on short legs).
        EXPECT_NEAR(s.miles, t->m_fDist[last], 0.002 * s.miles);
        double measured = t->m_fDist[0];
        for (int i = 1; i <= last; ++i)
            measured += t->m_fLeg[i];
        EXPECT_NEAR(1.0, measured / t->m_fDist[last], 0.01);
    }
}

TEST(SampleTracks, AllValuesAreFiniteAndRestingPointsHaveNoLeg) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        const auto t = ReadSample(s.name);
        int nResting = 0;
        for (int i = 0; i < t->m_nCount; ++i) {
            for (const float* a : {t->m_fLat, t->m_fLon, t->m_fSouth, t->m_fEast, t->m_fElev,
                                   t->m_fDist, t->m_fLeg, t->m_fSmooth}) {
                ASSERT_TRUE(std::isfinite(a[i])) << i;
            }
            if (i > 0 && t->m_fLat[i] == t->m_fLat[i - 1] && t->m_fLon[i] == t->m_fLon[i - 1]) {
                ++nResting;
                EXPECT_GE(t->m_fLeg[i], 0.0f) << i;
                EXPECT_LT(t->m_fLeg[i], 1e-4f) << i;
            }
        }
        // The hike rests for 25 minutes on the summit, where the receiver logs the same fix.
        if (std::string(s.name).rfind("ridge", 0) == 0) {
            EXPECT_GE(nResting, 50);
        }
    }
}

// The geometry of the long sample, point by point, is the distance formula applied to the stored
// coordinates, to the last bit.
TEST(SampleTracks, GeometryFollowsTheDistanceFormulaBitForBit) {
    const auto t = ReadSample("long-10000.txt");
    const float* lat = t->m_fLat;
    const float* lon = t->m_fLon;
    for (int i = 1; i < t->m_nCount; ++i) {
        SCOPED_TRACE(i);
        const auto leg = static_cast<float>(GreatCircle(lat[i - 1], lon[i - 1], lat[i], lon[i]) *
                                            static_cast<double>(0.62189054f));
        const auto s = static_cast<float>(GreatCircle(lat[0], lon[i], lat[i], lon[i]) * 100.0f);
        const auto e = static_cast<float>(GreatCircle(lat[i], lon[0], lat[i], lon[i]) * 100.0f);
        ASSERT_EQ(leg, t->m_fLeg[i]);
        ASSERT_EQ(lat[i] <= lat[0] ? s : -s, t->m_fSouth[i]);
        ASSERT_EQ(lon[i] >= lon[0] ? e : -e, t->m_fEast[i]);
    }
}

// The three ridge exports hold the same fixes: positions agree to the resolution of each format
// (0.00001 degree, 0.001 minute, 0.1 second), elevations to the rounding of whole feet and whole
// metres, and the summed legs to the rounding of whole feet and metres per leg.
TEST(SampleTracks, FormatsAndUnitsOfOneRouteAgree) {
    const auto dm = ReadSample("ridge-dm.txt");
    const auto ddd = ReadSample("ridge-ddd.txt");
    const auto dms = ReadSample("ridge-dms.txt");
    ASSERT_EQ(dm->m_nCount, ddd->m_nCount);
    ASSERT_EQ(dm->m_nCount, dms->m_nCount);

    const double halfDm = 0.0005 / 60, halfDdd = 0.000005, halfDms = 0.05 / 3600;
    const double floatError = 8e-6; // a float near 121 degrees is good to 3.8e-6 either way
    const double metricElev = 0.5 + 0.5 * 3.2808399 + 0.001;
    for (int i = 0; i < dm->m_nCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(dm->m_fLat[i], ddd->m_fLat[i], halfDm + halfDdd + floatError);
        EXPECT_NEAR(dm->m_fLon[i], ddd->m_fLon[i], halfDm + halfDdd + floatError);
        EXPECT_NEAR(dm->m_fLat[i], dms->m_fLat[i], halfDm + halfDms + floatError);
        EXPECT_NEAR(dm->m_fLon[i], dms->m_fLon[i], halfDm + halfDms + floatError);
        EXPECT_EQ(dm->m_fElev[i], ddd->m_fElev[i]);
        EXPECT_NEAR(dm->m_fElev[i], dms->m_fElev[i], metricElev);
        EXPECT_EQ(dm->m_fDist[i], ddd->m_fDist[i]);
    }
    const int last = dm->m_nCount - 1;
    EXPECT_NEAR(dm->m_fDist[last], dms->m_fDist[last], 0.01);
}

// A blank instead of a tab after the keyword counts one more blank: the degrees-and-minutes
// export is read as degrees, minutes and seconds. The latitudes still come out right (the
// longitude letter lands in the seconds token and reads as 0); the longitude is taken from the
// minutes, the date and the time, and the elevation from the leg length.
TEST(SampleTracks, BlankAfterKeywordShiftsTheFormat) {
    const auto dm = ReadSample("ridge-dm.txt");
    int format = 0;
    const auto blank = ReadSample("ridge-dm-blank.txt", &format);
    EXPECT_EQ(3, format);
    ASSERT_EQ(dm->m_nCount, blank->m_nCount);
    for (int i = 0; i < dm->m_nCount; ++i)
        ASSERT_EQ(dm->m_fLat[i], blank->m_fLat[i]) << i;
    // "N47 25.236 W121 26.747  9/14/2003 7:58:33 AM  2169 ft  64 ft  0:00:21 ..."
    EXPECT_NEAR(6.747 + 9 / 60.0 + 7 / 3600.0, blank->m_fLon[0], 1e-5);
    EXPECT_EQ(64.0f, blank->m_fElev[0]);
    EXPECT_EQ(0.0f, blank->m_fDist[0]);
}

} // namespace
