// Colour Track By: grades on the diverging scale, centred on the flat and saturated at 25 %;
// elevations across the sequential one.
#include "CTrack.h"
#include "CTrackColours.h"
#include "UnitsAndEarth.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

TEST(TrackColours, GradeStepsCentreOnTheFlatAndSaturateAtTwentyFivePercent) {
    // A mile flat, a mile up at 30 %, a mile down at 10 %, a point every 0.01 mile.
    const auto track = std::make_unique<CTrack>();
    track->m_nCount = 301;
    double feet = 1000;
    for (int i = 0; i <= 300; ++i) {
        const double grade = i <= 100 ? 0.0 : i <= 200 ? 0.30 : -0.10;
        if (i > 0)
            feet += grade * 0.01 * kFeetPerMile;
        track->m_fDist[i] = static_cast<float>(i * 0.01);
        track->m_fElev[i] = track->m_fSmooth[i] = static_cast<float>(feet);
    }
    std::vector<std::uint8_t> steps(CTrack::kMaxPoints);
    ColourBar bar;
    ASSERT_TRUE(CTrackColours::Compute(*track, nullptr, ColourBy::grade, Units::metric,
                                       steps.data(), bar));
    EXPECT_TRUE(bar.bDiverging);
    EXPECT_EQ(5, steps[50]);
    EXPECT_EQ(10, steps[150]);
    EXPECT_EQ(3, steps[250]); // -10 % is 15/50 of the way up the scale: step 3
    EXPECT_STREQ("-25 %", bar.szLow);

    ASSERT_TRUE(CTrackColours::Compute(*track, nullptr, ColourBy::elevation, Units::imperial,
                                       steps.data(), bar));
    EXPECT_FALSE(bar.bDiverging);
    EXPECT_EQ(0, steps[0]);
    EXPECT_EQ(CTrackColours::kSteps - 1, steps[200]);
    // Speed and heart rate need the record.
    EXPECT_FALSE(CTrackColours::Compute(*track, nullptr, ColourBy::speed, Units::imperial,
                                        steps.data(), bar));
    EXPECT_EQ(0x001E1EDCu, CTrackColours::StepColour(true, 10)); // red: 220, 30, 30
}
