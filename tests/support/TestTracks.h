// Tracks for the chart and statistics tests, filled directly so that they are tested apart from
// the readers.
#pragma once

#include "CTrack.h"

#include <memory>
#include <vector>

// A track with the given cumulative distances, raw and smoothed elevations; the other arrays are
// zero. The object is large, so it lives on the heap.
inline std::unique_ptr<CTrack> MakeTrack(const std::vector<float>& dist,
                                         const std::vector<float>& elev,
                                         const std::vector<float>& smooth) {
    auto track = std::make_unique<CTrack>();
    track->m_nCount = static_cast<short>(dist.size());
    for (std::size_t i = 0; i < dist.size(); ++i) {
        track->m_fDist[i] = dist[i];
        track->m_fElev[i] = elev[i];
        track->m_fSmooth[i] = smooth[i];
    }
    return track;
}

// Six points over 2.2 miles between 500 and 905 ft: the sample of the drawing tests.
inline std::unique_ptr<CTrack> SampleTrack() {
    return MakeTrack({0.0f, 0.4f, 0.9f, 1.3f, 1.8f, 2.2f},
                     {500.0f, 620.0f, 810.0f, 760.0f, 905.0f, 870.0f},
                     {520.0f, 630.0f, 780.0f, 790.0f, 880.0f, 875.0f});
}
