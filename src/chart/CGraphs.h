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
};
