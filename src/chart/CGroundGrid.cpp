#include "CGroundGrid.h"

#include "CGroundHeights.h"
#include "TrackGeometry.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace {
constexpr double kMetresPerKm = 1000.0;
constexpr double kMetresPerPlaneUnit = kMetresPerKm / kPlaneUnitsPerKm;

// The tints' colours at their places in the range, from the lowest ground to the highest.
struct TintStop {
    double at;
    int r, g, b;
};
constexpr TintStop kTintStops[] = {
    {0.00, 72, 140, 80},  {0.25, 168, 198, 110}, {0.45, 228, 214, 132}, {0.65, 190, 146, 92},
    {0.82, 146, 110, 86}, {0.92, 192, 186, 180}, {1.00, 250, 250, 250},
};

// Light 0 gives the tint this much of its colour and each level more; a level above the flat
// ground's (5 of 8) brightens it, up to white.
constexpr double kDarkest = 0.4;
constexpr double kLightRange = 0.75;

// The light comes from the north-west, 45 degrees up: towards -x (north) and -y (west).
constexpr double kLightX = -0.5;
constexpr double kLightY = -0.5;
constexpr double kLightZ = 0.70710678118654752;

// The walls' earth, darker than the ground's browns, and the light on each wall (in the order
// of CGroundGrid::Wall). The light from the north-west falls on the walls turned north and west
// and leaves those turned south and east in shade; the walls turned north and south take a
// little more than those turned west and east, so that the two walls seen at a corner differ.
constexpr int kWallEarth[3] = {160, 120, 80};
constexpr double kWallLight[CGroundGrid::kWalls] = {0.7, 1.0, 0.85, 0.55};

// Where each wall runs (in the order of CGroundGrid::Wall): along a row of corners or a column,
// the first or the last.
struct WallEdge {
    bool bRow;
    bool bLast;
};
constexpr WallEdge kWallEdges[CGroundGrid::kWalls] = {
    {true, true}, {true, false}, {false, false}, {false, true}};

int Channel(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

// The rise of a height difference in feet over a run in metres.
double Slope(double feet, double metres) {
    return metres > 0 ? feet * kMetresPerFoot / metres : 0.0;
}

// Indices 0..n-1 by the distance of their middles from e (in the same units), farthest first.
// The distance falls towards e and rises beyond it, so the farthest left is always at an end.
void FarthestFirst(double e, int n, std::vector<int>& order) {
    order.clear();
    for (int lo = 0, hi = n - 1; lo <= hi;)
        order.push_back(std::fabs(lo + 0.5 - e) >= std::fabs(hi + 0.5 - e) ? lo++ : hi--);
}

// Narrows [t0, t1] to where a + t * da lies within [0, n]; false when nothing is left.
bool ClipTo(double a, double da, int n, double& t0, double& t1) {
    if (da == 0)
        return a >= 0 && a <= n;
    const double ta = -a / da;
    const double tb = (n - a) / da;
    t0 = std::max(t0, std::min(ta, tb));
    t1 = std::min(t1, std::max(ta, tb));
    return t0 < t1;
}
} // namespace

COLORREF CGroundGrid::ShadeColour(int nTint, int nLight) {
    const double at = static_cast<double>(nTint) / (kTints - 1);
    int k = 1;
    while (k + 1 < static_cast<int>(std::size(kTintStops)) && kTintStops[k].at < at)
        ++k;
    const TintStop& lo = kTintStops[k - 1];
    const TintStop& hi = kTintStops[k];
    const double f = (at - lo.at) / (hi.at - lo.at);
    const double light = kDarkest + kLightRange * (nLight + 0.5) / kLights;
    const auto mix = [&](int a, int b) { return Channel((a + (b - a) * f) * light); };
    return RGB(mix(lo.r, hi.r), mix(lo.g, hi.g), mix(lo.b, hi.b));
}

COLORREF CGroundGrid::WallColour(int nWall) {
    const double light = kWallLight[nWall];
    return RGB(Channel(kWallEarth[0] * light), Channel(kWallEarth[1] * light),
               Channel(kWallEarth[2] * light));
}

bool CGroundGrid::WallSeenFrom(int nWall, double eyeX, double eyeY) const {
    switch (nWall) {
    case kSouthWall:
        return eyeX > X(m_nCells);
    case kNorthWall:
        return eyeX < X(0);
    case kWestWall:
        return eyeY < Y(0);
    case kEastWall:
        return eyeY > Y(m_nCells);
    }
    return false;
}

CGroundGrid::RowCol CGroundGrid::WallCorner(int nWall, int k) const {
    const WallEdge& edge = kWallEdges[nWall];
    const int nAt = edge.bLast ? m_nCells : 0;
    return edge.bRow ? RowCol{nAt, k} : RowCol{k, nAt};
}

CGroundGrid::RowCol CGroundGrid::WallCell(int nWall, int k) const {
    const WallEdge& edge = kWallEdges[nWall];
    const int nAt = edge.bLast ? m_nCells - 1 : 0;
    return edge.bRow ? RowCol{nAt, k} : RowCol{k, nAt};
}

void CGroundGrid::Fetch(CGroundHeights& source, float xmin, float xmax, float ymin, float ymax,
                        int nCells) {
    const int nSide = nCells + 1;
    m_fetched.assign(static_cast<std::size_t>(nSide) * nSide,
                     std::numeric_limits<float>::quiet_NaN());
    source.GridFeet(xmin, xmax, ymin, ymax, nSide, nSide, m_fetched.data());
    if (SameAs(xmin, xmax, ymin, ymax, nCells))
        return;
    m_heights.swap(m_fetched);
    m_nCells = nCells;
    m_fXMin = xmin;
    m_fXMax = xmax;
    m_fYMin = ymin;
    m_fYMax = ymax;
    ComputeRange();
    ComputeShades();
    ComputeBlocks();
}

// Compared bit for bit, so that a NaN equals itself.
bool CGroundGrid::SameAs(float xmin, float xmax, float ymin, float ymax, int nCells) const {
    return nCells == m_nCells && xmin == m_fXMin && xmax == m_fXMax && ymin == m_fYMin &&
           ymax == m_fYMax && m_heights.size() == m_fetched.size() &&
           std::memcmp(m_heights.data(), m_fetched.data(), m_heights.size() * sizeof(float)) == 0;
}

double CGroundGrid::X(int row) const {
    return m_fXMin + (static_cast<double>(m_fXMax) - m_fXMin) * row / m_nCells;
}

double CGroundGrid::Y(int col) const {
    return m_fYMin + (static_cast<double>(m_fYMax) - m_fYMin) * col / m_nCells;
}

void CGroundGrid::ComputeRange() {
    m_bAny = false;
    for (const float h : m_heights) {
        if (std::isnan(h))
            continue;
        if (!m_bAny || h < m_fLowest)
            m_fLowest = h;
        if (!m_bAny || h > m_fHighest)
            m_fHighest = h;
        m_bAny = true;
    }
}

void CGroundGrid::ComputeShades() {
    const int n = m_nCells;
    m_shades.resize(static_cast<std::size_t>(n) * n);
    const double cellXMetres = (static_cast<double>(m_fXMax) - m_fXMin) / n * kMetresPerPlaneUnit;
    const double cellYMetres = (static_cast<double>(m_fYMax) - m_fYMin) / n * kMetresPerPlaneUnit;
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col)
            m_shades[static_cast<std::size_t>(row) * n + col] =
                ShadeOf(row, col, cellXMetres, cellYMetres);
}

// The tint of the cell's mean height, and the light on the plane through its corners' mean
// slopes, in true metres whatever the scene's vertical scale.
std::uint16_t CGroundGrid::ShadeOf(int row, int col, double cellXMetres, double cellYMetres) const {
    const double h00 = Height(row, col);
    const double h01 = Height(row, col + 1);
    const double h10 = Height(row + 1, col);
    const double h11 = Height(row + 1, col + 1);
    const double mean = (h00 + h01 + h10 + h11) / 4;
    if (std::isnan(mean))
        return kNoShade;
    const double span = static_cast<double>(m_fHighest) - m_fLowest;
    const int nTint =
        span > 0 ? std::min(kTints - 1, static_cast<int>((mean - m_fLowest) / span * kTints)) : 0;
    const double gx = Slope((h10 + h11 - h00 - h01) / 2, cellXMetres);
    const double gy = Slope((h01 + h11 - h00 - h10) / 2, cellYMetres);
    const double lambert =
        (kLightZ - gx * kLightX - gy * kLightY) / std::sqrt(gx * gx + gy * gy + 1);
    const int nLight = lambert > 0 ? std::min(kLights - 1, static_cast<int>(lambert * kLights)) : 0;
    return static_cast<std::uint16_t>(nTint * kLights + nLight);
}

void CGroundGrid::OrderFrom(double eyeX, double eyeY) {
    const double cellX = (static_cast<double>(m_fXMax) - m_fXMin) / m_nCells;
    const double cellY = (static_cast<double>(m_fYMax) - m_fYMin) / m_nCells;
    FarthestFirst((eyeX - m_fXMin) / cellX, m_nCells, m_rowOrder);
    FarthestFirst((eyeY - m_fYMin) / cellY, m_nCells, m_colOrder);
}

// Bilinear, at a position in cells from the grid's first corner.
double CGroundGrid::HeightAt(double u, double v) const {
    const int row = std::clamp(static_cast<int>(std::floor(u)), 0, m_nCells - 1);
    const int col = std::clamp(static_cast<int>(std::floor(v)), 0, m_nCells - 1);
    const double fu = u - row;
    const double fv = v - col;
    const double west = Height(row, col) + (Height(row + 1, col) - Height(row, col)) * fu;
    const double east =
        Height(row, col + 1) + (Height(row + 1, col + 1) - Height(row, col + 1)) * fu;
    return west + (east - west) * fv;
}

int CGroundGrid::BlockAt(double b) const {
    return std::clamp(static_cast<int>(std::floor(b)), 0, m_nBlocks - 1);
}

void CGroundGrid::ComputeBlocks() {
    const int nb = (m_nCells + kBlockCells - 1) / kBlockCells;
    m_nBlocks = nb;
    m_blockHighest.assign(static_cast<std::size_t>(nb) * nb,
                          -std::numeric_limits<float>::infinity());
    for (int i = 0; i < nb; ++i)
        for (int j = 0; j < nb; ++j) {
            float& top = m_blockHighest[static_cast<std::size_t>(i) * nb + j];
            const int nLastRow = std::min((i + 1) * kBlockCells, m_nCells);
            const int nLastCol = std::min((j + 1) * kBlockCells, m_nCells);
            for (int row = i * kBlockCells; row <= nLastRow; ++row)
                for (int col = j * kBlockCells; col <= nLastCol; ++col)
                    if (Height(row, col) > top)
                        top = Height(row, col);
        }
}

bool CGroundGrid::Hides(const Point& p, const Point& eye, double fHeightScale,
                        double fTolerance) const {
    const int n = m_nCells;
    const double cellX = (static_cast<double>(m_fXMax) - m_fXMin) / n;
    const double cellY = (static_cast<double>(m_fYMax) - m_fYMin) / n;
    if (!m_bAny || !(cellX > 0) || !(cellY > 0))
        return false;
    Sight sight{};
    sight.u = (p.x - m_fXMin) / cellX;
    sight.v = (p.y - m_fYMin) / cellY;
    sight.du = (eye.x - p.x) / cellX;
    sight.dv = (eye.y - p.y) / cellY;
    const double reach = std::hypot(sight.du, sight.dv);
    if (!(reach > kNearCells))
        return false;
    const double ground =
        HeightAt(std::clamp(sight.u, 0.0, 1.0 * n), std::clamp(sight.v, 0.0, 1.0 * n));
    sight.z = std::max(p.z, ground * fHeightScale); // NaN ground: p.z
    sight.dz = eye.z - sight.z;
    sight.fHeightScale = fHeightScale;
    sight.fTolerance = fTolerance;
    sight.zClear = m_fHighest * fHeightScale - fTolerance;
    double t0 = kNearCells / reach;
    double t1 = 1;
    return ClipTo(sight.u, sight.du, n, t0, t1) && ClipTo(sight.v, sight.dv, n, t0, t1) &&
           UnderBlocks(sight, t0, t1);
}

bool CGroundGrid::UnderBlocks(const Sight& sight, double t0, double t1) const {
    const double bu = sight.u / kBlockCells;
    const double bv = sight.v / kBlockCells;
    const double dbu = sight.du / kBlockCells;
    const double dbv = sight.dv / kBlockCells;
    int i = BlockAt(bu + dbu * t0);
    int j = BlockAt(bv + dbv * t0);
    // Where the line of sight enters the next block across and the next along, and the step in
    // t from one block to the next (infinite where it runs parallel to them).
    const double tStepI = 1 / std::fabs(dbu);
    const double tStepJ = 1 / std::fabs(dbv);
    double tNextI = dbu != 0 ? ((dbu > 0 ? i + 1 : i) - bu) / dbu : tStepI;
    double tNextJ = dbv != 0 ? ((dbv > 0 ? j + 1 : j) - bv) / dbv : tStepJ;
    for (double t = t0; t < t1;) {
        const double tEnd = std::min({tNextI, tNextJ, t1});
        const double zLow = sight.z + sight.dz * (sight.dz >= 0 ? t : tEnd);
        const double top = m_blockHighest[static_cast<std::size_t>(i) * m_nBlocks + j];
        if (top * sight.fHeightScale - zLow > sight.fTolerance &&
            (UnderLines(sight, t, tEnd, true) || UnderLines(sight, t, tEnd, false)))
            return true;
        // A rising line of sight that has cleared the highest ground stays clear.
        if (sight.dz >= 0 && sight.z + sight.dz * tEnd >= sight.zClear)
            return false;
        if (tNextI <= tNextJ) {
            i += dbu > 0 ? 1 : -1;
            tNextI += tStepI;
        } else {
            j += dbv > 0 ? 1 : -1;
            tNextJ += tStepJ;
        }
        if (i < 0 || i >= m_nBlocks || j < 0 || j >= m_nBlocks)
            return false;
        t = tEnd;
    }
    return false;
}

// Where the line of sight crosses the lines of rows (bRows) or of columns, the ground there is
// interpolated along the line it crosses.
bool CGroundGrid::UnderLines(const Sight& sight, double t0, double t1, bool bRows) const {
    const double a = bRows ? sight.u : sight.v;
    const double da = bRows ? sight.du : sight.dv;
    const double b = bRows ? sight.v : sight.u;
    const double db = bRows ? sight.dv : sight.du;
    if (da == 0)
        return false;
    const std::size_t nSide = static_cast<std::size_t>(m_nCells) + 1;
    const std::size_t nAcross = bRows ? nSide : 1;
    const std::size_t nAlong = bRows ? 1 : nSide;
    const double a0 = a + da * t0;
    const int nStep = da > 0 ? 1 : -1;
    const double tStep = 1 / std::fabs(da);
    int k = static_cast<int>(da > 0 ? std::ceil(a0) : std::floor(a0));
    for (double t = (k - a) / da; k >= 0 && k <= m_nCells && t <= t1; k += nStep, t += tStep) {
        const double w = std::clamp(b + db * t, 0.0, static_cast<double>(m_nCells));
        const int j = std::min(static_cast<int>(w), m_nCells - 1);
        const float* pLine = &m_heights[static_cast<std::size_t>(k) * nAcross + j * nAlong];
        const double h = pLine[0] + (pLine[nAlong] - static_cast<double>(pLine[0])) * (w - j);
        if (h * sight.fHeightScale - (sight.z + sight.dz * t) > sight.fTolerance)
            return true;
    }
    return false;
}
