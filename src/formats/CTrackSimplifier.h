// Chooses which of a long track's points to keep: a shape-preserving simplification in three
// dimensions run down to a point budget. Used by CTrackBuilder for tracks over 10000 points.
#pragma once

#include "CTrackReader.h"

#include <cstdint>
#include <span>
#include <vector>

class CTrackSimplifier {
public:
    // The smallest budget: the track's first and last point and its highest and lowest.
    static constexpr std::size_t kMinKeep = 4;

    // The indices, ascending, of exactly nKeep of the points (all of them when there are no
    // more). Every point needs its elevation. Always kept: the first and last point of the
    // track, its highest and lowest point (first occurrence), and the first and last point of
    // every segment as long as these fit in the budget. The others go by Visvalingam-Whyatt:
    // the point whose triangle with its remaining neighbours has the smallest area goes first,
    // measured in metres east, north and up around the track's middle latitude.
    static std::vector<std::uint32_t> Simplify(const PointSpans& points,
                                               std::span<const std::uint32_t> segmentStarts,
                                               std::size_t nKeep);
};
