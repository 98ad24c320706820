// View, Graphs: the graphs that stack under the elevation chart on its x axis, each of one
// channel of the track's points (speed, heart rate, cadence, power, temperature, grade), filled
// from the record behind the track in the display units.
#pragma once

#include "CTrack.h"
#include "CTrackRecord.h"
#include "Units.h"

enum class GraphKind { speed, heartRate, cadence, power, temperature, grade };
constexpr int kGraphKinds = 6;

class CGraphs {
public:
    // The menu's word for a graph ("Heart Rate") and its title over the graph, with the unit
    // ("Heart rate, bpm").
    static const char* MenuName(GraphKind kind);
    static void Title(GraphKind kind, Units units, char* pszTitle, std::size_t size);
    // Whether the track and its record have what the graph shows (every track has a grade).
    static bool HasData(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord);
    // The graph's value at every track point (values[0..m_nCount)); false, with nothing
    // filled, where the record has no data for it. A point without a value takes the one before.
    static bool Values(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord,
                       Units units, float* values);
    // Whether the graph is of a channel of the record, which it can show at every record point
    // (the grade is of the track's smoothed points).
    static bool OfRecord(GraphKind kind) { return kind != GraphKind::grade; }
    // The same at every record point from nFirst to nLast (values[0..nLast - nFirst]), for a
    // graph OfRecord; false, with nothing filled, where the record has no data for it.
    static bool RecordValues(GraphKind kind, const CTrackRecord& record, Units units,
                             std::size_t nFirst, std::size_t nLast, float* values);

private:
    // Calls use(valueOf), valueOf(r) being the graph's value at record point r in the display
    // units or NaN, for a graph OfRecord.
    template <class Use>
    static bool WithValueOf(GraphKind kind, const CTrackRecord& record, Units units, Use use);
};
