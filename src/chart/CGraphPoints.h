// The stacked graphs' lines at the record's full resolution: the x of every record point of the
// track on the chart's x axis, and each graph's values there. A record of 100000 points draws
// its graphs from all of them, reduced to what each pixel column shows (DrawColumnPolyline).
#pragma once

#include "CGraphs.h"
#include "CTimeAxis.h"

#include <vector>

class CGraphPoints {
public:
    static constexpr int kMaxGraphs = kGraphKinds;

    // Forgets the x of the last track; the next Fill measures it again.
    void Clear() { m_x.clear(); }
    // Graph slot g of kind at every record point between the track's first point and its last.
    // pTrackX: the chart's x of the track's points. Over distance, the record points between two
    // track points are placed by the record's distance between them; over time (bTimeAxis) at
    // their own times. False where the record does not stand behind the track's points (their
    // record indices out of order or beyond it) or has no data for the graph.
    bool Fill(int g, GraphKind kind, const CTrack& track, const CTrackRecord& record,
              const float* pTrackX, XAxis axis, bool bTimeAxis, Units units);

    int Count() const { return static_cast<int>(m_x.size()); }
    const float* X() const { return m_x.data(); }
    const float* Y(int g) const { return m_y[g].data(); }

private:
    bool FillX(const CTrack& track, const CTrackRecord& record, const float* pTrackX, XAxis axis,
               bool bTimeAxis);
    void FillDistanceX(const CTrack& track, const CTrackRecord& record, const float* pTrackX);

    std::vector<float> m_x;
    std::vector<float> m_y[kMaxGraphs];
};
