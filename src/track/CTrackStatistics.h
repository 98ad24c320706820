// The numbers of a track that the track's properties show (vorlan-cli info, the desktop's
// Properties): counts, distance, elevations, total ascent and descent, the steepest grades and
// the bounding box. Computed once from a track in feet and miles; Items() words them in units.
#pragma once

#include "Units.h"

#include <string>
#include <vector>

class CTrack;

// A stretch of track and its grade: the rise over the run in percent, from the point at
// fStartMiles to the one at fEndMiles (indices nStart and nEnd).
struct GradeSpan {
    bool bFound = false;
    double fGrade = 0;
    float fStartMiles = 0;
    float fEndMiles = 0;
    int nStart = 0;
    int nEnd = 0;
};

// One row of the properties: a label and its value in words ("Total ascent", "1234 ft").
struct StatisticsItem {
    std::string label;
    std::string value;
};

class CTrackStatistics {
public:
    // A change of direction counts only once the elevation has gone back by more than this.
    static constexpr double kHysteresisFeet = 10.0;
    // The shortest stretch a grade is measured over.
    static constexpr double kMinGradeRunMiles = 0.05;

    // importNotes are what the import said about the file (points skipped, simplified, cut).
    explicit CTrackStatistics(const CTrack& track, std::vector<std::string> importNotes = {});

    // The rows in display order, in the given units.
    std::vector<StatisticsItem> Items(Units units) const;

    // Total ascent and descent in feet of an elevation series, with the hysteresis: a rise or
    // fall counts from one turning point to the next, and a turn is only taken once the series
    // has come back more than fThreshold from its extreme since the last turn.
    struct Climb {
        double fAscent = 0;
        double fDescent = 0;
    };
    static Climb ClimbOf(const float* pElev, int n, double fThreshold = kHysteresisFeet);
    // The steepest climb (largest grade) and descent (most negative grade) over stretches of at
    // least fMinRunMiles: from each point to the first point at least that far on.
    struct Steepest {
        GradeSpan climb;
        GradeSpan descent;
    };
    static Steepest SteepestOf(const float* pMiles, const float* pElev, int n,
                               double fMinRunMiles = kMinGradeRunMiles);

    int m_nPoints = 0;
    std::vector<std::string> m_importNotes;
    float m_fDistanceMiles = 0;
    // Elevations in feet, from the recorded (raw) series.
    float m_fStartElev = 0;
    float m_fEndElev = 0;
    float m_fLowestElev = 0;
    float m_fHighestElev = 0;
    Climb m_climb;
    Steepest m_steepest;
    // The bounding box in degrees.
    float m_fMinLat = 0;
    float m_fMaxLat = 0;
    float m_fMinLon = 0;
    float m_fMaxLon = 0;
};
