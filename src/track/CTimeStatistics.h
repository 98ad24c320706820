// The numbers of a track over time, from its record's times and sensors: when it started and
// ended, elapsed and moving time, speeds, pace, the climbing rate, and heart rate, cadence,
// power and temperature; and the same for each lap. Each is there only where the record has the
// data for it. CTrackStatistics words them beside the track's distances and elevations.
#pragma once

#include "CTrackRecord.h"

#include <optional>
#include <vector>

// The lowest, highest and mean of a channel's values.
struct ChannelSummary {
    double fMin = 0;
    double fMax = 0;
    double fMean = 0;
};

// What a stretch of the record adds up to: a lap (from its first point to the next lap's first
// point, or its own last point where no lap follows at once) or a stretch the user selected.
struct StretchFigures {
    double fDistanceM = 0;
    std::optional<double> elapsedS;
    std::optional<double> movingS;
    std::optional<double> ascentFt;
    std::optional<double> descentFt;
    std::optional<double> gradePercent; // the rise from its first to its last elevation
    std::optional<double> speedMps;     // the distance over the elapsed time
    std::optional<double> heartRateBpm;
};

class CTimeStatistics {
public:
    // A stretch between two points counts as moving at this average speed or above (1.8 km/h).
    static constexpr double kMovingMps = 0.5;
    // Without the device's speed, the fastest speed is measured over at least this long, and
    // must hold over two such stretches one after the other, so that one bad fix cannot make it.
    static constexpr double kSpeedWindowS = 10.0;
    // Pace (time a distance) is given for tracks moving slower than this on average: 20 km/h.
    static constexpr double kPaceBelowMps = 20.0 / 3.6;

    CTimeStatistics() = default;
    // metres: the record's distance from its first point to each point, adding nothing across
    // the gap between two segments (CGeodesy::CumulativeMetres). fAscentFt: the track's total
    // ascent, for the climbing rate.
    CTimeStatistics(const CTrackRecord& record, const std::vector<double>& metres,
                    double fAscentFt);

    // The figures of the record's points first to last (ascending, within the record).
    static StretchFigures Stretch(const CTrackRecord& record, const std::vector<double>& metres,
                                  std::size_t first, std::size_t last);
    // The figures of every lap of the record, in order.
    static std::vector<StretchFigures> Laps(const CTrackRecord& record,
                                            const std::vector<double>& metres);

    bool HasTime() const { return m_start != kNoTime; }
    double ElapsedS() const;
    // The distance over the elapsed time, and the distance moved over the moving time.
    std::optional<double> AverageSpeed() const;
    std::optional<double> MovingSpeed() const;
    // Whether the track is slow enough to be read as a pace.
    bool ShowsPace() const;
    // Feet an hour while moving uphill.
    std::optional<double> ClimbRateFtPerHour() const;

    TimeMs m_start = kNoTime;
    TimeMs m_end = kNoTime;
    double m_fDistanceM = 0;
    double m_fMovingS = 0;
    double m_fMovingM = 0;
    double m_fUphillS = 0;
    double m_fAscentFt = 0;
    std::optional<double> m_maxSpeedMps;
    bool m_bMaxSpeedFromDevice = false;
    std::optional<ChannelSummary> m_heartRate;
    std::optional<ChannelSummary> m_cadence; // the mean leaves out the zeros of coasting
    std::optional<ChannelSummary> m_power;
    std::optional<ChannelSummary> m_temperature;

private:
    // The moving time, the distance moved and the time moving uphill between points begin and
    // end (exclusive), added to the three.
    static void MeasureMoving(const CTrackRecord& record, const std::vector<double>& metres,
                              std::size_t begin, std::size_t end, double& movingS, double& movingM,
                              double& uphillS);
    void MeasureMaxSpeed(const CTrackRecord& record);
};
