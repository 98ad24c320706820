// View, Colour Track By: a colour for every point of the track from its grade, speed, heart rate
// or elevation, as one of kSteps steps of a scale (a diverging one for the grade, centred on 0 and
// saturated at kGradeLimit either way), with the bar that gives the scale its numbers. The chart
// and the 3D view draw the track in these colours.
#pragma once

#include "CTrack.h"
#include "CTrackRecord.h"
#include "Units.h"

#include <cstdint>

enum class ColourBy { none, grade, speed, heartRate, elevation };

// The scale's numbers at its two ends and what they measure.
struct ColourBar {
    bool bDiverging = false;
    char szTitle[32] = {};
    char szLow[24] = {};
    char szHigh[24] = {};
};

class CTrackColours {
public:
    static constexpr int kSteps = 11;
    static constexpr double kGradeLimit = 25.0;
    // A speed or heart rate scale runs between these shares of the values, so that a spike does
    // not take the whole scale.
    static constexpr double kLowShare = 0.02;
    static constexpr double kHighShare = 0.98;

    // The step of every point of track (steps[0..m_nCount)) and the bar; false, with nothing
    // filled, where the track (or its record) has no such data.
    static bool Compute(const CTrack& track, const CTrackRecord* pRecord, ColourBy by, Units units,
                        std::uint8_t* steps, ColourBar& bar);
    // The colour of a step, as COLORREF (0x00BBGGRR).
    static std::uint32_t StepColour(bool bDiverging, int nStep);
};
