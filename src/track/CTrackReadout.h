// What the chart's cursor reads off a track at a distance along it: the nearest point, its
// distance, recorded and smoothed elevation and the grade there, and, from the record behind the
// track, its time of day, the time since the start, the speed and the sensors' values; the line
// of text that says so in the user's units. For the desktop's readout in the chart and 3D view.
#pragma once

#include "CTrackRecord.h"
#include "TimeText.h"
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
    // "2.31 mi  1234 ft (smoothed 1230 ft)  +4.2 %", then what the record has of the point
    // ("  09:15:02  0:37:12  12.3 mph  145 bpm  85 rpm  220 W  18.0 °C"); empty when nothing
    // was found.
    std::string text;
    // The record's part of text alone ("09:15:02  0:37:12  12.3 mph ..."), empty without one.
    std::string channels;
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
    // Without the device's speed, a point's speed is taken over at least this long around it.
    static constexpr double kSpeedSpanS = 10.0;

    // The readout at fDistance, given in the display unit; with the track's record, the point's
    // channels too (times of day in zone).
    static TrackReadout At(const CTrack& track, double fDistance, Units units,
                           const CTrackRecord* pRecord = nullptr, TimeZone zone = TimeZone::local);
    // What the record says of its point r, in words, each part after two blanks.
    static std::string ChannelsText(const CTrackRecord& record, std::size_t r, Units units,
                                    TimeZone zone);
    // The speed at record point r in metres a second: the device's, else the distance over the
    // time across at least kSpeedSpanS of its segment around it; negative when unknown.
    static double SpeedAt(const CTrackRecord& record, std::size_t r);
};
