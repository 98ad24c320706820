// The elevation chart over time: natural steps and their labels, and the series placed at the
// times the record gives the track's points; and the graphs stacked under it.
#include "CDrawTools.h"
#include "CPlot.h"
#include "CSvgDC.h"
#include "CTimeAxis.h"
#include "CTrack.h"
#include "CTrackRecord.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct StepRow {
    float lo, hi;
    int nWanted;
    float step;
    int nTicks;
};

TEST(TimeAxis, StepsAreWholeSecondsMinutesHoursOrDaysAndLabelsFollowThem) {
    const StepRow rows[] = {
        {0, 9523, 10, 1800, 6},       // 2:38:43 in half hours: 0:00 to 3:00
        {0, 45, 10, 5, 9},            // seconds
        {30, 290, 5, 60, 5},          // whole minutes around the range: 0:00 to 5:00
        {0, 86400 * 3, 2, 172800, 2}, // beyond a day: days, doubled
    };
    for (const StepRow& r : rows) {
        float lo = r.lo, hi = r.hi, step = 0;
        int n = r.nWanted;
        CTimeAxis::Scale(&lo, &hi, &step, &n);
        EXPECT_EQ(r.step, step) << r.hi;
        EXPECT_EQ(r.nTicks, n) << r.hi;
        EXPECT_LE(lo, r.lo);
        EXPECT_GE(hi, r.hi);
    }
    char text[32];
    CTimeAxis::Label(text, sizeof text, XAxis::elapsed, 5400, 1800);
    EXPECT_STREQ("1:30", text);
    CTimeAxis::Label(text, sizeof text, XAxis::elapsed, 75, 15);
    EXPECT_STREQ("0:01:15", text);
    CTimeAxis::Label(text, sizeof text, XAxis::timeOfDay, 86400 + 9 * 3600 + 1800, 900);
    EXPECT_STREQ("09:30", text);
}

// Three chart points at the record's first, third and fifth points, a minute apart; the third
// record point has no time and takes the one before it.
TEST(TimeAxis, TheChartOverElapsedTimePutsEachPointAtItsRecordTime) {
    CTrackRecord record;
    for (int i = 0; i < 5; ++i) {
        RecordPoint p;
        p.lat = 46.5 + i * 1e-3;
        p.lon = 8;
        p.ele = 500;
        p.time = i == 2 ? kNoTime : 1625126400000 + i * 60000;
        record.AddPoint(p);
    }
    const auto track = std::make_unique<CTrack>();
    track->m_nCount = 3;
    for (int k = 0; k < 3; ++k) {
        track->m_fDist[k] = 0.1f * k;
        track->m_fElev[k] = track->m_fSmooth[k] = 1000.0f + k;
        track->m_nRecordIndex[k] = static_cast<std::uint32_t>(2 * k);
    }
    CPlot plot;
    plot.m_xAxis = XAxis::elapsed;
    plot.FillElevation(*track, &record);
    ASSERT_TRUE(plot.m_bTimeAxis);
    EXPECT_EQ(0.0f, plot.m_pX[0][0]);
    EXPECT_EQ(60.0f, plot.m_pX[0][1]);
    EXPECT_EQ(240.0f, plot.m_pX[0][2]);
    EXPECT_STREQ("Elevation vs Elapsed Time (0:04:00)", plot.m_szTitle);
    EXPECT_STREQ("Elapsed time", plot.m_szXLabel);

    // Without times, or over distance: the designed chart.
    plot.m_xAxis = XAxis::distance;
    plot.FillElevation(*track, &record);
    EXPECT_FALSE(plot.m_bTimeAxis);
    EXPECT_EQ(track->m_fDist, plot.m_pX[0]);
    plot.m_xAxis = XAxis::timeOfDay;
    plot.FillElevation(*track, nullptr);
    EXPECT_STREQ("Elevation vs Distance (0.20 miles)", plot.m_szTitle);
}

} // namespace

// View, Graphs: a graph of the grade under the chart shares its x axis; the chart keeps twice a
// graph's height, and without graphs the frame is the designed one.
TEST(StackedGraphs, AGraphSharesTheChartsXAxisBelowIt) {
    const auto track = std::make_unique<CTrack>();
    track->m_nCount = 50;
    for (int k = 0; k < 50; ++k) {
        track->m_fDist[k] = 0.02f * k;
        track->m_fElev[k] = track->m_fSmooth[k] = 1000.0f + 10.0f * k;
    }
    CDrawTools tools;
    const RECT client{0, 0, 800, 600};
    CPlot plot;
    plot.FillElevation(*track);
    CSvgDC alone(96, 96, 800, 600, 0, &client);
    plot.Draw2D(&alone, tools);
    const RECT designed = plot.m_rcPlot;

    plot.FillElevation(*track);
    ASSERT_TRUE(plot.AddGraph(GraphKind::grade, *track, nullptr));
    EXPECT_FALSE(plot.AddGraph(GraphKind::heartRate, *track, nullptr));
    CSvgDC stacked(96, 96, 800, 600, 0, &client);
    plot.Draw2D(&stacked, tools);
    ASSERT_EQ(1, plot.m_nGraphs);
    const RECT& graph = plot.m_graphs[0].rc;
    EXPECT_EQ(designed.left, graph.left);
    EXPECT_EQ(designed.right, graph.right);
    EXPECT_LE(graph.bottom, designed.bottom);
    EXPECT_GT(graph.top, plot.m_rcPlot.bottom);
    EXPECT_EQ(2 * (graph.bottom - graph.top), plot.m_rcPlot.bottom - plot.m_rcPlot.top);
    EXPECT_STREQ("Grade, %", plot.m_graphs[0].szTitle);
    // 10 ft over 0.02 mile is a grade of about 9.5 %.
    EXPECT_NEAR(100.0 * 10 / (0.02 * 5280), plot.m_fGraphValues[0][25], 1e-3);
}

// A heart rate graph draws every record point, not only the track's: the five record points
// between two track points (evenly spaced) fall at their share of the distance, and a spike at
// one of them, which the track's points miss, sets the graph's range.
TEST(StackedGraphs, GraphsOfARecordChannelDrawEveryRecordPoint) {
    CTrackRecord record;
    for (int i = 0; i <= 12; ++i) {
        RecordPoint p;
        p.lat = 46.5 + i * 1e-4;
        p.lon = 8;
        p.At(Sensor::heartRate) = i == 3 ? 190.0f : 120.0f;
        record.AddPoint(p);
    }
    const auto track = std::make_unique<CTrack>();
    track->m_nCount = 3;
    for (int k = 0; k < 3; ++k) {
        track->m_fDist[k] = 0.5f * k;
        track->m_nRecordIndex[k] = static_cast<std::uint32_t>(6 * k);
    }
    CPlot plot;
    plot.FillElevation(*track, &record);
    ASSERT_TRUE(plot.AddGraph(GraphKind::heartRate, *track, &record));
    const CPlot::Graph& graph = plot.m_graphs[0];
    ASSERT_EQ(13, graph.nPoints);
    EXPECT_FLOAT_EQ(0.25f, graph.pX[3]);
    EXPECT_EQ(0.5f, graph.pX[6]);
    EXPECT_EQ(1.0f, graph.pX[12]);
    EXPECT_EQ(190.0f, graph.pY[3]);
    EXPECT_EQ(120.0f, plot.m_fGraphValues[0][1]);
    CDrawTools tools;
    const RECT client{0, 0, 800, 600};
    CSvgDC dc(96, 96, 800, 600, 0, &client);
    plot.Draw2D(&dc, tools);
    EXPECT_GE(plot.m_graphs[0].fYMax, 190.0f);
}
