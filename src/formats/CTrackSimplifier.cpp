#include "CTrackSimplifier.h"

#include "CGeodesy.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
// metres up. Worked out for each point as it is needed rather than stored: a copy of every point
// would be a third of the memory a big file's import takes. Longitudes count from the first
// point's the short way round only for a track that crosses the 180th meridian, so that every
// other track ranks its triangles bit for bit as it always has.
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

// A min-heap of the points' area ranks that knows where each point sits, so that a neighbour's
// new rank moves its entry instead of adding one: the heap never outgrows the track, which
// keeps it in cache on big files. Each entry has four children, so that a sift walks half the
// levels of a binary heap and looks at children that lie side by side in memory; the order in
// which points come out is the same for any heap, since ranks and ties are ordered strictly.
class RankHeap {
public:
    explicit RankHeap(std::size_t n) : m_pos(n, kAbsent) { m_heap.reserve(n); }

    bool Empty() const { return m_heap.empty(); }

    // Puts point i in with its first rank; Order() makes a heap of what was put in. Ranks and
    // ties are ordered strictly, so the points come out in the same order whichever way the
    // heap was built: all at once is several times faster than one at a time.
    void Put(std::uint32_t i, double rank) {
        m_pos[i] = static_cast<std::uint32_t>(m_heap.size());
        m_heap.push_back({rank, i});
    }
    void Order() {
        if (m_heap.size() < 2)
            return;
        for (std::size_t at = (m_heap.size() - 2) / kArity + 1; at-- > 0;)
            SiftDown(at);
    }

    std::uint32_t PopMin() {
        const std::uint32_t top = m_heap.front().i;
        Place(0, m_heap.back());
        m_heap.pop_back();
        m_pos[top] = kAbsent;
        if (!m_heap.empty())
            SiftDown(0);
        return top;
    }

    void Set(std::uint32_t i, double rank) {
        if (m_pos[i] == kAbsent) {
            m_heap.push_back({rank, i});
            m_pos[i] = static_cast<std::uint32_t>(m_heap.size() - 1);
            SiftUp(m_pos[i]);
            return;
        }
        const std::size_t at = m_pos[i];
        const bool bUp = Less({rank, i}, m_heap[at]);
        m_heap[at].rank = rank;
        bUp ? SiftUp(at) : SiftDown(at);
    }

private:
    static constexpr std::uint32_t kAbsent = ~std::uint32_t{0};
    static constexpr std::size_t kArity = 4;
    // Twelve bytes instead of sixteen: the heap is the largest of the simplifier's arrays.
#pragma pack(push, 4)
    struct Entry {
        double rank;
        std::uint32_t i;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 12);
    // Ties go to the earlier point, so the result never depends on the heap's history.
    static bool Less(const Entry& a, const Entry& b) {
        return a.rank < b.rank || (a.rank == b.rank && a.i < b.i);
    }
    void Place(std::size_t at, const Entry& e) {
        m_heap[at] = e;
        m_pos[e.i] = static_cast<std::uint32_t>(at);
    }
    void SiftUp(std::size_t at) {
        const Entry e = m_heap[at];
        while (at > 0 && Less(e, m_heap[(at - 1) / kArity])) {
            Place(at, m_heap[(at - 1) / kArity]);
            at = (at - 1) / kArity;
        }
        Place(at, e);
    }
    void SiftDown(std::size_t at) {
        const Entry e = m_heap[at];
        const std::size_t n = m_heap.size();
        for (;;) {
            const std::size_t first = kArity * at + 1;
            if (first >= n)
                break;
            std::size_t least = first;
            for (std::size_t child = first + 1; child < std::min(first + kArity, n); ++child)
                if (Less(m_heap[child], m_heap[least]))
                    least = child;
            if (!Less(m_heap[least], e))
                break;
            Place(at, m_heap[least]);
            at = least;
        }
        Place(at, e);
    }

    std::vector<Entry> m_heap;
    std::vector<std::uint32_t> m_pos;
};

// The remaining points as a doubly linked list, the removable ones in a heap by their
// triangle's area.
class Eliminator {
public:
    Eliminator(const PointSpans& points, const std::vector<bool>& pinned)
        : m_points(points), m_frame(points), m_prev(points.size()), m_next(points.size()),
          m_pinned(pinned), m_heap(points.size()) {
        const std::size_t n = points.size();
        for (std::size_t i = 0; i < n; ++i) {
            m_prev[i] = static_cast<std::uint32_t>(i) - 1;
            m_next[i] = static_cast<std::uint32_t>(i) + 1;
        }
        for (std::uint32_t i = 0; i < n; ++i)
            if (!m_pinned[i])
                m_heap.Put(i, AreaRankOf(i));
        m_heap.Order();
    }

    void RemoveUntil(std::size_t nKeep) {
        for (std::size_t nLeft = m_points.size(); nLeft > nKeep && !m_heap.Empty(); --nLeft) {
            const std::uint32_t i = m_heap.PopMin();
            const std::uint32_t p = m_prev[i], q = m_next[i];
            m_next[p] = q;
            m_prev[q] = p;
            Rank(p);
            Rank(q);
        }
    }

    std::vector<std::uint32_t> Kept() const {
        std::vector<std::uint32_t> kept;
        for (std::uint32_t i = 0; i < m_points.size(); i = m_next[i])
            kept.push_back(i);
        return kept;
    }

private:
    double AreaRankOf(std::uint32_t i) const {
        return AreaRank(m_frame(m_prev[i]), m_frame(i), m_frame(m_next[i]));
    }
    void Rank(std::uint32_t i) {
        if (!m_pinned[i])
            m_heap.Set(i, AreaRankOf(i));
    }

    const PointSpans& m_points;
    LocalFrame m_frame;
    std::vector<std::uint32_t> m_prev;
    std::vector<std::uint32_t> m_next;
    const std::vector<bool>& m_pinned;
    RankHeap m_heap;
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
