#include "CTrackSimplifier.h"

#include "CGeodesy.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

struct Vec3 {
    double x, y, z;
};

Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Twice the triangle's area, squared: ranks triangles like the area itself, without a root.
double AreaRank(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 u = b - a, v = c - a;
    const double x = u.y * v.z - u.z * v.y;
    const double y = u.z * v.x - u.x * v.z;
    const double z = u.x * v.y - u.y * v.x;
    return x * x + y * y + z * z;
}

// Metres east and north of the track's first point on a plane true at the middle latitude, and
// metres up. Longitudes count from the first point's the short way round only for a track that
// crosses the 180th meridian, so that every other track ranks its triangles bit for bit as it
// always has.
class LocalFrame {
public:
    explicit LocalFrame(const PointSpans& points) : m_points(points) {
        const auto [lo, hi] = std::minmax_element(points.lat.begin(), points.lat.end());
        m_east = kMeanEarthRadiusM * kDegToRad * std::cos((*lo + *hi) / 2 * kDegToRad);
        for (std::size_t i = 1; i < points.size() && !m_bWrap; ++i)
            m_bWrap = std::fabs(points.lon[i] - points.lon[i - 1]) > 180.0;
    }
    Vec3 operator()(std::size_t i) const {
        const double lon = m_bWrap ? CGeodesy::LongitudeDifference(m_points.lon[0], m_points.lon[i])
                                   : m_points.lon[i];
        return {lon * m_east, m_points.lat[i] * m_north, m_points.ele[i]};
    }

private:
    const PointSpans& m_points;
    double m_east = 0;
    double m_north = kMeanEarthRadiusM * kDegToRad;
    bool m_bWrap = false;
};

std::vector<bool> PinnedPoints(const PointSpans& points,
                               std::span<const std::uint32_t> segmentStarts, std::size_t nKeep) {
    const std::size_t n = points.size();
    std::vector<bool> pinned(n, false);
    const auto lo = std::min_element(points.ele.begin(), points.ele.end());
    const auto top = std::max_element(points.ele.begin(), points.ele.end());
    pinned[0] = pinned[n - 1] = true;
    pinned[static_cast<std::size_t>(lo - points.ele.begin())] = true;
    pinned[static_cast<std::size_t>(top - points.ele.begin())] = true;

    std::vector<std::uint32_t> ends;
    for (std::size_t s = 0; s < segmentStarts.size(); ++s) {
        ends.push_back(segmentStarts[s]);
        ends.push_back(s + 1 < segmentStarts.size() ? segmentStarts[s + 1] - 1
                                                    : static_cast<std::uint32_t>(n - 1));
    }
    std::vector<bool> withEnds = pinned;
    for (std::uint32_t i : ends)
        withEnds[i] = true;
    if (static_cast<std::size_t>(std::count(withEnds.begin(), withEnds.end(), true)) <= nKeep)
        return withEnds;
    return pinned;
}

// The points' area ranks in file order under a tree of minima, kFanOut to a node: the removable
// point with the smallest rank, the earliest of equals, is at the root. A removed point's
// neighbours lie next to it in the file, so a removal rescans the block of ranks that holds all
// three and the nodes above it, reading memory in order, where a heap would chase entries from
// level to level: several times faster on big files, and the same points come out.
class RankTree {
public:
    explicit RankTree(std::size_t n) : m_rank(Padded(n), kGone) {}

    // Ranks are set before Order() builds the tree; after that, changes to ranks are followed by
    // Refresh() with every point changed.
    void Change(std::uint32_t i, double rank) { m_rank[i] = rank < kLargest ? rank : kLargest; }
    void Remove(std::uint32_t i) { m_rank[i] = kGone; }
    void Order() {
        for (std::size_t nBelow = m_rank.size(); m_levels.empty() || nBelow > kFanOut;) {
            const std::size_t nNodes = nBelow / kFanOut;
            m_levels.push_back({std::vector<double>(Padded(nNodes), kGone),
                                std::vector<std::uint32_t>(Padded(nNodes), 0)});
            for (std::size_t node = 0; node < nNodes; ++node)
                Rescan(m_levels.size() - 1, node);
            nBelow = m_levels.back().min.size();
        }
    }
    // Brings the tree up to date after changes to ranks in the blocks of a, b and c, in order.
    // The point removed was the least of all, so every node above it changes: the whole path is
    // worked out again without asking.
    void Refresh(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        std::size_t nodes[3] = {a / kFanOut, b / kFanOut, c / kFanOut};
        for (std::size_t l = 0; l < m_levels.size(); ++l) {
            Rescan(l, nodes[0]);
            if (nodes[1] != nodes[0])
                Rescan(l, nodes[1]);
            if (nodes[2] != nodes[1])
                Rescan(l, nodes[2]);
            for (std::size_t& node : nodes)
                node /= kFanOut;
        }
    }

    bool Empty() const { return Root(m_levels.back().min) == kGone; }
    std::uint32_t Min() const {
        const Level& top = m_levels.back();
        return top.first[FirstLeast(top.min.data())];
    }

private:
    static constexpr std::size_t kFanOut = 16;
    // A removed or pinned point; ranks themselves stay below it.
    static constexpr double kGone = std::numeric_limits<double>::infinity();
    static constexpr double kLargest = std::numeric_limits<double>::max();

    struct Level {
        std::vector<double> min;          // the least rank under each node
        std::vector<std::uint32_t> first; // the earliest point that has it
    };

    static std::size_t Padded(std::size_t n) {
        return std::max<std::size_t>((n + kFanOut - 1) / kFanOut, 1) * kFanOut;
    }
    static double Root(const std::vector<double>& top) { return top[FirstLeast(top.data())]; }

    // Works out a node's least rank again from the level below.
    void Rescan(std::size_t l, std::size_t node) {
        const double* below = l == 0 ? m_rank.data() : m_levels[l - 1].min.data();
        const std::size_t at = node * kFanOut + FirstLeast(below + node * kFanOut);
        Level& level = m_levels[l];
        level.min[node] = below[at];
        level.first[node] = l == 0 ? static_cast<std::uint32_t>(at) : m_levels[l - 1].first[at];
    }
    // Where the least of kFanOut values first occurs.
    static std::size_t FirstLeast(const double* values) {
#if defined(__SSE2__)
        __m128d a = _mm_loadu_pd(values), b = _mm_loadu_pd(values + 2);
        for (std::size_t k = 4; k < kFanOut; k += 4) {
            a = _mm_min_pd(a, _mm_loadu_pd(values + k));
            b = _mm_min_pd(b, _mm_loadu_pd(values + k + 2));
        }
        a = _mm_min_pd(a, b);
        const __m128d least = _mm_min_pd(a, _mm_unpackhi_pd(a, a));
        const __m128d all = _mm_unpacklo_pd(least, least);
        // Every place that holds it, as bits, so that finding the first takes no branch.
        unsigned places = 0;
        for (std::size_t k = 0; k < kFanOut; k += 2)
            places |=
                static_cast<unsigned>(_mm_movemask_pd(_mm_cmpeq_pd(_mm_loadu_pd(values + k), all)))
                << k;
        return static_cast<std::size_t>(std::countr_zero(places));
#else
        return static_cast<std::size_t>(std::min_element(values, values + kFanOut) - values);
#endif
    }

    std::vector<double> m_rank;
    std::vector<Level> m_levels;
};

// The remaining points as a doubly linked list, the removable ones ranked by their triangle's
// area. A point's place and links share a cache line: the points are visited in the order of
// their areas, not the file's, so each visit is a wait for memory.
class Eliminator {
public:
    Eliminator(const PointSpans& points, const std::vector<bool>& pinned)
        : m_nodes(points.size()), m_pinned(pinned), m_ranks(points.size()) {
        const LocalFrame frame(points);
        const std::size_t n = points.size();
        for (std::size_t i = 0; i < n; ++i)
            m_nodes[i] = {frame(i), static_cast<std::uint32_t>(i) - 1,
                          static_cast<std::uint32_t>(i) + 1};
        for (std::uint32_t i = 0; i < n; ++i)
            if (!m_pinned[i])
                m_ranks.Change(i, AreaRankOf(i));
        m_ranks.Order();
    }

    void RemoveUntil(std::size_t nKeep) {
        for (std::size_t nLeft = m_nodes.size(); nLeft > nKeep && !m_ranks.Empty(); --nLeft) {
            const std::uint32_t i = m_ranks.Min();
            const std::uint32_t p = m_nodes[i].prev, q = m_nodes[i].next;
            m_nodes[p].next = q;
            m_nodes[q].prev = p;
            m_ranks.Remove(i);
            Rank(p);
            Rank(q);
            m_ranks.Refresh(p, i, q);
        }
    }

    std::vector<std::uint32_t> Kept() const {
        std::vector<std::uint32_t> kept;
        for (std::uint32_t i = 0; i < m_nodes.size(); i = m_nodes[i].next)
            kept.push_back(i);
        return kept;
    }

private:
    struct Node {
        Vec3 at;
        std::uint32_t prev, next;
    };

    double AreaRankOf(std::uint32_t i) const {
        const Node& node = m_nodes[i];
        return AreaRank(m_nodes[node.prev].at, node.at, m_nodes[node.next].at);
    }
    void Rank(std::uint32_t i) {
        if (!m_pinned[i])
            m_ranks.Change(i, AreaRankOf(i));
    }

    std::vector<Node> m_nodes;
    const std::vector<bool>& m_pinned;
    RankTree m_ranks;
};

} // namespace

std::vector<std::uint32_t> CTrackSimplifier::Simplify(const PointSpans& points,
                                                      std::span<const std::uint32_t> segmentStarts,
                                                      std::size_t nKeep) {
    const std::size_t n = points.size();
    nKeep = std::max(nKeep, kMinKeep);
    if (n <= nKeep) {
        std::vector<std::uint32_t> all(n);
        for (std::size_t i = 0; i < n; ++i)
            all[i] = static_cast<std::uint32_t>(i);
        return all;
    }
    const std::vector<bool> pinned = PinnedPoints(points, segmentStarts, nKeep);
    Eliminator eliminator(points, pinned);
    eliminator.RemoveUntil(nKeep);
    return eliminator.Kept();
}
