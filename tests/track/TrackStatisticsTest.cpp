// The track's numbers: total ascent and descent with the 10 ft hysteresis, the steepest grades
// over at least 0.05 mile, and the cursor readout's choice of the nearest point.
#include "CTrack.h"
#include "CTrackReadout.h"
#include "CTrackStatistics.h"
#include "TestTracks.h"
#include "UnitsAndEarth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ItemValue(const std::vector<StatisticsItem>& items, const std::string& label) {
    for (const StatisticsItem& item : items)
        if (item.label == label)
            return item.value;
    return "(missing " + label + ")";
}

struct ClimbRow {
    const char* name;
    std::vector<float> elev;
    double ascent, descent;
};

TEST(TrackStatistics, AscentAndDescentWithTheTenFootHysteresis) {
    const ClimbRow rows[] = {
        {"no points", {}, 0, 0},
        {"one point", {500}, 0, 0},
        {"noise within 10 ft counts nothing", {100, 105, 98, 104, 100, 107}, 0, 0},
        {"a staircase climb counts whole", {0, 20, 20, 40, 40, 60, 55, 80, 80}, 80, 0},
        {"a climb then a descent", {0, 30, 60, 90, 70, 40, 10}, 90, 80},
        {"a dip of exactly 10 ft is no turn", {0, 50, 40, 90}, 90, 0},
        {"a bump of exactly 10 ft is no turn", {90, 40, 50, 0}, 0, 90},
        {"a dip of just over 10 ft is a turn", {0, 50, 39.5f, 90}, 100.5, 10.5},
        // 100 95 105 stays within 10 ft; 80 makes the first known move a fall from 105.
        {"the first move is found once the spread passes 10 ft", {100, 95, 105, 80, 120}, 40, 25},
    };
    for (const ClimbRow& row : rows) {
        SCOPED_TRACE(row.name);
        const CTrackStatistics::Climb c =
            CTrackStatistics::ClimbOf(row.elev.data(), static_cast<int>(row.elev.size()));
        EXPECT_EQ(row.ascent, c.fAscent);
        EXPECT_EQ(row.descent, c.fDescent);
    }
}

// A record whose points lie a given number of miles apart along a meridian, with elevations in
// feet (NaN for none), segments starting at the given points.
CTrackRecord RecordAlong(const std::vector<double>& miles, const std::vector<double>& feet,
                         const std::vector<std::size_t>& segmentStarts = {0}) {
    CTrackRecord record;
    for (std::size_t i = 0; i < miles.size(); ++i) {
        if (std::find(segmentStarts.begin(), segmentStarts.end(), i) != segmentStarts.end())
            record.BeginSegment();
        RecordPoint p;
        // Along the equator a degree is 111319.49 m on the ellipsoid: close enough for the
        // distances to be exact to the grade's first decimal.
        p.lat = 0;
        p.lon = miles[i] * kMetresPerMile / 111319.490793;
        p.ele = feet[i] / kFeetPerMetre;
        record.AddPoint(p);
    }
    return record;
}

// Grades come from the recorded elevations, never across a gap between segments, and ascent and
// descent add up segment by segment: a jump across a gap is no climb.
TEST(TrackStatistics, GradesAndClimbsFromTheRecordSegmentBySegment) {
    // Points 1/32 mile (165 ft) apart, so every stretch spans two legs (330 ft); the last leg is
    // a long one that is a stretch by itself.
    const double m = 1.0 / 32;
    const CTrackStatistics stats(
        RecordAlong({0, m, 2 * m, 3 * m, 4 * m, 5 * m, 6 * m, 10 * m},
                    {100, 110, 133, 159.5, 160, 127, 94, 94}),
        8);
    // 49.5 ft over 330 ft from point 1 to 3; 66 ft down over 330 ft from point 4 to 6.
    const GradeSpan& climb = stats.m_steepest.climb;
    ASSERT_TRUE(climb.bFound);
    EXPECT_NEAR(15.0, climb.fGrade, 1e-6);
    EXPECT_EQ(1u, climb.nStart);
    EXPECT_EQ(3u, climb.nEnd);
    const GradeSpan& descent = stats.m_steepest.descent;
    ASSERT_TRUE(descent.bFound);
    EXPECT_NEAR(-20.0, descent.fGrade, 1e-6);
    EXPECT_EQ(4u, descent.nStart);
    EXPECT_EQ(6u, descent.nEnd);
    const auto items = stats.Items(Units::imperial);
    EXPECT_EQ("+15.0 % from 0.03 to 0.09 mi", ItemValue(items, "Steepest climb"));
    EXPECT_EQ("-20.0 % from 0.13 to 0.19 mi", ItemValue(items, "Steepest descent"));
    EXPECT_EQ("-20.0 % from 0.20 to 0.30 km",
              ItemValue(stats.Items(Units::metric), "Steepest descent"));

    // A 1000 ft jump across a gap: no climb and no grade; each segment's own rise counts.
    const CTrackStatistics gap(RecordAlong({0, m, 2 * m, 3 * m, 4 * m, 5 * m},
                                           {100, 120, 140, 1140, 1160, 1180}, {0, 3}),
                               6);
    const auto gapItems = gap.Items(Units::imperial);
    EXPECT_EQ("+12.1 % from 0.00 to 0.06 mi", ItemValue(gapItems, "Steepest climb"));
    EXPECT_EQ(gap.m_climb.fAscent, 2 * CTrackStatistics::ClimbOf(
                                           std::vector<float>{100, 120, 140}.data(), 3)
                                           .fAscent);
    EXPECT_EQ("Points", items.front().label);
    EXPECT_EQ("8", items.front().value);

    // A track shorter than a stretch has no such grade; one without elevations none at all.
    EXPECT_EQ("none", ItemValue(CTrackStatistics(RecordAlong({0, m}, {0, 50}), 2)
                                    .Items(Units::imperial),
                                "Steepest climb"));
    const auto flat =
        CTrackStatistics(RecordAlong({0, m}, {std::nan(""), std::nan("")}), 2).Items(Units::metric);
    EXPECT_EQ("none", ItemValue(flat, "Highest elevation"));
    EXPECT_EQ("position only", ItemValue(flat, "Data"));
}

// The device's own totals stand beside ours, and the points the chart keeps beside the record's.
TEST(TrackStatistics, DeviceTotalsAndChartPointsBesideOurs) {
    CTrackRecord record = RecordAlong({0, 0.5, 1.0}, {100, 300, 200});
    record.m_totals.ascentM = 61;
    record.m_totals.distanceM = 1600;
    record.m_totals.calories = 312.4;
    const auto items = CTrackStatistics(record, 2).Items(Units::imperial);
    EXPECT_EQ("3 (2 in the chart)", ItemValue(items, "Points"));
    EXPECT_EQ("elevation", ItemValue(items, "Data"));
    EXPECT_EQ("1.00 mi (device: 0.99 mi)", ItemValue(items, "Total distance"));
    EXPECT_EQ("200 ft (device: 200 ft)", ItemValue(items, "Total ascent"));
    EXPECT_EQ("312 kcal", ItemValue(items, "Calories (device)"));
}

TEST(TrackReadout, NearestPointByDistance) {
    // Points 2 and 3 share a distance: the track stood still there.
    auto track =
        MakeTrack({0, 0.25f, 0.5f, 0.5f, 1.0f}, {100, 120, 130, 130, 90}, {100, 118, 132, 131, 90});
    const struct {
        double miles;
        int index;
    } rows[] = {
        {-1.0, 0},   {0.0, 0}, {0.125, 0}, {0.1251, 1}, {0.25, 1}, {0.375, 1},
        {0.3751, 2}, {0.5, 2}, {0.75, 2},  {0.7501, 4}, {1.0, 4},  {7.0, 4},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.index, CTrackReadout::NearestPoint(*track, row.miles)) << row.miles;
    EXPECT_EQ(-1, CTrackReadout::NearestPoint(*MakeTrack({}, {}, {}), 0.0));

    // The grade at point 1 runs from point 0 to point 2: 32 ft over half a mile.
    const TrackReadout r = CTrackReadout::At(*track, 0.3, Units::imperial);
    EXPECT_EQ(1, r.nIndex);
    EXPECT_EQ("0.25 mi  120 ft (smoothed 118 ft)  +1.2 %", r.text);
    // 0.25 mile is 0.402336 km and 0.5 mile 0.804672 km: 0.7 km is nearer point 2, whose grade
    // runs from point 1 to point 4, 28 ft down over 0.75 mile.
    const TrackReadout metric = CTrackReadout::At(*track, 0.7, Units::metric);
    EXPECT_EQ(2, metric.nIndex);
    EXPECT_EQ("0.80 km  40 m (smoothed 40 m)  -0.7 %", metric.text);
}

} // namespace
