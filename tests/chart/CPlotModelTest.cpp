// The chart model: how the two plot commands fill it, the raw ranges, and the nice axis scale.
#include "CPlot.h"
#include "TestTracks.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

struct Scale {
    float first;
    float last;
    float step;
    int count;
    std::string format;
};

Scale Nice(float lo, float hi, int wanted) {
    CPlot plot;
    Scale s{lo, hi, -1.0f, wanted, ""};
    char format[16] = "unset";
    plot.NiceScale(&s.first, &s.last, &s.step, &s.count, format);
    s.format = format;
    return s;
}

TEST(PlotFill, ElevationCommandFillsTwoSeriesAndTitles) {
    auto track = MakeTrack({0.0f, 5.0f, 12.5f}, {10, 20, 30}, {11, 21, 31});
    CPlot plot;
    plot.FillElevation(*track);
    EXPECT_EQ(2, plot.m_nSeries);
    EXPECT_STREQ("Elevation vs Distance (12.50 miles)", plot.m_szTitle);
    EXPECT_STREQ("Distance, miles", plot.m_szXLabel);
    EXPECT_STREQ("Elevation, ft", plot.m_szYLabel);
    EXPECT_STREQ("Raw", plot.m_szLegend[0]);
    EXPECT_STREQ("Smoothed", plot.m_szLegend[1]);
    EXPECT_STREQ("L2", plot.m_szLegend[2]);
    EXPECT_EQ(track->m_fDist, plot.m_pX[0]);
    EXPECT_EQ(track->m_fElev, plot.m_pY[0]);
    EXPECT_EQ(track->m_fDist, plot.m_pX[1]);
    EXPECT_EQ(track->m_fSmooth, plot.m_pY[1]);
    EXPECT_EQ(3, plot.m_nPoints[0]);
    EXPECT_EQ(3, plot.m_nPoints[1]);
}

TEST(PlotFill, EmptyTrackShowsNoDistanceFromBeforeTheArrays) {
    auto track = MakeTrack({}, {}, {});
    // The float just before the distances; an empty track must not show it.
    track->m_fElev[CTrack::kMaxPoints - 1] = 42.0f;
    CPlot plot;
    plot.FillElevation(*track);
    EXPECT_STREQ("Elevation vs Distance (0.00 miles)", plot.m_szTitle);
    EXPECT_EQ(0, plot.m_nPoints[0]);
    plot.Fill3D(*track);
    EXPECT_STREQ("Elevation vs Distance (0.00 miles)", plot.m_szTitle);
}

TEST(PlotFill, ThreeDCommandFillsSlotZeroAndTheBoxOnly) {
    auto track = MakeTrack({0.0f, 1.0f}, {100, 200}, {110, 190});
    const float range[3][2] = {{-3.5f, 4.25f}, {-1.0f, 9.0f}, {90.0f, 210.0f}};
    std::memcpy(track->m_fRange, range, sizeof range);
    CPlot plot;
    plot.FillElevation(*track);
    plot.Fill3D(*track);
    EXPECT_EQ(0, plot.m_nSeries);
    EXPECT_EQ(track->m_fSouth, plot.m_pX[0]);
    EXPECT_EQ(track->m_fEast, plot.m_pY[0]);
    EXPECT_EQ(track->m_fSmooth, plot.m_pZ[0]);
    EXPECT_EQ(2, plot.m_nPoints[0]);
    EXPECT_STREQ("Raw", plot.m_szLegend[0]) << "the 3D command writes no legend";
    EXPECT_STREQ("Elevation vs Distance (1.00 miles)", plot.m_szTitle);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(range[axis][0], plot.m_fBoxMin[axis]);
        EXPECT_EQ(range[axis][1], plot.m_fBoxMax[axis]);
    }
}

TEST(PlotRanges, CoverAllPointsOfAllSeriesInUse) {
    const float x0[] = {1.0f, 3.0f, 5.0f}, y0[] = {10.0f, -2.0f, 7.0f};
    const float x1[] = {-4.0f, 2.0f}, y1[] = {12.0f, 0.5f};
    const float x2[] = {-100.0f}, y2[] = {100.0f};
    CPlot plot;
    plot.m_pX[0] = x0, plot.m_pY[0] = y0, plot.m_nPoints[0] = 3;
    plot.m_pX[1] = x1, plot.m_pY[1] = y1, plot.m_nPoints[1] = 2;
    plot.m_pX[2] = x2, plot.m_pY[2] = y2, plot.m_nPoints[2] = 1;
    plot.m_nSeries = 2; // slot 2 is not in use
    plot.ComputeRanges();
    EXPECT_EQ(-4.0f, plot.m_fXMin);
    EXPECT_EQ(5.0f, plot.m_fXMax);
    EXPECT_EQ(-2.0f, plot.m_fYMin);
    EXPECT_EQ(12.0f, plot.m_fYMax);

    plot.m_nPoints[1] = 0; // an empty slot contributes nothing
    plot.ComputeRanges();
    EXPECT_EQ(1.0f, plot.m_fXMin);
    EXPECT_EQ(-2.0f, plot.m_fYMin);
    EXPECT_EQ(10.0f, plot.m_fYMax);

    plot.m_nSeries = 0; // the seed is the first point of slot 0 all the same
    plot.ComputeRanges();
    EXPECT_EQ(1.0f, plot.m_fXMin);
    EXPECT_EQ(1.0f, plot.m_fXMax);
    EXPECT_EQ(10.0f, plot.m_fYMin);
    EXPECT_EQ(10.0f, plot.m_fYMax);
}

TEST(PlotRanges, UnfilledChartStartsFromZero) {
    CPlot plot;
    plot.ComputeRanges();
    EXPECT_EQ(0.0f, plot.m_fXMin);
    EXPECT_EQ(0.0f, plot.m_fYMax);
}

struct NiceRow {
    float lo, hi;
    int wanted;
    float first, last, step;
    int count;
    const char* format;
};

TEST(NiceScale, RoundsRangesToOneOrFiveTimesAPowerOfTen) {
    const NiceRow rows[] = {
        {0.0f, 26.3f, 8, 0.0f, 30.0f, 5.0f, 6, "%.0f"},
        // The start is a multiple of 10, not of the step; about three times the wanted count.
        {512.0f, 2318.0f, 6, 510.0f, 2410.0f, 100.0f, 19, "%.0f"},
        {-3.7f, 12.2f, 4, -4.0f, 16.0f, 5.0f, 4, "%.0f"},
        // 0.2 + 7 * 0.1f lies nearer the float above 0.9f, so the last tick shows as 0.9 but is
        // stored as 0.90000004.
        {0.2f, 0.9f, 5, 0.2f, 0.90000004f, 0.1f, 7, "%.1f"},
        // An empty span is widened by 0.01; 10 * 0.001f rounds up to 0.010000001.
        {0.0f, 0.0f, 5, 0.0f, 0.010000001f, 0.001f, 10, "%.3f"},
        {0.0f, 0.26f, 5, 0.0f, 0.3f, 0.05f, 6, "%.2f"},
        {0.0f, 4.0f, 8, 0.0f, 4.0f, 0.5f, 8, "%.1f"},
        {0.0f, 8.0f, 8, 0.0f, 8.0f, 1.0f, 8, "%.0f"},
    };
    for (const NiceRow& r : rows) {
        SCOPED_TRACE(testing::Message() << r.lo << " .. " << r.hi << " / " << r.wanted);
        const Scale s = Nice(r.lo, r.hi, r.wanted);
        EXPECT_EQ(r.first, s.first);
        EXPECT_EQ(r.last, s.last);
        EXPECT_EQ(r.step, s.step);
        EXPECT_EQ(r.count, s.count);
        EXPECT_EQ(r.format, s.format);
    }
}

TEST(NiceScale, WantedCountsBelowTwoCountAsTwo) {
    for (int wanted : {-7, 0, 1}) {
        const Scale s = Nice(0.0f, 26.3f, wanted);
        const Scale two = Nice(0.0f, 26.3f, 2);
        EXPECT_EQ(two.first, s.first);
        EXPECT_EQ(two.last, s.last);
        EXPECT_EQ(two.step, s.step);
        EXPECT_EQ(two.count, s.count);
    }
    EXPECT_EQ(10.0f, Nice(0.0f, 26.3f, 1).step);
}

// Any finite range, however wide, narrow or far from zero, and any wanted count, gives a finite
// grid of positive width with a count that fits 16 bits.
TEST(NiceScale, StaysFiniteAndWithinSixteenBitsForAnyFiniteInput) {
    const float values[] = {-FLT_MAX, -1e37f, -3e8f, -131072.5f, -1.0f, -FLT_MIN, 0.0f,
                            1e-30f,   0.004f, 1.0f,  200000.0f,  3e8f,  1e30f,    FLT_MAX};
    const int wanted[] = {INT_MIN, 0, 2, 8, 32767, 32768, 40000, INT_MAX};
    for (float a : values)
        for (float b : values)
            for (int n : wanted) {
                SCOPED_TRACE(testing::Message() << a << " .. " << b << " / " << n);
                const Scale s = Nice(a, b, n);
                ASSERT_TRUE(std::isfinite(s.first) && std::isfinite(s.last) &&
                            std::isfinite(s.step));
                EXPECT_LT(s.first, s.last);
                EXPECT_GT(s.step, 0.0f);
                EXPECT_GE(s.count, 1);
                EXPECT_LE(s.count, 32767);
                EXPECT_EQ('%', s.format[0]);
            }
}

TEST(NiceScale, EqualValuesBeyondHundredthResolutionAreStillWidened) {
    // 0.01 is below the float spacing at 200000, so adding it changes nothing.
    const Scale s = Nice(200000.0f, 200000.0f, 6);
    EXPECT_LE(s.first, 200000.0f);
    EXPECT_GT(s.last, 200000.0f);
    EXPECT_GE(s.count, 1);
}

// A one-point track's empty spans still give tick labels that differ from each other: the
// format has enough decimals for the step, wherever the value lies.
TEST(NiceScale, TickLabelsOfAnEmptySpanDiffer) {
    for (const float v : {0.0f, 2168.635f, 2169.0f, -3.5f, 200000.0f, 1e9f})
        for (const int wanted : {2, 10, 40}) {
            const Scale s = Nice(v, v, wanted);
            std::set<std::string> labels;
            for (int i = 0; i <= s.count; ++i) {
                char label[64];
                std::snprintf(label, sizeof label, s.format.c_str(),
                              i * static_cast<double>(s.step) + s.first);
                labels.insert(label);
            }
            EXPECT_EQ(labels.size(), static_cast<std::size_t>(s.count) + 1)
                << v << " / " << wanted << " with " << s.format;
        }
}

TEST(NiceScale, NotANumberOrInfinityGivesAFiniteGrid) {
    const float nan = std::nanf("");
    for (const auto& [lo, hi] :
         {std::pair{nan, nan}, std::pair{-INFINITY, INFINITY}, std::pair{nan, 5.0f}}) {
        const Scale s = Nice(lo, hi, 8);
        EXPECT_TRUE(std::isfinite(s.first) && std::isfinite(s.last)) << lo << " " << hi;
        EXPECT_LT(s.first, s.last);
    }
}

} // namespace
