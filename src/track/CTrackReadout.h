// What the chart's cursor reads off a track at a distance along it: the nearest point, its
// distance, recorded and smoothed elevation and the grade there, and the line of text that says
// so in the user's units. For the desktop's readout of the elevation chart.
#pragma once

#include "Units.h"

#include <string>

class CTrack;

struct TrackReadout {
    bool bFound = false;  // false for a track without points
    int nIndex = 0;       // the nearest point
    double fDistance = 0; // in the display unit
    double fElev = 0;     // recorded, in the display unit
    double fSmooth = 0;   // smoothed, in the display unit
    double fGrade = 0;    // percent
    // "2.31 mi  1234 ft (smoothed 1230 ft)  +4.2 %"; empty when nothing was found.
    std::string text;
};

class CTrackReadout {
public:
    // The grade at a point is taken over this much track centred on it (less at the ends).
    static constexpr double kGradeRunMiles = 0.05;

    // The index of the point whose cumulative distance is nearest to fMiles; of equally near
    // points the first. -1 for a track without points. A binary search: O(log n).
    static int NearestPoint(const CTrack& track, double fMiles);
    // The grade in percent of the smoothed series around point i, over kGradeRunMiles centred on
    // it; 0 where the track has no length there.
    static double GradeAt(const CTrack& track, int i);
    // The readout at fDistance, given in the display unit.
    static TrackReadout At(const CTrack& track, double fDistance, Units units);
};
