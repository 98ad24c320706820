#include "CTileGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {
constexpr double kSnapCells = 1e-9;
constexpr float kVoid = std::numeric_limits<float>::quiet_NaN();

double SnapToWhole(double cells) {
    const double whole = std::round(cells);
    return std::abs(cells - whole) < kSnapCells ? whole : cells;
}

// a at t == 0 even where b is void: a position on a sample does not look at its neighbour.
double Lerp(double a, double b, double t) {
    return t == 0 ? a : (1 - t) * a + t * b;
}
} // namespace

CTileGrid::CTileGrid(int nCols, int nRows, const Lattice& lattice, std::vector<float> samples,
                     bool bVoids)
    : m_nCols(nCols), m_nRows(nRows), m_lattice(lattice), m_samples(std::move(samples)) {
    if (bVoids)
        FillVoids();
}

double CTileGrid::RowOf(double lat) const {
    return SnapToWhole(m_lattice.fNorthCells - lat * m_lattice.fCellsPerDegLat);
}

double CTileGrid::ColumnOf(double lon) const {
    return SnapToWhole(lon * m_lattice.fCellsPerDegLon - m_lattice.fWestCells);
}

double CTileGrid::Bilinear(double v00, double v01, double v10, double v11, double tx, double ty) {
    const double north = Lerp(v00, v01, tx);
    return ty == 0 ? north : Lerp(north, Lerp(v10, v11, tx), ty);
}

double CTileGrid::Interpolate(double row, double col) const {
    const int r0 = std::min(static_cast<int>(row), m_nRows - 1);
    const int c0 = std::min(static_cast<int>(col), m_nCols - 1);
    const int r1 = std::min(r0 + 1, m_nRows - 1);
    const int c1 = std::min(c0 + 1, m_nCols - 1);
    return Bilinear(Sample(r0, c0), Sample(r0, c1), Sample(r1, c0), Sample(r1, c1), col - c0,
                    row - r0);
}

// Fills are worked out from the tile as read and written afterwards, so that one filled sample
// never feeds another.
void CTileGrid::FillVoids() {
    std::vector<std::pair<std::size_t, float>> fills;
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            if (std::isnan(Sample(row, col)))
                if (const float v = FillValue(row, col); !std::isnan(v))
                    fills.emplace_back(static_cast<std::size_t>(row) * m_nCols + col, v);
    for (const auto& [at, v] : fills)
        m_samples[at] = v;
}

// Example: a void with 120 two cells west, 140 two cells east, 100 one cell north and 160 one
// cell south: (120/2 + 140/2 + 100 + 160) / (1/2 + 1/2 + 1 + 1) = 390 / 3 = 130.
float CTileGrid::FillValue(int row, int col) const {
    static constexpr int kSteps[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    double fSum = 0;
    double fWeights = 0;
    for (const auto& step : kSteps) {
        int d = 1;
        for (; d <= kMaxVoidFillCells; ++d) {
            const int r = row + step[0] * d;
            const int c = col + step[1] * d;
            if (r < 0 || r >= m_nRows || c < 0 || c >= m_nCols)
                return kVoid;
            if (!std::isnan(Sample(r, c)))
                break;
        }
        if (d > kMaxVoidFillCells)
            return kVoid;
        fSum += Sample(row + step[0] * d, col + step[1] * d) / static_cast<double>(d);
        fWeights += 1.0 / d;
    }
    return static_cast<float>(fSum / fWeights);
}
