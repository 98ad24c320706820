// The track's numbers: total ascent and descent with the 10 ft hysteresis, the steepest grades
// over at least 0.05 mile, and the cursor readout's choice of the nearest point.
#include "CTrack.h"
#include "CTrackReadout.h"
#include "CTrackStatistics.h"
#include "TestTracks.h"

#include <gtest/gtest.h>

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

TEST(TrackStatistics, SteepestGradesOverAtLeastFiveHundredthsOfAMile) {
    // Points 1/32 mile (165 ft) apart, so every stretch spans two legs (330 ft); the last leg is
    // a long one that is a stretch by itself. The raw series has a spike that the smoothed one,
    // which the grades use, does not.
    const float m = 1.0f / 32;
    auto track = MakeTrack({0, m, 2 * m, 3 * m, 4 * m, 5 * m, 6 * m, 10 * m},
                           {100, 110, 500, 160, 160, 127, 94, 94},
                           {100, 110, 133, 159.5f, 160, 127, 94, 94});
    const CTrackStatistics stats(*track);
    // 49.5 ft over 330 ft from point 1 to 3; 66 ft down over 330 ft from point 4 to 6.
    const GradeSpan& climb = stats.m_steepest.climb;
    ASSERT_TRUE(climb.bFound);
    EXPECT_DOUBLE_EQ(15.0, climb.fGrade);
    EXPECT_EQ(1, climb.nStart);
    EXPECT_EQ(3, climb.nEnd);
    EXPECT_EQ(m, climb.fStartMiles);
    EXPECT_EQ(3 * m, climb.fEndMiles);
    const GradeSpan& descent = stats.m_steepest.descent;
    ASSERT_TRUE(descent.bFound);
    EXPECT_DOUBLE_EQ(-20.0, descent.fGrade);
    EXPECT_EQ(4, descent.nStart);
    EXPECT_EQ(6, descent.nEnd);

    const auto items = stats.Items(Units::imperial);
    EXPECT_EQ("+15.0 % from 0.03 to 0.09 mi", ItemValue(items, "Steepest climb"));
    EXPECT_EQ("-20.0 % from 0.12 to 0.19 mi", ItemValue(items, "Steepest descent"));
    EXPECT_EQ("-20.0 % from 0.20 to 0.30 km",
              ItemValue(stats.Items(Units::metric), "Steepest descent"));

    // A track shorter than a stretch, or one that only climbs, has no such grade.
    auto shortTrack = MakeTrack({0, m}, {0, 50}, {0, 50});
    EXPECT_EQ("none",
              ItemValue(CTrackStatistics(*shortTrack).Items(Units::imperial), "Steepest climb"));
    auto climbing = MakeTrack({0, 2 * m}, {0, 33}, {0, 33});
    const auto climbingItems = CTrackStatistics(*climbing).Items(Units::imperial);
    EXPECT_EQ("+10.0 % from 0.00 to 0.06 mi", ItemValue(climbingItems, "Steepest climb"));
    EXPECT_EQ("none", ItemValue(climbingItems, "Steepest descent"));
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
