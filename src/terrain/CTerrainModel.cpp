#include "CTerrainModel.h"

#include "CGroundProfile.h"
#include "TileSquare.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace {
constexpr double kMetresPerDegree = kMeanEarthRadiusM * std::numbers::pi / 180;
// Keeps a box at a pole from asking for an endless margin of longitude.
constexpr double kMinCosLat = 0.01;

bool Within(double value, double lo, double hi) {
    return value >= lo && value <= hi; // false for NaN
}

void CheckOptions(const CTerrainModel::Options& options) {
    if (!Within(options.exaggeration, CTerrainModel::kMinExaggeration,
                CTerrainModel::kMaxExaggeration) ||
        !Within(options.baseMm, CTerrainModel::kMinBaseMm, CTerrainModel::kMaxBaseMm) ||
        !(options.sizeMm > 0) || !std::isfinite(options.sizeMm))
        throw std::invalid_argument("CTerrainModel: an option is outside its limits");
}

// The lowest and highest of the values added.
struct Span {
    double fMin = std::numeric_limits<double>::infinity();
    double fMax = -std::numeric_limits<double>::infinity();
    void Add(double v) { fMin = std::min(fMin, v), fMax = std::max(fMax, v); }
    double Width() const { return fMax - fMin; }
};
} // namespace

CTerrainModel::CTerrainModel(CElevationTiles& tiles, std::span<const double> lat,
                             std::span<const double> lon,
                             std::span<const std::uint32_t> segmentStarts, const Options& options)
    : m_options(options) {
    CheckOptions(options);
    if (lat.size() != lon.size())
        throw std::invalid_argument("CTerrainModel: latitudes and longitudes differ in number");
    if (!FindBox(lat, lon)) {
        m_message = "The track has no positions.";
        return;
    }
    LayOutGrid();
    std::vector<float> heights(static_cast<std::size_t>(m_nRows) * m_nCols);
    tiles.GridHeights(m_box, m_nRows, m_nCols, heights);
    if (!FillVoids(heights, tiles, lat, lon))
        return;
    BuildTop(heights, MarkRidge(lat, lon, segmentStarts));
    BuildWallsAndBottom();
}

// A track across the 180th meridian gets a box from its west, beyond 180 to its east: the
// narrower of the two ways to take the longitudes. The margin is the same on all sides, so that
// a track straight north still stands on ground a tenth of its length wide.
bool CTerrainModel::FindBox(std::span<const double> lat, std::span<const double> lon) {
    Span lats, lons, shifted;
    for (std::size_t i = 0; i < lat.size(); ++i) {
        if (!Within(lat[i], -90, 90) || !std::isfinite(lon[i]))
            continue;
        const double l = NormalLongitude(lon[i]);
        lats.Add(lat[i]);
        lons.Add(l);
        shifted.Add(l < 0 ? l + 360 : l);
    }
    if (lats.Width() < 0)
        return false;
    if (shifted.Width() < lons.Width())
        lons = shifted;
    m_fCosLat =
        std::max(kMinCosLat, std::cos((lats.fMin + lats.fMax) / 2 * std::numbers::pi / 180));
    const double longerM = std::max(lats.Width(), lons.Width() * m_fCosLat) * kMetresPerDegree;
    const double marginM = std::max(kMarginShare * longerM, kMinMarginM);
    const double latMargin = marginM / kMetresPerDegree;
    const double lonMargin = marginM / (kMetresPerDegree * m_fCosLat);
    m_box.fSouth = std::max(-90.0, lats.fMin - latMargin);
    m_box.fNorth = std::min(90.0, lats.fMax + latMargin);
    m_box.fWest = lons.fMin - lonMargin;
    m_box.fEast = std::min(lons.fMax + lonMargin, m_box.fWest + 360);
    return true;
}

// Square cells along the longer side; the shorter side takes the nearest whole number of them.
// A 30 x 12 km box: 200 x 80 cells of 150 m, 150 x 60 mm.
void CTerrainModel::LayOutGrid() {
    const double widthM = (m_box.fEast - m_box.fWest) * kMetresPerDegree * m_fCosLat;
    const double depthM = (m_box.fNorth - m_box.fSouth) * kMetresPerDegree;
    const double longM = std::max(widthM, depthM);
    const int nCells = static_cast<int>(
        std::clamp(std::ceil(longM / kMinCellM), 1.0 * kMinCells, 1.0 * kMaxCells));
    const auto cellsOf = [&](double sideM) {
        return std::max(1, static_cast<int>(std::lround(sideM / longM * nCells)));
    };
    m_nCols = cellsOf(widthM) + 1;
    m_nRows = cellsOf(depthM) + 1;
    m_fMmPerMetre = m_options.sizeMm / longM;
    m_fWidthMm = widthM * m_fMmPerMetre;
    m_fDepthMm = depthM * m_fMmPerMetre;
}

// Ground without data is made flat at the lowest height; with none at all there is no model.
bool CTerrainModel::FillVoids(std::vector<float>& heights, CElevationTiles& tiles,
                              std::span<const double> lat, std::span<const double> lon) {
    float lowest = std::numeric_limits<float>::quiet_NaN();
    for (const float h : heights)
        if (!std::isnan(h) && (std::isnan(lowest) || h < lowest))
            lowest = h;
    const bool bVoids =
        std::any_of(heights.begin(), heights.end(), [](float h) { return std::isnan(h); });
    if (bVoids) {
        const CGroundProfile ground(tiles, lat, lon);
        m_message = ground.Message();
        if (std::isnan(lowest)) {
            if (m_message.empty())
                m_message = "No elevation data around the track.";
            return false;
        }
        if (m_message.empty())
            m_message = "No elevation data for part of the ground around the track.";
        m_message += " The model is flat at its lowest height there.";
        std::replace_if(
            heights.begin(), heights.end(), [](float h) { return std::isnan(h); }, lowest);
    }
    m_fLowestM = lowest;
    return true;
}

// Segment by segment, so that the gap between two stays without a ridge; a segment of one
// point gets a round spot.
std::vector<bool> CTerrainModel::MarkRidge(std::span<const double> lat, std::span<const double> lon,
                                           std::span<const std::uint32_t> segmentStarts) const {
    std::vector<bool> raised(static_cast<std::size_t>(m_nRows) * m_nCols);
    std::vector<std::size_t> bounds{0};
    for (const std::uint32_t start : segmentStarts)
        if (start > bounds.back() && start < lat.size())
            bounds.push_back(start);
    bounds.push_back(lat.size());
    for (std::size_t s = 0; s + 1 < bounds.size(); ++s) {
        bool bFirst = true;
        Point last{};
        for (std::size_t i = bounds[s]; i < bounds[s + 1]; ++i) {
            if (!Within(lat[i], -90, 90) || !std::isfinite(lon[i]))
                continue;
            const Point p = Place(lat[i], lon[i]);
            MarkNear(bFirst ? p : last, p, raised);
            last = p;
            bFirst = false;
        }
    }
    return raised;
}

// The vertices within the ridge's radius of the stretch from a to b.
void CTerrainModel::MarkNear(Point a, Point b, std::vector<bool>& raised) const {
    const double dx = m_fWidthMm / (m_nCols - 1);
    const double dy = m_fDepthMm / (m_nRows - 1);
    const double radius = kRidgeRadiusCells * std::max(dx, dy);
    const auto indexRange = [](double lo, double hi, double step, int n) {
        return std::pair{std::max(0, static_cast<int>(std::ceil(lo / step))),
                         std::min(n - 1, static_cast<int>(std::floor(hi / step)))};
    };
    const auto [c0, c1] =
        indexRange(std::min(a.x, b.x) - radius, std::max(a.x, b.x) + radius, dx, m_nCols);
    const auto [r0, r1] =
        indexRange(std::min(a.y, b.y) - radius, std::max(a.y, b.y) + radius, dy, m_nRows);
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double length2 = ex * ex + ey * ey;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const double px = c * dx - a.x, py = r * dy - a.y;
            const double t = length2 > 0 ? std::clamp((px * ex + py * ey) / length2, 0.0, 1.0) : 0;
            const double qx = px - t * ex, qy = py - t * ey;
            if (qx * qx + qy * qy <= radius * radius)
                raised[static_cast<std::size_t>(r) * m_nCols + c] = true;
        }
}

CTerrainModel::Point CTerrainModel::Place(double lat, double lon) const {
    double l = NormalLongitude(lon);
    if (l < m_box.fWest)
        l += 360;
    const double mmPerDegree = kMetresPerDegree * m_fMmPerMetre;
    return {(l - m_box.fWest) * mmPerDegree * m_fCosLat, (lat - m_box.fSouth) * mmPerDegree};
}

// Each cell in two triangles across its south-west to north-east diagonal, counter-clockwise
// seen from above.
void CTerrainModel::BuildTop(const std::vector<float>& heights, const std::vector<bool>& raised) {
    const double zPerMetre = m_fMmPerMetre * m_options.exaggeration;
    m_vertices.reserve(heights.size() + 2 * static_cast<std::size_t>(m_nRows + m_nCols));
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * m_nCols + c;
            const double z = m_options.baseMm + (heights[i] - m_fLowestM) * zPerMetre +
                             (raised[i] ? RidgeMm() : 0);
            m_vertices.push_back({static_cast<float>(m_fWidthMm * c / (m_nCols - 1)),
                                  static_cast<float>(m_fDepthMm * r / (m_nRows - 1)),
                                  static_cast<float>(z)});
        }
    const auto at = [this](int r, int c) { return static_cast<std::uint32_t>(r * m_nCols + c); };
    for (int r = 0; r + 1 < m_nRows; ++r)
        for (int c = 0; c + 1 < m_nCols; ++c) {
            m_triangles.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1)});
            m_triangles.push_back({at(r, c), at(r + 1, c + 1), at(r + 1, c)});
        }
}

// The top's edge vertices counter-clockwise seen from above, from the south-west corner: east
// along the south edge, north, west, south again.
std::vector<std::uint32_t> CTerrainModel::BoundaryLoop() const {
    std::vector<std::uint32_t> loop;
    const auto at = [this](int r, int c) { return static_cast<std::uint32_t>(r * m_nCols + c); };
    for (int c = 0; c + 1 < m_nCols; ++c)
        loop.push_back(at(0, c));
    for (int r = 0; r + 1 < m_nRows; ++r)
        loop.push_back(at(r, m_nCols - 1));
    for (int c = m_nCols - 1; c > 0; --c)
        loop.push_back(at(m_nRows - 1, c));
    for (int r = m_nRows - 1; r > 0; --r)
        loop.push_back(at(r, 0));
    return loop;
}

// A wall of two triangles under each edge of the top, and the bottom as a fan around its
// centre: a fan from a corner would put triangles on the edges' own lines, without area.
void CTerrainModel::BuildWallsAndBottom() {
    const std::vector<std::uint32_t> loop = BoundaryLoop();
    const auto bottom0 = static_cast<std::uint32_t>(m_vertices.size());
    for (const std::uint32_t top : loop)
        m_vertices.push_back({m_vertices[top].x, m_vertices[top].y, 0});
    const auto centre = static_cast<std::uint32_t>(m_vertices.size());
    m_vertices.push_back(
        {static_cast<float>(m_fWidthMm / 2), static_cast<float>(m_fDepthMm / 2), 0});
    const auto n = static_cast<std::uint32_t>(loop.size());
    for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t next = (k + 1) % n;
        const std::uint32_t topA = loop[k], topB = loop[next];
        const std::uint32_t bottomA = bottom0 + k, bottomB = bottom0 + next;
        m_triangles.push_back({topA, bottomA, bottomB});
        m_triangles.push_back({topA, bottomB, topB});
        m_triangles.push_back({centre, bottomB, bottomA});
    }
}
