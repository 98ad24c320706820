// The numbers of a track that the track's properties show (vorlan-cli info, the desktop's
// Properties), computed from the record of everything its file holds: counts, the channels it
// has, distance, elevations, total ascent and descent, the steepest grades, the bounding box,
// the numbers over time (CTimeStatistics), the laps and the device's own totals beside. Items()
// and LapTable() word them in units.
#pragma once

#include "CTimeStatistics.h"
#include "CTrackRecord.h"
#include "TimeText.h"
#include "Units.h"

#include <string>
#include <vector>

// A stretch of track and its grade: the rise over the run in percent, from the point at
// fStartMiles to the one at fEndMiles (indices nStart and nEnd of the record).
struct GradeSpan {
    bool bFound = false;
    double fGrade = 0;
    double fStartMiles = 0;
    double fEndMiles = 0;
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
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

    // nChartPoints: the points of the designed track the charts draw (fewer than the record's
    // when the track was simplified). importNotes are what the import said about the file.
    CTrackStatistics(const CTrackRecord& record, int nChartPoints,
                     std::vector<std::string> importNotes = {});

    // What the record has beyond the position: "elevation", "time", "heart rate", ... (with
    // bKeys, the sensors as scripts spell them: "heart_rate").
    static std::vector<std::string> Channels(const CTrackRecord& record, bool bKeys = false);
    // The rows in display order, in the given units, times of day in the given zone.
    std::vector<StatisticsItem> Items(Units units, TimeZone zone = TimeZone::local) const;
    // The laps as a table in words under LapColumns(), a row a lap ("1", "1.00 mi", "0:06:40",
    // "120 ft", "80 ft", "9.0 mph", "142 bpm"), "" where the record lacks the data.
    static std::vector<std::string> LapColumns();
    std::vector<std::vector<std::string>> LapTable(Units units) const;

    // Total ascent and descent in feet of an elevation series, with the hysteresis: a rise or
    // fall counts from one turning point to the next, and a turn is only taken once the series
    // has come back more than fThreshold from its extreme since the last turn.
    struct Climb {
        double fAscent = 0;
        double fDescent = 0;
    };
    static Climb ClimbOf(const float* pElev, int n, double fThreshold = kHysteresisFeet);
    // The climb of the record's points from begin to end, segment by segment: each segment's
    // elevations smoothed as the chart smooths them, then ClimbOf, so that a jump across a gap
    // in the recording is no climb.
    static Climb ClimbOver(const CTrackRecord& record, std::size_t begin, std::size_t end);
    // The steepest climb (largest grade) and descent (most negative grade) over stretches of at
    // least fMinRunMiles: from each point to the first point at least that far on.
    struct Steepest {
        GradeSpan climb;
        GradeSpan descent;
    };
    static Steepest SteepestOf(const double* pMiles, const double* pFeet, std::size_t n,
                               double fMinRunMiles = kMinGradeRunMiles);

    std::size_t m_nPoints = 0;
    int m_nChartPoints = 0;
    std::vector<std::string> m_importNotes;
    // The channels the record holds beyond the position ("elevation", "time", "heart rate").
    std::vector<std::string> m_channels;
    double m_fDistanceMiles = 0;
    // Elevations in feet, from the recorded (raw) series; none when no point has one.
    bool m_bElevation = false;
    double m_fStartElev = 0;
    double m_fEndElev = 0;
    double m_fLowestElev = 0;
    double m_fHighestElev = 0;
    Climb m_climb;
    Steepest m_steepest;
    // The bounding box in degrees. West above east: the box spans the 180th meridian.
    double m_fMinLat = 0;
    double m_fMaxLat = 0;
    double m_fWestLon = 0;
    double m_fEastLon = 0;
    DeviceTotals m_device;
    // The ground's ascent and descent in feet under the track, from elevation tiles, where the
    // caller has them: shown beside the track's own.
    std::optional<Climb> m_terrainClimb;
    CTimeStatistics m_time;
    std::vector<StretchFigures> m_laps;

private:
    void AddTimeItems(std::vector<StatisticsItem>& items, Units units, TimeZone zone) const;
    void AddSensorItems(std::vector<StatisticsItem>& items, Units units) const;
    void MeasureElevations(const CTrackRecord& record, const std::vector<double>& metres);
    void MeasureBox(const CTrackRecord& record);
};
